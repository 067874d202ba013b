// Damaged and hostile archives end in an ArchiveError of the right kind:
// never a crash, a hang, an unbounded allocation or silently wrong data.
#include <gtest/gtest.h>

#include <variant>

#include "archive/sevenzip/archive_error.h"
#include "archive_fixtures.h"

namespace qv::sevenzip::testing {
namespace {

using Kind = ArchiveErrorKind;

// Opens and fully extracts an archive held in memory; returns the error
// kind, or nothing when it worked.
std::optional<Kind> OpenAndExtract(const Bytes& bytes, MemoryTarget& target, const DecodeOptions& options = {}) {
    try {
        auto archive = OpenArchiveBytes(bytes, options);
        ExtractEntries(*archive, AllEntries(*archive), target);
        return std::nullopt;
    } catch (const ArchiveError& e) {
        return e.kind();
    }
}

class ArchiveSmall : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        TempDir work;
        WriteBytes(work.path() / "a.txt", TextBytes(2000));
        WriteBytes(work.path() / "b.bin", RandomBytes(500, 4));
        WriteBytes(work.path() / "c.txt", TextBytes(700));
        for (const auto& [name, switches] : std::vector<std::pair<std::string, std::vector<std::string>>>{
                 {"lzma2.7z", {"-m0=lzma2"}},
                 {"lzma.7z", {"-m0=lzma", "-ms=off"}},
                 {"copy.7z", {"-m0=copy", "-mhc=off"}},
                 {"bcj2.7z", {"-mf=BCJ2", "-ms=on"}},
                 {"encrypted.7z", {"-m0=lzma2", "-pSecret", "-mhe=off"}}}) {
            Make7z(work.path() / name, work.path(), {"a.txt", "b.bin", "c.txt"}, switches);
            archives_[name] = ReadBytes(work.path() / name);
        }
        originals_ = {{"a.txt", ReadBytes(work.path() / "a.txt")},
                      {"b.bin", ReadBytes(work.path() / "b.bin")},
                      {"c.txt", ReadBytes(work.path() / "c.txt")}};
    }
    static std::map<std::string, Bytes> archives_;
    static std::map<std::string, Bytes> originals_;
};
std::map<std::string, Bytes> ArchiveSmall::archives_;
std::map<std::string, Bytes> ArchiveSmall::originals_;

// Every single-byte change anywhere in the archive either fails with an
// ArchiveError or still gives the original bytes (a change in a time field,
// say); the CRCs leave no way to wrong data.
TEST_F(ArchiveSmall, EveryFlippedByteFailsCleanlyOrChangesNoData) {
    DecodeOptions options;
    options.password = [] { return std::u16string(u"Secret"); };
    for (const auto& [name, good] : archives_) {
        for (std::size_t at = 0; at < good.size(); ++at) {
            for (const std::uint8_t mask : {0x01, 0xFF}) {
                Bytes bad = good;
                bad[at] ^= mask;
                MemoryTarget target;
                if (OpenAndExtract(bad, target, options)) continue;
                for (const auto& [file, data] : target.files) {
                    ASSERT_TRUE(originals_.count(file)) << name << " byte " << at << " made up " << file;
                    ASSERT_EQ(data, originals_[file]) << name << " byte " << at << " mask " << int(mask);
                }
            }
        }
    }
}

TEST_F(ArchiveSmall, TruncatedArchivesDoNotOpen) {
    const Bytes& good = archives_["lzma2.7z"];
    struct Cut {
        std::size_t length;
        Kind kind;
    };
    for (const Cut& cut : {Cut{0, Kind::NotArchive}, Cut{5, Kind::NotArchive}, Cut{6, Kind::Damaged},
                           Cut{31, Kind::Damaged}, Cut{32, Kind::Damaged}, Cut{good.size() / 2, Kind::Damaged},
                           Cut{good.size() - 1, Kind::Damaged}}) {
        MemoryTarget target;
        EXPECT_EQ(OpenAndExtract(Bytes(good.begin(), good.begin() + cut.length), target), cut.kind)
            << "cut at " << cut.length;
    }
}

