// Failures across a library boundary: the reader's error kinds as the
// status codes of the calling interface, and back.
#pragma once

#include <string>

#include "archive/codec_api.h"
#include "archive/sevenzip/archive_error.h"

namespace qv::bridge {

QvStatusCode CodeOf(sevenzip::ArchiveErrorKind kind);
sevenzip::ArchiveErrorKind KindOf(std::int32_t code);

// Fills in status (which may be null) and returns the code.
std::int32_t SetStatus(QvStatus* status, std::int32_t code, const std::string& message);
// Within a catch block: the status of the exception being handled.
std::int32_t SetStatusFromCurrentException(QvStatus* status);

[[noreturn]] void ThrowStatus(const QvStatus& status);

}  // namespace qv::bridge
