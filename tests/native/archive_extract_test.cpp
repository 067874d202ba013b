// The extraction driver: chosen entries out of solid folders, flat mode,
// progress and cancel, kept files, damaged data that must not replace a file,
// and the memory limit of the decoder's window.
#include <gtest/gtest.h>

#include "archive/sevenzip/archive_error.h"
#include "archive_fixtures.h"

namespace qv::sevenzip::testing {
namespace {

class ArchiveExtract : public ::testing::Test {
protected:
    void SetUp() override {
        files_ = {{"one.txt", TextBytes(40000)},
                  {"sub/two.bin", RandomBytes(150000, 5)},
                  {"sub/three.txt", TextBytes(900)},
                  {"sub/deeper/four.txt", TextBytes(70000)},
                  {"five.bin", RandomBytes(20, 6)}};
        for (const auto& [name, data] : files_) WriteBytes(work_.path() / "src" / name, data);
        archivePath_ = work_.path() / "solid.7z";
        Make7z(archivePath_, work_.path() / "src", {"one.txt", "sub", "five.bin"}, {"-m0=lzma2", "-ms=on"});
        archive_ = OpenArchive(archivePath_);
    }

    std::size_t IndexOf(const std::string& path) const {
        const auto& entries = archive_->Entries();
        for (std::size_t i = 0; i < entries.size(); ++i)
            if (entries[i].path == path) return i;
        throw std::runtime_error("no entry " + path);
    }

    TempDir work_;
    std::map<std::string, Bytes> files_;
    fs::path archivePath_;
    std::unique_ptr<Archive> archive_;
};

TEST_F(ArchiveExtract, ChosenEntriesOfASolidFolderOnly) {
    ASSERT_EQ(archive_->FolderCount(), 1u);
    MemoryTarget target;
    ExtractEntries(*archive_, {IndexOf("sub/deeper/four.txt"), IndexOf("five.bin")}, target);
    EXPECT_EQ(target.files, (std::map<std::string, Bytes>{{"sub/deeper/four.txt", files_["sub/deeper/four.txt"]},
                                                           {"five.bin", files_["five.bin"]}}));
    EXPECT_TRUE(target.folders.empty());
}

TEST_F(ArchiveExtract, FlatModeDropsFolders) {
    MemoryTarget target;
    ExtractOptions options;
    options.flat = true;
    ExtractEntries(*archive_, AllEntries(*archive_), target, options);
    EXPECT_TRUE(target.folders.empty());
    EXPECT_EQ(target.files.size(), files_.size());
    EXPECT_EQ(target.files["four.txt"], files_["sub/deeper/four.txt"]);
}

TEST_F(ArchiveExtract, ProgressCountsEveryChosenByteOnce) {
    std::uint64_t total = 0, last = 0;
    std::vector<std::string> started;
    ExtractOptions options;
    options.progress = [&](const Entry& e, std::uint64_t done, std::uint64_t all) {
        EXPECT_GE(done, last);
        last = done;
        total = all;
        if (started.empty() || started.back() != e.path) started.push_back(e.path);
        return true;
    };
    MemoryTarget target;
    ExtractEntries(*archive_, AllEntries(*archive_), target, options);
    std::uint64_t sum = 0;
    for (const auto& [name, data] : files_) sum += data.size();
    EXPECT_EQ(total, sum);
    EXPECT_EQ(last, sum);
    EXPECT_EQ(started.size(), files_.size());
}

TEST_F(ArchiveExtract, CancelStopsAndDiscardsTheFileBeingWritten) {
    const fs::path out = work_.path() / "out";
    FolderTarget target(out);
    ExtractOptions options;
    options.progress = [](const Entry& e, std::uint64_t done, std::uint64_t) {
        return !(e.path == "sub/two.bin" && done > 0);
    };
    try {
        ExtractEntries(*archive_, AllEntries(*archive_), target, options);
        FAIL() << "not cancelled";
    } catch (const ArchiveError& e) {
        EXPECT_EQ(e.kind(), ArchiveErrorKind::Cancelled);
    }
    EXPECT_FALSE(fs::exists(out / "sub/two.bin"));
    EXPECT_FALSE(fs::exists(out / "sub/two.bin.part"));
}

TEST_F(ArchiveExtract, ExistingFilesTheTargetKeepsAreSkipped) {
    const fs::path out = work_.path() / "out";
    WriteBytes(out / "sub/three.txt", {'o', 'l', 'd'});
    FolderTarget target(out);
    target.keepExisting = true;
    ExtractEntries(*archive_, AllEntries(*archive_), target);
    EXPECT_EQ(ReadBytes(out / "sub/three.txt"), (Bytes{'o', 'l', 'd'}));
    // The files after it in the same folder still come out right.
    EXPECT_EQ(ReadBytes(out / "sub/deeper/four.txt"), files_["sub/deeper/four.txt"]);
}

TEST(ArchiveExtractDamage, ADamagedFileDoesNotReplaceTheExistingOne) {
    TempDir work;
    Bytes bad = CopyArchive({{"first.txt", "first file"}, {"a.txt", "new contents"}});
    bad[32 + 12] ^= 0x20;  // inside the data of a.txt
    const fs::path out = work.path() / "out";
    WriteBytes(out / "a.txt", {'o', 'l', 'd'});
    FolderTarget target(out);
    auto archive = OpenArchiveBytes(bad);
    try {
        ExtractEntries(*archive, AllEntries(*archive), target);
        FAIL() << "damage not found";
    } catch (const ArchiveError& e) {
        EXPECT_EQ(e.kind(), ArchiveErrorKind::DataError);
        EXPECT_NE(std::string(e.what()).find("a.txt"), std::string::npos);
    }
    EXPECT_EQ(ReadBytes(out / "a.txt"), (Bytes{'o', 'l', 'd'}));
    EXPECT_EQ(TreeOf(out), (std::vector<std::string>{"a.txt", "first.txt"}));
}

TEST(ArchiveExtractMemory, TheWindowNeverExceedsTheDictionary) {
    TempDir work;
    WriteBytes(work.path() / "big.txt", TextBytes(1 << 20));
    Make7z(work.path() / "small.7z", work.path(), {"big.txt"}, {"-mx=1", "-m0=lzma:d=64k"});
    Make7z(work.path() / "large.7z", work.path(), {"big.txt"}, {"-mx=1", "-m0=lzma:d=1m"});
    DecodeOptions tight;
    tight.memoryLimit = 64 << 10;
    MemoryTarget target;
    auto small = OpenArchive(work.path() / "small.7z", tight);
    ExtractEntries(*small, AllEntries(*small), target);
    EXPECT_EQ(target.files["big.txt"], ReadBytes(work.path() / "big.txt"));
    auto large = OpenArchive(work.path() / "large.7z", tight);
    try {
        ExtractEntries(*large, AllEntries(*large), target);
        FAIL() << "a 1 MiB window was allowed";
    } catch (const ArchiveError& e) {
        EXPECT_EQ(e.kind(), ArchiveErrorKind::ResourceLimit);
    }
}

}  // namespace
}  // namespace qv::sevenzip::testing
