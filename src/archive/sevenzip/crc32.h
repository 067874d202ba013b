// CRC-32 (polynomial EDB88320, as used by the 7z format for headers and data).
#pragma once

#include <cstddef>
#include <cstdint>

namespace qv::sevenzip {

// Continues a running CRC; start with 0.
std::uint32_t UpdateCrc32(std::uint32_t crc, const std::uint8_t* data, std::size_t size);

inline std::uint32_t Crc32(const std::uint8_t* data, std::size_t size) { return UpdateCrc32(0, data, size); }

}  // namespace qv::sevenzip
