#include "engine/value_commands.h"

#include <gtest/gtest.h>

#include "engine_harness.h"
#include "script_builder.h"

using namespace qv;
using qv::testing::EngineRun;
using qv::testing::FakeHost;
using qv::testing::ScriptBuilder;

using Lines = std::vector<std::string>;

TEST(ParseString, ModesTable) {
    struct Case {
        const char* source;
        const char* delimiter;
        int mode;
        bool ignoreCase;
        const char* first;
        const char* second;
    } cases[] = {
        {"a=b=c", "=", 0, false, "a", "b=c"},
        {"a=b=c", "=", 1, false, "a=b", "c"},
        {"a=b=c", ";", 0, false, "a=b=c", ""},
        {"a=b=c", ";", 1, false, "", "a=b=c"},
        {"a=b=c", "", 0, false, "a=b=c", ""},
        {"abcdef", "2", 2, false, "ab", "cdef"},
        {"abcdef", "0", 2, false, "", "abcdef"},
        {"abcdef", "10", 2, false, "abcdef", ""},
        {"abcdef", "2", 3, false, "abcd", "ef"},
        {"abcdef", "6", 3, false, "", ""},
        {"abcdef", "10", 3, false, "", "abcdef"},
        {"abcdef", "x", 2, false, "", ""},
        {"abcdef", "2", 7, false, "", ""},
        {"KeySEPValue", "sep", 0, true, "Key", "Value"},
        {"KeySEPValue", "sep", 0, false, "KeySEPValue", ""},
    };
    for (const auto& c : cases) {
        StringParts p = SplitString(c.source, c.delimiter, c.mode, c.ignoreCase);
        EXPECT_EQ(p.first, c.first) << c.source << " " << c.delimiter << " mode " << c.mode;
        EXPECT_EQ(p.second, c.second) << c.source << " " << c.delimiter << " mode " << c.mode;
    }
}

TEST(ParseString, TrimsAndAssignsOnlyNamedParts) {
    EngineRun run(ScriptBuilder()
                      .Add("Parse String", {" left , right ", ",", "L", "", "0", "TRUE", "FALSE"})
                      .Add("Record", {"[$L$]"})
                      .Build());
    EXPECT_EQ(run.recorded, (Lines{"[left]"}));
}

TEST(ExtractPath, PartsTable) {
    struct Case {
        const char* path;
        int part;
        const char* expected;
    } cases[] = {
        {"C:\\Dir\\Sub\\file.tar.gz", 0, "file.tar.gz"},
        {"C:\\Dir\\Sub\\file.tar.gz", 1, "file.tar"},
        {"C:\\Dir\\Sub\\file.tar.gz", 2, "gz"},
        {"C:\\Dir\\Sub\\file.tar.gz", 3, "C:\\Dir\\Sub\\"},
        {"C:\\Dir\\Sub\\file.tar.gz", 4, "C:\\Dir\\"},
        {"C:\\Dir\\Sub\\file.tar.gz", 5, "C:\\"},
        {"a.b.c.b", 1, "a.b.c"},
        {"C:\\Dir.x\\file", 2, ""},
        {"file", 3, ""},
        {"C:file", 3, "C:\\"},
        {"\\\\server\\share\\dir\\f.txt", 5, "\\\\server\\share\\"},
        {"\\\\a\\\\b", 6, "\\a\\b"},
        {"C:\\x", 9, "C:\\x"},
    };
    for (const auto& c : cases) EXPECT_EQ(PathPart(c.path, c.part), c.expected) << c.path << " part " << c.part;
}

TEST(ExtractPath, APartThatIsNotANumberIsARuntimeError) {
    EngineRun run(ScriptBuilder().Add("Set Variable", {"P", "C:\\a"}).Add("Extract Path", {"P", "two"}).Build());
    ASSERT_EQ(run.host.errors.size(), 1u);
    EXPECT_NE(run.host.errors[0].find("'two' is not a valid integer value"), std::string::npos);
}

TEST(Mathematics, CodesTable) {
    struct Case {
        const char* a;
        const char* b;
        int code;
        std::optional<std::string> expected;
    } cases[] = {
        {"7", "2", 3, "3"},
        {"-7", "2", 4, "-1"},
        {"1", "40", 8, "1099511627776"},
        {"1", "64", 8, "0"},
        {"1", "296", 8, "1099511627776"},  // only the low 8 bits of B count: 296 & 255 = 40
        {"-1", "1", 9, "9223372036854775807"},
        {"0", "", 10, "-1"},
        {"65", "", 12, "A"},
        {"Apple", "", 11, "65"},
        {"", "", 11, std::nullopt},
        {"1", "0", 3, std::nullopt},
        {"1", "0", 4, std::nullopt},
        {"x", "1", 0, std::nullopt},
        {"2147483647", "1", 0, "2147483648"},  // 64-bit arithmetic
        {"2147483647", "2147483647", 2, "4611686014132420609"},
        {"$FF", "1", 5, "1"},
        {"12", "10", 6, "14"},
        {"12", "10", 7, "6"},
        {"1", "1", 16, std::nullopt},
    };
    for (const auto& c : cases) {
        RandomState random;
        EXPECT_EQ(Calculate(c.a, c.b, c.code, random), c.expected) << c.a << " " << c.b << " code " << c.code;
    }
}

