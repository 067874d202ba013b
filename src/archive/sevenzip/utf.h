// Entry names are stored as UTF-16LE; the reader hands them out as UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qv::sevenzip {

// Converts count UTF-16LE code units; an unpaired surrogate becomes U+FFFD.
std::string Utf16LeToUtf8(const std::uint8_t* units, std::size_t count);

}  // namespace qv::sevenzip
