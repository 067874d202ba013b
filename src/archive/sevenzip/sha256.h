// SHA-256, for the key derivation of encrypted archives.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace qv::sevenzip {

class Sha256 {
public:
    using Digest = std::array<std::uint8_t, 32>;

    Sha256();
    void Update(const std::uint8_t* data, std::size_t size);
    // The digest of everything given; the object is spent afterwards.
    Digest Finish();

private:
    void Compress(const std::uint8_t* block);

    std::uint32_t state_[8];
    std::uint8_t block_[64];
    std::size_t filled_ = 0;
    std::uint64_t length_ = 0;  // bytes given so far
};

}  // namespace qv::sevenzip