TEST_F(ArchiveSmall, PackedDataCutShortFailsTheExtraction) {
    // Drop bytes of packed data but keep the header: the header then
    // points past the end of the file or at the wrong bytes.
    Bytes bad = archives_["copy.7z"];
    bad.erase(bad.begin() + 40, bad.begin() + 140);
    MemoryTarget target;
    EXPECT_TRUE(OpenAndExtract(bad, target).has_value());
    EXPECT_TRUE(target.files.empty());
}

TEST_F(ArchiveSmall, NotAnArchive) {
    MemoryTarget target;
    EXPECT_EQ(OpenAndExtract(TextBytes(1000), target), Kind::NotArchive);
}

// Header bytes written out: numbers in the format's variable-length form.
struct N {
    std::uint64_t value;
};
Bytes H(std::initializer_list<std::variant<int, N, Bytes>> parts) {
    Bytes out;
    for (const auto& part : parts) {
        if (const int* b = std::get_if<int>(&part)) out.push_back(static_cast<std::uint8_t>(*b));
        if (const N* n = std::get_if<N>(&part)) PutNumber(out, n->value);
        if (const Bytes* bytes = std::get_if<Bytes>(&part)) out.insert(out.end(), bytes->begin(), bytes->end());
    }
    return out;
}

// Main streams of one folder with one coder (id bytes, properties).
Bytes OneFolder(std::uint64_t packSize, const Bytes& coder, std::uint64_t unpackSize) {
    return H({0x04, 0x06, N{0}, N{1}, 0x09, N{packSize}, 0x00, 0x07, 0x0B, N{1}, 0x00, N{1}, coder, 0x0C,
              N{unpackSize}, 0x00, 0x00});
}

const Bytes kOneName = H({0x05, N{1}, 0x11, N{5}, 0x00, 'a', 0, 0, 0, 0x00});
const Bytes kCopyCoder = {0x01, 0x00};
// LZMA with lc=3 lp=0 pb=2 and a 4 GiB dictionary.
const Bytes kHugeDictionaryLzma = {0x23, 0x03, 0x01, 0x01, 0x05, 0x5D, 0xFF, 0xFF, 0xFF, 0xFF};

struct HostileCase {
    const char* name;
    Bytes packed;
    Bytes header;
    Kind kind;
};

class ArchiveHostileHeaders : public ::testing::TestWithParam<HostileCase> {};

TEST_P(ArchiveHostileHeaders, FailWithTheirKind) {
    MemoryTarget target;
    EXPECT_EQ(OpenAndExtract(WrapHeader(GetParam().packed, GetParam().header), target), GetParam().kind);
    EXPECT_TRUE(target.files.empty());
}