TEST(Mathematics, RandomSequence) {
    EngineRun run(ScriptBuilder()
                      .Add("Mathematics", {"3", "7", "13", "R"})
                      .Add("Record", {"$R$"})
                      .Add("Mathematics", {"5", "", "14", ""})
                      .Add("Mathematics", {"10", "", "15", "R"})
                      .Add("Record", {"$R$"})
                      .Add("Mathematics", {"10", "", "15", "R"})
                      .Add("Record", {"$R$"})
                      .Add("Mathematics", {"0", "", "15", "R"})
                      .Add("Record", {"[$R$]"})
                      .Build());
    EXPECT_EQ(run.recorded, (Lines{"10", "2", "3", "[]"}));
}

TEST(ReplaceString, FlagsAndReferenceTarget) {
    EngineRun run(ScriptBuilder()
                      .Add("Set Variable", {"V", "xAxa"})
                      .Add("Set Variable", {"W", "xAxa"})
                      .Add("Set Variable", {"PAT", "a"})
                      .Add("Replace String", {"V", "$PAT$", "y", "TRUE", "TRUE"})
                      .Add("Replace String", {"$W$", "a", "y", "FALSE", "FALSE"})
                      .Add("Record", {"$V$ $W$"})
                      .Build());
    EXPECT_EQ(run.recorded, (Lines{"xyxy xAxy"}));
}

TEST(ConvertCase, UsesThePathExpandedValue) {
    EngineRun run(ScriptBuilder()
                      .Add("Set Variable", {"P", "C:\\\\Mixed\\\\\xE9t\xE9"})
                      .Add("Convert Case", {"P", "TRUE"})
                      .Add("Record", {"$P$"})
                      .Build());
    EXPECT_EQ(run.recorded, (Lines{"C:\\MIXED\\\xC9T\xC9"}));
}

TEST(ConvertPath, LongFormComponentByComponent) {
    FakeHost host;
    host.longNames["C:\\PROGRA~1"] = "Program Files";
    host.longNames["C:\\PROGRA~1\\MYAPP~1"] = "My App";
    host.files["C:\\PROGRA~1\\MYAPP~1"] = "";
    EngineRun run(ScriptBuilder()
                      .Add("Set Variable", {"P", "C:\\PROGRA~1\\MYAPP~1\\"})
                      .Add("Convert Path", {"P", "FALSE"})
                      .Add("Record", {"$P$"})
                      .Add("Set Variable", {"Q", "C:\\NOSUCH\\X"})
                      .Add("Convert Path", {"Q", "FALSE"})
                      .Add("Record", {"[$Q$]"})
                      .Build(),
                  "setup.exe", true, {}, host);
    EXPECT_EQ(run.recorded, (Lines{"C:\\Program Files\\My App", "[]"}));
}

TEST(TextFiles, ReadLinesThenStartAgain) {
    FakeHost host;
    host.files["C:\\t.txt"] = "one\r\ntwo\nthree\r\n";
    ScriptBuilder script;
    for (int i = 0; i < 4; ++i) script.Add("Read from Text File", {"C:\\\\t.txt", "LINE", "EOF"}).Add("Record", {"$LINE$ $EOF$"});
    EngineRun run(script.Build(), "setup.exe", true, {}, host);
    EXPECT_EQ(run.recorded, (Lines{"one FALSE", "two FALSE", "three TRUE", "one FALSE"}));
}

TEST(TextFiles, MissingFileSetsTheFlagAndKeepsTheLine) {
    EngineRun run(ScriptBuilder()
                      .Add("Set Variable", {"LINE", "kept"})
                      .Add("Read from Text File", {"C:\\missing.txt", "LINE", "EOF"})
                      .Add("Record", {"$LINE$ $EOF$"})
                      .Build());
    EXPECT_EQ(run.recorded, (Lines{"kept TRUE"}));
}

TEST(TextFiles, WritingTheFileBeingReadRestartsTheRead) {
    FakeHost host;
    host.files["C:\\t.txt"] = "old1\r\nold2\r\n";
    EngineRun run(ScriptBuilder()
                      .Add("Read from Text File", {"C:\\t.txt", "LINE", ""})
                      .Add("Write to Text File", {"c:\\T.TXT", "new$NEWLINE$top", "TRUE"})
                      .Add("Write to Text File", {"C:\\t.txt", "last", "FALSE"})
                      .Add("Read from Text File", {"C:\\t.txt", "LINE", ""})
                      .Add("Record", {"$LINE$"})
                      .Build(),
                  "setup.exe", true, {}, host);
    EXPECT_EQ(run.recorded, (Lines{"new"}));
    EXPECT_EQ(run.host.files["C:\\t.txt"], "new\r\ntop\r\nold1\r\nold2\r\nlast\r\n");
}

TEST(TemporaryFile, CreatesAFileAndNamesIt) {
    EngineRun run(ScriptBuilder().Add("Get Temporary File", {"$tmp$"}).Add("Record", {"$TMP$"}).Build());
    ASSERT_EQ(run.recorded.size(), 1u);
    EXPECT_EQ(run.recorded[0], "C:\\Temp\\zor1.tmp");
    EXPECT_TRUE(run.host.files.count("C:\\Temp\\zor1.tmp"));
}
