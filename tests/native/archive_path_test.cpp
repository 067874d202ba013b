// Entry paths that could reach outside the target folder are refused, before
// anything at all is written.
#include <gtest/gtest.h>

#include "archive/sevenzip/archive_error.h"
#include "archive/sevenzip/entry_path.h"
#include "archive_fixtures.h"

namespace qv::sevenzip::testing {
namespace {

struct SafeCase {
    const char* path;
    std::vector<std::string> names;
};

TEST(ArchivePath, AcceptedPathsBecomeNamesBelowTheTarget) {
    for (const SafeCase& c : std::vector<SafeCase>{{"a.txt", {"a.txt"}},
                                                   {"dir/sub/a.txt", {"dir", "sub", "a.txt"}},
                                                   {"dir\\sub\\a.txt", {"dir", "sub", "a.txt"}},
                                                   {"dir//./a.txt", {"dir", "a.txt"}},
                                                   {"dir/../a.txt", {"a.txt"}},
                                                   {"dir/", {"dir"}},
                                                   {"a..b/.hidden", {"a..b", ".hidden"}},
                                                   {"console/com10/nullish.txt", {"console", "com10", "nullish.txt"}}}) {
        EXPECT_EQ(SafeEntryPath(c.path), c.names) << c.path;
    }
}

TEST(ArchivePath, EscapingPathsAreRefused) {
    for (const char* path : {"", "/etc/passwd", "\\Windows\\evil.dll", "\\\\server\\share\\evil", "//server/share/evil",
                             "C:\\evil", "C:evil", "c:/evil", "dir/stream:evil", "..", "../evil", "..\\evil",
                             "dir/../../evil", "dir/.. /evil", "...", "dir/ . /evil", ".", "dir/..", "CON", "dir/nul.txt",
                             "Aux .log", "com1", "LPT9.dat"}) {
        try {
            SafeEntryPath(path);
            ADD_FAILURE() << "accepted " << path;
        } catch (const ArchiveError& e) {
            EXPECT_EQ(e.kind(), ArchiveErrorKind::UnsafePath) << path;
        }
    }
}

class ArchiveHostileNames : public ::testing::TestWithParam<const char*> {};

// 7zz renames one entry of a good archive; extracting the whole archive must
// write nothing, inside the target or beside it.
TEST_P(ArchiveHostileNames, ArchiveWithOneIsNotExtractedAtAll) {
    TempDir work;
    WriteBytes(work.path() / "src/good.txt", TextBytes(100));
    WriteBytes(work.path() / "src/bad.txt", TextBytes(200));
    const fs::path archivePath = work.path() / "hostile.7z";
    Make7z(archivePath, work.path() / "src", {"good.txt", "bad.txt"}, {});
    Run7zz({"rn", archivePath.string(), "bad.txt", GetParam()});

    const fs::path out = work.path() / "box" / "out";
    fs::create_directories(out);
    auto archive = OpenArchive(archivePath);
    FolderTarget target(out);
    try {
        ExtractEntries(*archive, AllEntries(*archive), target);
        FAIL() << "extracted " << GetParam();
    } catch (const ArchiveError& e) {
        EXPECT_EQ(e.kind(), ArchiveErrorKind::UnsafePath);
    }
    EXPECT_EQ(TreeOf(work.path() / "box"), std::vector<std::string>{"out"});
}

INSTANTIATE_TEST_SUITE_P(ArchiveNames, ArchiveHostileNames,
                         ::testing::Values("../evil.txt", "sub/../../evil.txt", "/tmp/evil.txt", "C:\\evil.txt",
                                           "\\\\server\\share\\evil.txt", "..\\evil.txt"));

TEST(ArchivePath, HandBuiltArchiveWithADriveNameIsRefused) {
    const Bytes bytes = CopyArchive({{"fine.txt", "fine"}, {"D:/evil.txt", "evil"}});
    auto archive = OpenArchiveBytes(bytes);
    MemoryTarget target;
    EXPECT_THROW(ExtractEntries(*archive, AllEntries(*archive), target), ArchiveError);
    EXPECT_TRUE(target.files.empty());
}

}  // namespace
}  // namespace qv::sevenzip::testing
