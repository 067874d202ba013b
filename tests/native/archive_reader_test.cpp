// Archives written by 7zz with each coder and layout the reader supports are
// listed and extracted, and compared with the files they were made from.
#include <gtest/gtest.h>

#include <map>

#include "archive_fixtures.h"
#include "archive/sevenzip/crc32.h"

namespace qv::sevenzip::testing {
namespace {

struct SourceItem {
    std::string path;
    bool isDirectory;
    Bytes data;
};

// A tree with text, incompressible data, long repeats, empty files, empty and
// nested folders, a read-only file and a name outside ASCII.
class SourceTree {
public:
    SourceTree() {
        Bytes repeat;
        for (int i = 0; i < 3000; ++i) {
            const std::string line = "line " + std::to_string(i % 37) + " of a long and repetitive file\n";
            repeat.insert(repeat.end(), line.begin(), line.end());
        }
        items_ = {
            {"docs/readme.txt", false, TextBytes(200000)},
            {"docs/notes/empty.txt", false, {}},
            {"docs/repeat.txt", false, repeat},
            {"bin/random.dat", false, RandomBytes(300000, 1)},
            {"bin/small.bin", false, RandomBytes(100, 2)},
            {"Gr\xC3\xBC\xC3\x9F" "e \xE4\xB8\x96\xE7\x95\x8C.txt", false, TextBytes(1000)},
            {"readonly.txt", false, TextBytes(77)},
            {"emptydir", true, {}},
            {"deep/a/b", true, {}},
        };
        std::uint64_t time = 132000000001234567ull;
        for (const SourceItem& item : items_) {
            const fs::path p = dir_.path() / item.path;
            if (item.isDirectory)
                fs::create_directories(p);
            else
                WriteBytes(p, item.data);
        }
        fs::permissions(dir_.path() / "readonly.txt", fs::perms::owner_read | fs::perms::group_read);
        // Folders last: writing into a folder changes its time.
        for (const auto& rel : TreeOf(dir_.path())) SetFileTimeOf(dir_.path() / rel, time += 10000019);
    }

    const fs::path& root() const { return dir_.path(); }
    std::vector<std::string> topLevel() const { return {"docs", "bin", "Gr\xC3\xBC\xC3\x9F" "e \xE4\xB8\x96\xE7\x95\x8C.txt", "readonly.txt", "emptydir", "deep"}; }

private:
    TempDir dir_;
    std::vector<SourceItem> items_;
};

struct Layout {
    const char* name;
    std::vector<std::string> switches;
};

class ArchiveRoundTrip : public ::testing::TestWithParam<Layout> {
protected:
    static void SetUpTestSuite() { source_ = new SourceTree(); }
    static void TearDownTestSuite() {
        delete source_;
        source_ = nullptr;
    }
    static SourceTree* source_;
};
SourceTree* ArchiveRoundTrip::source_ = nullptr;

TEST_P(ArchiveRoundTrip, ListsAndExtractsLikeTheSource) {
    TempDir work;
    const fs::path archivePath = work.path() / "test.7z";
    Make7z(archivePath, source_->root(), source_->topLevel(), GetParam().switches);

    auto archive = OpenArchive(archivePath);
    const std::vector<std::string> expected = TreeOf(source_->root());
    std::vector<std::string> listed;
    for (const Entry& e : archive->Entries()) {
        listed.push_back(e.path);
        const fs::path original = source_->root() / e.path;
        SCOPED_TRACE(e.path);
        EXPECT_EQ(e.isDirectory, fs::is_directory(original));
        ASSERT_TRUE(e.modified.has_value());
        EXPECT_EQ(*e.modified, FileTimeOf(original));
        ASSERT_TRUE(e.attributes.has_value());
        EXPECT_EQ((*e.attributes & 0x10) != 0, e.isDirectory);
        EXPECT_EQ((*e.attributes & 0x01) != 0, e.path == "readonly.txt");
        if (!e.isDirectory) {
            EXPECT_EQ(e.size, fs::file_size(original));
        }
    }
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, expected);

