// Encrypted archives: SHA-256 and AES-256 against their published test
// vectors, then archives that 7zz encrypted, with their headers in the
// clear and encrypted, with the right, a wrong and no password.
#include <gtest/gtest.h>

#include "archive/sevenzip/aes256.h"
#include "archive/sevenzip/sevenzip_aes_coder.h"
#include "archive/sevenzip/archive_error.h"
#include "archive/sevenzip/sha256.h"
#include "archive_fixtures.h"

namespace qv::sevenzip::testing {
namespace {

Bytes Hex(const std::string& hex) {
    Bytes out;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return out;
}

Bytes Digest(const std::string& text, std::size_t repeat = 1, std::size_t piece = 0) {
    Sha256 hash;
    const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
    for (std::size_t r = 0; r < repeat; ++r) {
        if (piece == 0) {
            hash.Update(data, text.size());
        } else {
            for (std::size_t at = 0; at < text.size(); at += piece) hash.Update(data + at, std::min(piece, text.size() - at));
        }
    }
    const Sha256::Digest d = hash.Finish();
    return Bytes(d.begin(), d.end());
}

// FIPS 180-2, appendix B: one block, two blocks, a million "a"; fed whole
// and in pieces that do not fall on block boundaries.
TEST(ArchiveCrypto, Sha256OfThePublishedExamples) {
    const std::string twoBlocks = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    for (const std::size_t piece : {std::size_t(0), std::size_t(1), std::size_t(7), std::size_t(63)}) {
        SCOPED_TRACE(piece);
        EXPECT_EQ(Digest("abc", 1, piece), Hex("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
        EXPECT_EQ(Digest(twoBlocks, 1, piece), Hex("248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"));
    }
    EXPECT_EQ(Digest(std::string(1000, 'a'), 1000), Hex("cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"));
    EXPECT_EQ(Digest(""), Hex("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"));
}

// FIPS-197 appendix C.3, then the CBC example of SP 800-38A (F.2.6).
TEST(ArchiveCrypto, Aes256DecryptsThePublishedExamples) {
    const Bytes key = Hex("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f");
    const Aes256Decryptor block(key.data());
    Bytes out(16);
    block.DecryptBlock(Hex("8ea2b7ca516745bfeafc49904b496089").data(), out.data());
    EXPECT_EQ(out, Hex("00112233445566778899aabbccddeeff"));

    const Aes256Decryptor cbc(Hex("603deb1015ca71be2b73aef0857d77811f352c073b6108d72d9810a30914dff4").data());
    Bytes iv = Hex("000102030405060708090a0b0c0d0e0f");
    Bytes data = Hex("f58c4c04d6e5f1ba779eabfb5f7bfbd69cfc4e967edb808d679f777bc6702c7d"
                     "39f23369a9d9bacfa530e26304231461b2eb05e2c39be9fcda6c19078c6a9d1b");
    const Bytes lastCipherBlock(data.end() - 16, data.end());
    // Two calls: the chaining value carries from one to the next.
    cbc.DecryptCbc(data.data(), 1, iv.data());
    cbc.DecryptCbc(data.data() + 16, 3, iv.data());
    EXPECT_EQ(data, Hex("6bc1bee22e409f96e93d7e117393172aae2d8a571e03ac9c9eb76fac45af8e51"
                        "30c81c46a35ce411e5fbc1191a0a52eff69f2445df4f9b17ad2b417be66c3710"));
    EXPECT_EQ(iv, lastCipherBlock);
}

TEST(ArchiveCrypto, KeyWithoutStretchingIsSaltAndPassword) {
    const Bytes key = [] {
        const auto k = Derive7zAesKey({1, 2}, u"ab", 0x3F);
        return Bytes(k.begin(), k.end());
    }();
    Bytes expected = {1, 2, 'a', 0, 'b', 0};
    expected.resize(32);
    EXPECT_EQ(key, expected);
}

struct Encrypted {
    const char* name;
    std::vector<std::string> switches;
};

void PrintTo(const Encrypted& c, std::ostream* os) { *os << c.name; }

class ArchiveEncrypted : public ::testing::TestWithParam<Encrypted> {
protected:
    void SetUp() override {
        files_ = {{"a.txt", TextBytes(30000)}, {"b.bin", RandomBytes(20000, 8)}, {"c.txt", TextBytes(77)}};
        for (const auto& [name, data] : files_) WriteBytes(work_.path() / "src" / name, data);
        std::vector<std::string> switches = GetParam().switches;
        switches.push_back(std::string("-p") + kPassword);
        Make7z(work_.path() / "e.7z", work_.path() / "src", {"a.txt", "b.bin", "c.txt"}, switches);
    }

    bool HeaderEncrypted() const {
        const auto& s = GetParam().switches;
        return std::find(s.begin(), s.end(), "-mhe=on") != s.end();
    }

    // Opens and extracts with the password; the error kind, or nothing.
    std::optional<ArchiveErrorKind> Extract(std::optional<std::u16string> password, MemoryTarget& target) {
        DecodeOptions options;
        options.password = [this, password] {
            ++asked_;
            return password;
        };
        try {
            auto archive = OpenArchive(work_.path() / "e.7z", options);
            ExtractEntries(*archive, AllEntries(*archive), target);
            return std::nullopt;
        } catch (const ArchiveError& e) {
            return e.kind();
        }
    }

    static constexpr const char* kPassword = "Gr\xC3\xBC\xC3\x9F" "e 42";
    TempDir work_;
    std::map<std::string, Bytes> files_;
    int asked_ = 0;
};

TEST_P(ArchiveEncrypted, TheRightPasswordExtractsAndIsAskedOnce) {
    MemoryTarget target;
    EXPECT_EQ(Extract(u"Gr\u00FC\u00DFe 42", target), std::nullopt);
    EXPECT_EQ(target.files, files_);
    EXPECT_EQ(asked_, 1);
}

TEST_P(ArchiveEncrypted, AWrongPasswordIsReportedAsSuch) {
    for (const std::u16string& wrong : {std::u16string(u"Grusse 42"), std::u16string(u""), std::u16string(u"x")}) {
        MemoryTarget target;
        EXPECT_EQ(Extract(wrong, target), ArchiveErrorKind::WrongPassword);
        EXPECT_TRUE(target.files.empty());
    }
}

TEST_P(ArchiveEncrypted, NoPasswordIsReportedAsSuch) {
    MemoryTarget target;
    EXPECT_EQ(Extract(std::nullopt, target), ArchiveErrorKind::PasswordRequired);
    EXPECT_TRUE(target.files.empty());
    // The names of an archive whose header is in the clear can be listed.
    DecodeOptions options;
    if (HeaderEncrypted()) {
        EXPECT_THROW(OpenArchive(work_.path() / "e.7z", options), ArchiveError);
    } else {
        EXPECT_EQ(OpenArchive(work_.path() / "e.7z", options)->Entries().size(), files_.size());
    }
}

TEST_P(ArchiveEncrypted, KeysStretchedBeyondTheLimitAreRefused) {
    DecodeOptions options;
    options.maxKeyStretchPower = 18;  // 7zz stretches 2^19 times
    options.password = [] { return std::u16string(u"Gr\u00FC\u00DFe 42"); };
    try {
        auto archive = OpenArchive(work_.path() / "e.7z", options);
        MemoryTarget target;
        ExtractEntries(*archive, AllEntries(*archive), target);
        FAIL() << "not refused";
    } catch (const ArchiveError& e) {
        EXPECT_EQ(e.kind(), ArchiveErrorKind::Unsupported);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ArchiveEncrypted,
    ::testing::Values(Encrypted{"DataOnly", {"-mhe=off"}}, Encrypted{"HeaderToo", {"-mhe=on"}},
                      Encrypted{"FolderPerFile", {"-mhe=on", "-ms=off"}}, Encrypted{"Lzma", {"-m0=lzma", "-mhe=off"}},
                      Encrypted{"Bcj2", {"-mf=BCJ2", "-mhe=on"}}, Encrypted{"Copy", {"-m0=copy", "-mhe=off"}}),
    [](const ::testing::TestParamInfo<Encrypted>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace qv::sevenzip::testing
