#include "archive/sevenzip/aes256.h"

#include <cstring>

namespace qv::sevenzip {
namespace {

// Multiplication in GF(2^8) modulo x^8 + x^4 + x^3 + x + 1.
std::uint8_t Multiply(std::uint8_t a, std::uint8_t b) {
    std::uint8_t product = 0;
    while (b != 0) {
        if (b & 1) product ^= a;
        a = static_cast<std::uint8_t>((a << 1) ^ ((a & 0x80) ? 0x1B : 0));
        b >>= 1;
    }
    return product;
}

inline std::uint32_t Rotr8(std::uint32_t x) { return (x >> 8) | (x << 24); }

// Built once from the field arithmetic rather than typed in.
struct Tables {
    std::uint8_t sbox[256];
    std::uint8_t inverseSbox[256];
    // Inverse substitution followed by the inverse column mix, for the byte
    // in each of the four rows of a column.
    std::uint32_t decrypt[4][256];

    Tables() {
        // The multiplicative inverse through powers of the generator 3.
        std::uint8_t power[255], log[256] = {};
        std::uint8_t x = 1;
        for (int i = 0; i < 255; ++i) {
            power[i] = x;
            log[x] = static_cast<std::uint8_t>(i);
            x = Multiply(x, 3);
        }
        for (int i = 0; i < 256; ++i) {
            const std::uint8_t inverse = i == 0 ? 0 : power[(255 - log[i]) % 255];
            std::uint8_t s = inverse;
            for (int shift = 1; shift <= 4; ++shift)
                s ^= static_cast<std::uint8_t>((inverse << shift) | (inverse >> (8 - shift)));
            s ^= 0x63;
            sbox[i] = s;
            inverseSbox[s] = static_cast<std::uint8_t>(i);
        }
        for (int i = 0; i < 256; ++i) {
            const std::uint8_t y = inverseSbox[i];
            std::uint32_t column = std::uint32_t(Multiply(y, 0x0E)) << 24 | std::uint32_t(Multiply(y, 0x09)) << 16 |
                                   std::uint32_t(Multiply(y, 0x0D)) << 8 | Multiply(y, 0x0B);
            for (int row = 0; row < 4; ++row) {
                decrypt[row][i] = column;
                column = Rotr8(column);
            }
        }
    }
};

const Tables& T() {
    static const Tables tables;
    return tables;
}

inline std::uint32_t Load(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

inline void Store(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}

inline std::uint32_t SubWord(const Tables& t, std::uint32_t w) {
    return std::uint32_t(t.sbox[w >> 24]) << 24 | std::uint32_t(t.sbox[(w >> 16) & 0xFF]) << 16 |
           std::uint32_t(t.sbox[(w >> 8) & 0xFF]) << 8 | t.sbox[w & 0xFF];
}

// The inverse column mix alone: the decryption tables undo the
// substitution they start with.
inline std::uint32_t InverseMixColumn(const Tables& t, std::uint32_t w) {
    return t.decrypt[0][t.sbox[w >> 24]] ^ t.decrypt[1][t.sbox[(w >> 16) & 0xFF]] ^
           t.decrypt[2][t.sbox[(w >> 8) & 0xFF]] ^ t.decrypt[3][t.sbox[w & 0xFF]];
}

}  // namespace

Aes256Decryptor::Aes256Decryptor(const std::uint8_t* key) {
    const Tables& t = T();
    constexpr int kWords = 4 * (kRounds + 1);
    std::uint32_t w[kWords];
    for (int i = 0; i < 8; ++i) w[i] = Load(key + 4 * i);
    std::uint8_t rcon = 1;
    for (int i = 8; i < kWords; ++i) {
        std::uint32_t temp = w[i - 1];
        if (i % 8 == 0) {
            temp = SubWord(t, (temp << 8) | (temp >> 24)) ^ (std::uint32_t(rcon) << 24);
            rcon = Multiply(rcon, 2);
        } else if (i % 8 == 4) {
            temp = SubWord(t, temp);
        }
        w[i] = w[i - 8] ^ temp;
    }
    for (int round = 0; round <= kRounds; ++round) {
        for (int c = 0; c < 4; ++c) {
            const std::uint32_t k = w[4 * (kRounds - round) + c];
            roundKeys_[4 * round + c] = round == 0 || round == kRounds ? k : InverseMixColumn(t, k);
        }
    }
}

void Aes256Decryptor::DecryptBlock(const std::uint8_t* in, std::uint8_t* out) const {
    const Tables& t = T();
    const std::uint32_t* rk = roundKeys_;
    std::uint32_t s0 = Load(in) ^ rk[0], s1 = Load(in + 4) ^ rk[1], s2 = Load(in + 8) ^ rk[2],
                  s3 = Load(in + 12) ^ rk[3];
    const auto& d = t.decrypt;
    // Column c of the shifted state takes row r from column c - r.
    for (int round = 1; round < kRounds; ++round) {
        rk += 4;
        const std::uint32_t t0 = d[0][s0 >> 24] ^ d[1][(s3 >> 16) & 0xFF] ^ d[2][(s2 >> 8) & 0xFF] ^ d[3][s1 & 0xFF] ^ rk[0];
        const std::uint32_t t1 = d[0][s1 >> 24] ^ d[1][(s0 >> 16) & 0xFF] ^ d[2][(s3 >> 8) & 0xFF] ^ d[3][s2 & 0xFF] ^ rk[1];
        const std::uint32_t t2 = d[0][s2 >> 24] ^ d[1][(s1 >> 16) & 0xFF] ^ d[2][(s0 >> 8) & 0xFF] ^ d[3][s3 & 0xFF] ^ rk[2];
        const std::uint32_t t3 = d[0][s3 >> 24] ^ d[1][(s2 >> 16) & 0xFF] ^ d[2][(s1 >> 8) & 0xFF] ^ d[3][s0 & 0xFF] ^ rk[3];
        s0 = t0;
        s1 = t1;
        s2 = t2;
        s3 = t3;
    }
    rk += 4;
    const std::uint8_t* inv = t.inverseSbox;
    auto last = [inv](std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t e) {
        return std::uint32_t(inv[a >> 24]) << 24 | std::uint32_t(inv[(b >> 16) & 0xFF]) << 16 |
               std::uint32_t(inv[(c >> 8) & 0xFF]) << 8 | inv[e & 0xFF];
    };
    Store(out, last(s0, s3, s2, s1) ^ rk[0]);
    Store(out + 4, last(s1, s0, s3, s2) ^ rk[1]);
    Store(out + 8, last(s2, s1, s0, s3) ^ rk[2]);
    Store(out + 12, last(s3, s2, s1, s0) ^ rk[3]);
}

void Aes256Decryptor::DecryptCbc(std::uint8_t* data, std::size_t blocks, std::uint8_t* iv) const {
    std::uint8_t cipher[kBlockSize], plain[kBlockSize];
    for (std::size_t b = 0; b < blocks; ++b, data += kBlockSize) {
        std::memcpy(cipher, data, kBlockSize);
        DecryptBlock(cipher, plain);
        for (std::size_t i = 0; i < kBlockSize; ++i) data[i] = plain[i] ^ iv[i];
        std::memcpy(iv, cipher, kBlockSize);
    }
}

}  // namespace qv::sevenzip
