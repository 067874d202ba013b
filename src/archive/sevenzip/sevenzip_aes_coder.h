// The 7z encryption method: AES-256-CBC with a key derived from the
// password (SHA-256 over salt, password and a counter, 2^n rounds). Its
// properties say n and carry the salt and the IV; the cipher itself is
// built through options.coders.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "archive/sevenzip/coder.h"

namespace qv::sevenzip {

// Throws PasswordRequired when options.password gives none.
std::unique_ptr<InStream> Make7zAesCoder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                         const DecodeOptions& options);

// The key for a password (UTF-16) under the method's salt and stretch power;
// a power of 63 means no hashing (salt and password are the key).
std::array<std::uint8_t, 32> Derive7zAesKey(const std::vector<std::uint8_t>& salt, const std::u16string& password,
                                            unsigned power);

}  // namespace qv::sevenzip
