#include "archive/sevenzip/sevenzip_aes_coder.h"

#include <algorithm>
#include <list>
#include <mutex>

#include "archive/sevenzip/archive_error.h"
#include "archive/sevenzip/method_ids.h"
#include "archive/sevenzip/sha256.h"

namespace qv::sevenzip {
namespace {

constexpr std::size_t kIvSize = 16;
constexpr unsigned kNoStretching = 0x3F;

// Deriving a key costs up to a second; the folders of one archive share
// theirs, so the last few are kept.
class KeyCache {
public:
    using Key = std::array<std::uint8_t, 32>;

    Key Get(const std::vector<std::uint8_t>& salt, const std::u16string& password, unsigned power) {
        {
            const std::lock_guard<std::mutex> guard(lock_);
            for (auto it = keys_.begin(); it != keys_.end(); ++it) {
                if (it->power != power || it->salt != salt || it->password != password) continue;
                keys_.splice(keys_.begin(), keys_, it);
                return it->key;
            }
        }
        const Key key = Derive7zAesKey(salt, password, power);
        const std::lock_guard<std::mutex> guard(lock_);
        keys_.push_front({salt, password, power, key});
        if (keys_.size() > kKept) keys_.pop_back();
        return key;
    }

private:
    static constexpr std::size_t kKept = 4;
    struct Item {
        std::vector<std::uint8_t> salt;
        std::u16string password;
        unsigned power;
        Key key;
    };
    std::mutex lock_;
    std::list<Item> keys_;
};

KeyCache& Keys() {
    static KeyCache cache;
    return cache;
}

[[noreturn]] void ThrowBadProperties() { ThrowDamaged("invalid encryption properties"); }

}  // namespace

std::array<std::uint8_t, 32> Derive7zAesKey(const std::vector<std::uint8_t>& salt, const std::u16string& password,
                                            unsigned power) {
    std::vector<std::uint8_t> text(salt);
    for (const char16_t unit : password) {
        text.push_back(static_cast<std::uint8_t>(unit));
        text.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    std::array<std::uint8_t, 32> key{};
    if (power == kNoStretching) {
        std::copy_n(text.begin(), std::min(text.size(), key.size()), key.begin());
        return key;
    }
    // Each round hashes the text followed by the round number, 64-bit little-endian.
    const std::size_t counterAt = text.size();
    text.resize(counterAt + 8);
    Sha256 hash;
    for (std::uint64_t round = 0; round < (std::uint64_t(1) << power); ++round) {
        for (int i = 0; i < 8; ++i) text[counterAt + i] = static_cast<std::uint8_t>(round >> (8 * i));
        hash.Update(text.data(), text.size());
    }
    return hash.Finish();
}

std::unique_ptr<InStream> Make7zAesCoder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                         const DecodeOptions& options) {
    RequireSingleStream(coder, inputs);
    const std::optional<std::u16string> password = options.password ? options.password() : std::nullopt;
    if (!password) throw ArchiveError(ArchiveErrorKind::PasswordRequired, "The data is encrypted and no password was given");
    // First byte: the stretch power in its low six bits, and whether a salt
    // (bit 7) and an IV (bit 6) follow; a second byte then adds to their
    // sizes in its high and low nibble.
    const std::vector<std::uint8_t>& props = coder.properties;
    if (props.empty()) ThrowBadProperties();
    const unsigned power = props[0] & 0x3F;
    std::size_t saltAt = props.size(), saltSize = 0, ivSize = 0;
    if ((props[0] & 0xC0) != 0) {
        if (props.size() < 2) ThrowBadProperties();
        saltAt = 2;
        saltSize = ((props[0] >> 7) & 1) + (props[1] >> 4);
        ivSize = ((props[0] >> 6) & 1) + (props[1] & 0x0F);
        if (props.size() != saltAt + saltSize + ivSize || ivSize > kIvSize) ThrowBadProperties();
    } else if (props.size() != 1) {
        ThrowBadProperties();
    }
    if (power != kNoStretching && power > options.maxKeyStretchPower)
        throw ArchiveError(ArchiveErrorKind::Unsupported, "The key of the encrypted data is stretched too far");
    const std::vector<std::uint8_t> salt(props.begin() + saltAt, props.begin() + saltAt + saltSize);

    const std::array<std::uint8_t, 32> key = Keys().Get(salt, *password, power);

    Coder cipher;
    cipher.methodId = method::kAes256Cbc;
    cipher.properties.assign(key.begin(), key.end());
    cipher.properties.resize(key.size() + kIvSize);  // the IV, zero-padded
    std::copy_n(props.begin() + saltAt + saltSize, ivSize, cipher.properties.begin() + key.size());
    return options.coders->MakeCoder(cipher, std::move(inputs), outSize, options);
}

}  // namespace qv::sevenzip
