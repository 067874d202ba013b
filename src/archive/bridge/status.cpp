#include "archive/bridge/status.h"

#include <cstring>
#include <exception>
#include <new>

namespace qv::bridge {

using sevenzip::ArchiveError;
using sevenzip::ArchiveErrorKind;

namespace {

struct Pair {
    ArchiveErrorKind kind;
    QvStatusCode code;
};

constexpr Pair kPairs[] = {
    {ArchiveErrorKind::NotArchive, kQvNotArchive},
    {ArchiveErrorKind::Damaged, kQvDamaged},
    {ArchiveErrorKind::DataError, kQvDataError},
    {ArchiveErrorKind::UnsupportedMethod, kQvUnsupportedMethod},
    {ArchiveErrorKind::Unsupported, kQvUnsupported},
    {ArchiveErrorKind::ResourceLimit, kQvResourceLimit},
    {ArchiveErrorKind::UnsafePath, kQvUnsafePath},
    {ArchiveErrorKind::Cancelled, kQvCancelled},
    {ArchiveErrorKind::WriteFailed, kQvWriteFailed},
    {ArchiveErrorKind::NotFound, kQvNotFound},
    {ArchiveErrorKind::WrongPassword, kQvWrongPassword},
    {ArchiveErrorKind::PasswordRequired, kQvPasswordRequired},
    {ArchiveErrorKind::LibraryMissing, kQvLibraryMissing},
    {ArchiveErrorKind::Internal, kQvInternal},
};

}  // namespace

QvStatusCode CodeOf(ArchiveErrorKind kind) {
    for (const Pair& p : kPairs)
        if (p.kind == kind) return p.code;
    return kQvInternal;
}

ArchiveErrorKind KindOf(std::int32_t code) {
    for (const Pair& p : kPairs)
        if (p.code == code) return p.kind;
    return ArchiveErrorKind::Internal;
}

std::int32_t SetStatus(QvStatus* status, std::int32_t code, const std::string& message) {
    if (status != nullptr) {
        status->code = code;
        const std::size_t n = std::min(message.size(), sizeof status->message - 1);
        std::memcpy(status->message, message.data(), n);
        status->message[n] = '\0';
    }
    return code;
}

std::int32_t SetStatusFromCurrentException(QvStatus* status) {
    try {
        throw;
    } catch (const ArchiveError& e) {
        return SetStatus(status, CodeOf(e.kind()), e.what());
    } catch (const std::bad_alloc&) {
        return SetStatus(status, kQvResourceLimit, "Not enough memory");
    } catch (const std::exception& e) {
        return SetStatus(status, kQvInternal, e.what());
    } catch (...) {
        return SetStatus(status, kQvInternal, "Unknown failure");
    }
}

void ThrowStatus(const QvStatus& status) {
    const std::size_t n = strnlen(status.message, sizeof status.message);
    throw ArchiveError(KindOf(status.code), std::string(status.message, n));
}

}  // namespace qv::bridge
