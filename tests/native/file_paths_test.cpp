#include "actions/file_paths.h"

#include <gtest/gtest.h>

#include "common/errors.h"

using namespace qv;

TEST(FilePaths, Pieces) {
    struct Case {
        std::string path, with, without, extension, bare;
    } cases[] = {
        {"", "", "", "", ""},
        {"C:\\App", "C:\\App\\", "C:\\App", "", "App"},
        {"C:\\App\\", "C:\\App\\", "C:\\App", "", ""},
        {"C:\\a.b\\file.tar.gz", "C:\\a.b\\file.tar.gz\\", "C:\\a.b\\file.tar.gz", "gz", "file.tar"},
        {"C:readme", "C:readme\\", "C:readme", "", "readme"},
        {"\\\\", "\\\\", "\\", "", ""},
        {".hidden", ".hidden\\", ".hidden", "hidden", ""},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(WithTrailingBackslash(k.path), k.with) << k.path;
        EXPECT_EQ(WithoutTrailingBackslash(k.path), k.without) << k.path;
        EXPECT_EQ(FileExtension(k.path), k.extension) << k.path;
        EXPECT_EQ(FileNameWithoutExtension(k.path), k.bare) << k.path;
    }
    EXPECT_EQ(SplitSearchPath("C:\\a\\*.txt").folder, "C:\\a\\");
    EXPECT_EQ(SplitSearchPath("C:\\a\\*.txt").mask, "*.txt");
    EXPECT_EQ(SplitSearchPath("*.txt").folder, "");
}

TEST(FilePaths, SearchResultText) {
    using List = std::vector<std::string>;
    struct Case {
        List entries;
        std::string text;
    } cases[] = {
        {{}, ""},
        {{""}, "\"\""},
        {{"a", ""}, "a|"},
        {{"C:\\a\\x.txt", "C:\\a b\\y.txt"}, "C:\\a\\x.txt|\"C:\\a b\\y.txt\""},
        {{"say \"hi\""}, "\"say \"\"hi\"\"\""},
        {{"a|b", "tab\there"}, "\"a|b\"|\"tab\there\""},
        {{"\x01"}, "\"\x01\""},
    };
    for (const Case& k : cases) EXPECT_EQ(SearchResultText(k.entries), k.text);
}

TEST(FileVersions, TextAndComparison) {
    EXPECT_EQ(VersionText(VersionFromHalves(0x00010002, 0x00030005)), "1.2.3.5");
    EXPECT_EQ(VersionText(VersionFromHalves(0xFFFF0000, 0x0000FFFF)), "65535.0.0.65535");
    struct Case {
        std::string file, reference;
        bool higher;
    } cases[] = {
        {"1.2.3.5", "1.2.3.4", true},   {"1.2.3.4", "1.2.3.4", false}, {"1.2.3.3", "1.2.3.4", false},
        {"1.2.0.1", "1.2", true},       {"1.2.0.0", "1.2", false},     {"2.0.0.0", "1.9.9.9", true},
        {"1.2.3.4", "1.2.3.x", true},   {"0.0.0.1", "", true},         {"1.2.3.4", "1.2.3.4.9", false},
        {"1.10.0.0", "1.9.0.0", true},
    };
    for (const Case& k : cases) {
        FileVersion file = ParseReferenceVersion(k.file);
        EXPECT_EQ(VersionIsHigher(file, ParseReferenceVersion(k.reference)), k.higher) << k.file << " vs " << k.reference;
    }
    for (const char* bad : {"1.x.3", "a.2", "1..3", "1.2.3.z.5"}) EXPECT_THROW(ParseReferenceVersion(bad), ScriptError) << bad;
}

TEST(FilePaths, RenameEntriesAccumulateInTheirSection) {
    std::string once = AddRenameEntry("", "C:\\A~1.TXT");
    EXPECT_EQ(once, "[Rename]\r\nNUL=C:\\A~1.TXT\r\n");
    std::string three = AddRenameEntry(AddRenameEntry(once, "C:\\B.TXT"), "C:\\C.TXT");
    EXPECT_EQ(three, "[Rename]\r\nNUL=C:\\A~1.TXT\r\nNUL=C:\\B.TXT\r\nNUL=C:\\C.TXT\r\n");
    std::string mixed = AddRenameEntry("[Other]\r\nk=v\r\n\r\n[rename]\r\nNUL=X\r\n\r\n[Last]\r\nz=1\r\n", "Y");
    EXPECT_EQ(mixed, "[Other]\r\nk=v\r\n\r\n[rename]\r\nNUL=X\r\nNUL=Y\r\n\r\n[Last]\r\nz=1\r\n");
}
