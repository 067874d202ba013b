// The branch converters of executable code, decoding direction. Compilers
// write calls and jumps with addresses relative to the instruction; the
// encoder made them absolute (so that repeated calls to one function look
// alike and compress better), and these functions turn them back. Each
// converts a prefix of data, whose first byte is at stream position ip,
// and returns its length: the bytes after it start an instruction that the
// buffer cuts off.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qv::sevenzip {

// x86 CALL/JMP (E8/E9) with a 32-bit displacement. state carries what the
// last bytes held from one call to the next; start it at 0.
std::size_t ConvertX86(std::uint8_t* data, std::size_t size, std::uint32_t ip, std::uint32_t& state);
std::size_t ConvertPowerPc(std::uint8_t* data, std::size_t size, std::uint32_t ip);
std::size_t ConvertIa64(std::uint8_t* data, std::size_t size, std::uint32_t ip);
std::size_t ConvertArm(std::uint8_t* data, std::size_t size, std::uint32_t ip);
std::size_t ConvertArmThumb(std::uint8_t* data, std::size_t size, std::uint32_t ip);
std::size_t ConvertSparc(std::uint8_t* data, std::size_t size, std::uint32_t ip);
std::size_t ConvertArm64(std::uint8_t* data, std::size_t size, std::uint32_t ip);

}  // namespace qv::sevenzip