INSTANTIATE_TEST_SUITE_P(
    ArchiveCases, ArchiveHostileHeaders,
    ::testing::Values(
        HostileCase{"HugeFileCount", {}, H({0x01, 0x05, N{1ull << 62}, 0x00, 0x00}), Kind::Damaged},
        HostileCase{"NineByteNumber", {}, H({0x01, 0x05, 0xFF, Bytes(8, 0xFF), 0x00, 0x00}), Kind::Damaged},
        HostileCase{"HugeFolderCount", {}, H({0x01, 0x04, 0x07, 0x0B, N{1ull << 40}, 0x00, 0x00}), Kind::Damaged},
        HostileCase{"HugePackStreamCount", {}, H({0x01, 0x04, 0x06, N{0}, N{1ull << 50}, 0x00}), Kind::Damaged},
        HostileCase{"PackStreamBeyondTheFile", Bytes(10, 'x'), H({0x01, OneFolder(1000000, kCopyCoder, 10), kOneName, 0x00}),
                    Kind::Damaged},
        HostileCase{"PackPositionOverflows", Bytes(10, 'x'),
                    H({0x01, 0x04, 0x06, N{~0ull - 5}, N{1}, 0x09, N{10}, 0x00, 0x00, 0x00}), Kind::Damaged},
        HostileCase{"TooManyCoders", {}, H({0x01, 0x04, 0x07, 0x0B, N{1}, 0x00, N{65}, 0x00}), Kind::Damaged},
        HostileCase{"NameNotTerminated", Bytes(10, 'x'),
                    H({0x01, OneFolder(10, kCopyCoder, 10), 0x05, N{1}, 0x11, N{3}, 0x00, 'a', 0, 0x00, 0x00}),
                    Kind::Damaged},
        HostileCase{"MoreFilesWithDataThanStreams", Bytes(10, 'x'),
                    H({0x01, OneFolder(10, kCopyCoder, 10), 0x05, N{2}, 0x11, N{9}, 0x00, 'a', 0, 0, 0, 'b', 0, 0, 0,
                       0x00, 0x00}),
                    Kind::Damaged},
        HostileCase{"FileSizesExceedTheirFolder", Bytes(10, 'x'),
                    H({0x01, 0x04, 0x06, N{0}, N{1}, 0x09, N{10}, 0x00, 0x07, 0x0B, N{1}, 0x00, N{1}, kCopyCoder, 0x0C,
                       N{10}, 0x00, 0x08, 0x0D, N{2}, 0x09, N{11}, 0x00, 0x00, 0x00}),
                    Kind::Damaged},
        HostileCase{"HugeStreamCountInAFolder", Bytes(10, 'x'),
                    H({0x01, 0x04, 0x06, N{0}, N{1}, 0x09, N{10}, 0x00, 0x07, 0x0B, N{1}, 0x00, N{1}, kCopyCoder, 0x0C,
                       N{10}, 0x00, 0x08, 0x0D, N{1ull << 60}, 0x00, 0x00, 0x00}),
                    Kind::Damaged},
        HostileCase{"StatedSizeBeyondThePackedData", Bytes(10, 'x'),
                    H({0x01, OneFolder(10, kCopyCoder, 1ull << 60), kOneName, 0x00}), Kind::DataError},
        HostileCase{"DictionaryBeyondTheMemoryLimit", Bytes(10, 0),
                    H({0x01, OneFolder(10, kHugeDictionaryLzma, 1ull << 40), kOneName, 0x00}), Kind::ResourceLimit},
        HostileCase{"UnknownMethod", Bytes(10, 'x'), H({0x01, OneFolder(10, {0x03, 0x03, 0x04, 0x01}, 10), kOneName, 0x00}),
                    Kind::UnsupportedMethod},
        HostileCase{"EncryptedHeader", Bytes(16, 'x'),
                    H({0x17, 0x06, N{0}, N{1}, 0x09, N{16}, 0x00, 0x07, 0x0B, N{1}, 0x00, N{1}, 0x24, 0x06, 0xF1, 0x07,
                       0x01, N{1}, 0x13, 0x0C, N{16}, 0x00, 0x00}),
                    Kind::PasswordRequired},
        HostileCase{"UnknownHeaderType", {}, H({0x09, 0x00}), Kind::Damaged},
        HostileCase{"HeaderEndsInsideAField", {}, H({0x01, 0x04, 0x06}), Kind::Damaged}),
    [](const ::testing::TestParamInfo<HostileCase>& info) { return std::string(info.param.name); });

TEST(ArchiveDamage, StartHeaderFieldsAreChecked) {
    const Bytes good = CopyArchive({{"a.txt", "hello"}});
    struct Patch {
        const char* name;
        std::size_t at;
        Kind kind;
    };
    for (const Patch& p : {Patch{"version", 6, Kind::Unsupported}, Patch{"start header CRC", 9, Kind::Damaged},
                           Patch{"next header offset", 13, Kind::Damaged}, Patch{"next header size", 20, Kind::Damaged},
                           Patch{"next header CRC", 29, Kind::Damaged}}) {
        Bytes bad = good;
        bad[p.at] ^= 0x40;
        MemoryTarget target;
        EXPECT_EQ(OpenAndExtract(bad, target), p.kind) << p.name;
    }
}

}  // namespace
}  // namespace qv::sevenzip::testing
