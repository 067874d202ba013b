#include "bootstrap/command_line.h"

#include <gtest/gtest.h>

using namespace qv;

TEST(CommandLine, SwitchesPresetsAndTail) {
    CommandLine cl = ParseCommandLine(
        "\"C:\\Setup\\Setup.exe\" /S \"TARGETDIR=C:\\My App\" /L=C:\\Log.txt -k=PassWord /m=C:\\SFX\\Pack.EXE words");
    EXPECT_TRUE(cl.silent);
    ASSERT_EQ(cl.presets.size(), 1u);
    EXPECT_EQ(cl.presets[0].first, "TARGETDIR");
    EXPECT_EQ(cl.presets[0].second, "C:\\My App");
    EXPECT_EQ(cl.logPath, "c:\\log.txt");
    EXPECT_EQ(cl.password, "PassWord");
    EXPECT_EQ(cl.sfxPath, "c:\\sfx\\pack.exe");
    EXPECT_EQ(cl.tail,
              "/S \"TARGETDIR=C:\\My App\" /L=C:\\Log.txt -k=PassWord /m=C:\\SFX\\Pack.EXE words");
}

TEST(CommandLine, OnlyPlainArgumentsWithAnEqualSignArePresets) {
    CommandLine cl = ParseCommandLine("setup.exe -A=1 /B=2 C=3 plain D==4 =5");
    ASSERT_EQ(cl.presets.size(), 3u);
    EXPECT_EQ(cl.presets[0], (std::pair<std::string, std::string>{"C", "3"}));
    EXPECT_EQ(cl.presets[1], (std::pair<std::string, std::string>{"D", "=4"}));
    EXPECT_EQ(cl.presets[2].first, "");
}

TEST(CommandLine, TheFirstMatchingSwitchCounts) {
    CommandLine cl = ParseCommandLine("setup.exe /l=first.log -l=second.log /p=A /p=B /trace=T1 /trace=T2");
    EXPECT_EQ(cl.logPath, "first.log");
    EXPECT_EQ(cl.sourcePath, "a");
    EXPECT_EQ(cl.tracePath, "T1");
    EXPECT_TRUE(cl.presets.empty());
}

TEST(CommandLine, TailRules) {
    EXPECT_EQ(CommandLineTail("\"C:\\a b\\s.exe\" /s"), "/s");
    EXPECT_EQ(CommandLineTail("\"C:\\a b\\s.exe\""), "");
    EXPECT_EQ(CommandLineTail("s.exe /s x"), "/s x");
    EXPECT_EQ(CommandLineTail("s.exe"), "");
}

TEST(CommandLine, SilentNeedsTheWholeArgument) {
    EXPECT_TRUE(ParseCommandLine("s.exe -S").silent);
    EXPECT_FALSE(ParseCommandLine("s.exe /silent").silent);
}