    const fs::path out = work.path() / "out";
    FolderTarget target(out);
    ExtractEntries(*archive, AllEntries(*archive), target);
    EXPECT_EQ(TreeOf(out), expected);
    for (const auto& rel : expected) {
        SCOPED_TRACE(rel);
        const fs::path original = source_->root() / rel;
        EXPECT_EQ(FileTimeOf(out / rel), FileTimeOf(original));
        if (!fs::is_directory(original)) {
            EXPECT_EQ(ReadBytes(out / rel), ReadBytes(original));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    ArchiveLayouts, ArchiveRoundTrip,
    ::testing::Values(Layout{"Copy", {"-m0=copy"}}, Layout{"Lzma", {"-m0=lzma"}}, Layout{"Lzma2", {"-m0=lzma2"}},
                      Layout{"LzmaFolderPerFile", {"-m0=lzma", "-ms=off"}},
                      Layout{"Lzma2FolderPerExtension", {"-m0=lzma2", "-ms=e"}},
                      Layout{"PlainHeader", {"-m0=lzma2", "-mhc=off"}},
                      Layout{"CopyPlainHeader", {"-m0=copy", "-mhc=off"}},
                      Layout{"LzmaWindowWraps", {"-m0=lzma:d=64k"}},
                      Layout{"LzmaLiteralBits", {"-m0=lzma:lc=1:lp=3:pb=3"}},
                      Layout{"LzmaWideContext", {"-m0=lzma:lc=8:lp=0:pb=0"}},
                      Layout{"LzmaEndMarker", {"-m0=lzma:eos"}},
                      Layout{"Lzma2Blocks", {"-mmt=2", "-m0=lzma2:d=64k:c=128k"}},
                      Layout{"Lzma2Fast", {"-mx=1", "-m0=lzma2"}}),
    [](const ::testing::TestParamInfo<Layout>& info) { return std::string(info.param.name); });

TEST(ArchiveReader, ArchiveOfOnlyEmptyItemsHasNoStreams) {
    TempDir work;
    fs::create_directories(work.path() / "src/folder");
    WriteBytes(work.path() / "src/zero.txt", {});
    Make7z(work.path() / "e.7z", work.path() / "src", {"folder", "zero.txt"}, {});
    auto archive = OpenArchive(work.path() / "e.7z");
    ASSERT_EQ(archive->Entries().size(), 2u);
    EXPECT_EQ(archive->FolderCount(), 0u);
    FolderTarget target(work.path() / "out");
    ExtractEntries(*archive, AllEntries(*archive), target);
    EXPECT_EQ(TreeOf(work.path() / "out"), (std::vector<std::string>{"folder", "zero.txt"}));
    EXPECT_EQ(fs::file_size(work.path() / "out/zero.txt"), 0u);
}

TEST(ArchiveReader, FolderSizesMatchTheFilesTheyHold) {
    TempDir work;
    WriteBytes(work.path() / "src/a", TextBytes(5000));
    WriteBytes(work.path() / "src/b", RandomBytes(7000, 3));
    Make7z(work.path() / "s.7z", work.path() / "src", {"a", "b"}, {"-ms=on"});
    auto archive = OpenArchive(work.path() / "s.7z");
    ASSERT_EQ(archive->FolderCount(), 1u);
    std::map<std::string, const Entry*> byName;
    for (const Entry& e : archive->Entries()) byName[e.path] = &e;
    EXPECT_EQ(byName["a"]->folder, byName["b"]->folder);
    EXPECT_NE(byName["a"]->offsetInFolder, byName["b"]->offsetInFolder);
    // Only the folder's first file carries its packed size.
    EXPECT_TRUE((byName["a"]->packedSize == 0) != (byName["b"]->packedSize == 0));
}

TEST(ArchiveReader, Crc32OfTheCheckString) {
    const std::string check = "123456789";
    EXPECT_EQ(Crc32(reinterpret_cast<const std::uint8_t*>(check.data()), check.size()), 0xCBF43926u);
    // Split updates give the same CRC as one pass over all bytes.
    const Bytes data = RandomBytes(1000, 9);
    EXPECT_EQ(UpdateCrc32(Crc32(data.data(), 333), data.data() + 333, 667), Crc32(data.data(), data.size()));
}

}  // namespace
}  // namespace qv::sevenzip::testing
