// AES-256 decryption (table-driven), for the data of encrypted archives.
#pragma once

#include <cstddef>
#include <cstdint>

namespace qv::sevenzip {

class Aes256Decryptor {
public:
    static constexpr std::size_t kKeySize = 32;
    static constexpr std::size_t kBlockSize = 16;

    explicit Aes256Decryptor(const std::uint8_t* key);

    void DecryptBlock(const std::uint8_t* in, std::uint8_t* out) const;
    // Decrypts whole blocks in place in CBC mode; iv is the chaining value
    // and holds the last ciphertext block afterwards.
    void DecryptCbc(std::uint8_t* data, std::size_t blocks, std::uint8_t* iv) const;

private:
    static constexpr int kRounds = 14;
    // The round keys in decryption order, with the inverse column mix
    // applied to the inner ones so that every round is four table lookups
    // per column.
    std::uint32_t roundKeys_[4 * (kRounds + 1)];
};

}  // namespace qv::sevenzip
