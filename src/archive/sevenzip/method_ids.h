// The method ids of the coders this reader knows, as the format writes them
// (big-endian id bytes read as one number).
#pragma once

#include <cstdint>

namespace qv::sevenzip::method {

constexpr std::uint64_t kCopy = 0x00;
constexpr std::uint64_t kLzma = 0x030101;
constexpr std::uint64_t kLzma2 = 0x21;
constexpr std::uint64_t kSwap2 = 0x020302;
constexpr std::uint64_t kSwap4 = 0x020304;
constexpr std::uint64_t kBcj = 0x03030103;
constexpr std::uint64_t kBcj2 = 0x0303011B;
constexpr std::uint64_t kPpc = 0x03030205;
constexpr std::uint64_t kIa64 = 0x03030401;
constexpr std::uint64_t kArm = 0x03030501;
constexpr std::uint64_t kArmThumb = 0x03030701;
constexpr std::uint64_t kSparc = 0x03030805;
constexpr std::uint64_t kArm64 = 0x0A;
// AES-256 in CBC mode with the key and IV as its properties: the cipher
// under the 7z encryption method.
constexpr std::uint64_t kAes256Cbc = 0x06F00181;
// 7z encryption: AES-256 with a key derived from the password by SHA-256.
constexpr std::uint64_t k7zAes = 0x06F10701;

}  // namespace qv::sevenzip::method
