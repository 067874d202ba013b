#include "engine/termination.h"

#include <gtest/gtest.h>

#include "engine_harness.h"
#include "script_builder.h"

using namespace qv;
using qv::testing::EngineRun;
using qv::testing::FakeHost;
using qv::testing::ScriptBuilder;

TEST(Termination, ExitCodes) {
    struct Case {
        const char* value;
        int exitCode;
    } cases[] = {{"3010", 3010}, {"abc", 0}, {"-5", -5}, {"", 0}};
    for (const auto& c : cases) {
        EngineRun run(ScriptBuilder()
                          .Add("Set Variable", {"CODE", c.value})
                          .Add("Terminate with Exit Code", {"$CODE$"})
                          .Add("Record", {"after"})
                          .Build());
        EXPECT_EQ(run.exitCode, c.exitCode) << c.value;
        EXPECT_TRUE(run.recorded.empty());
    }
}

TEST(Termination, TerminateInstallKeepsTheExitCode) {
    EngineRun run(ScriptBuilder().Add("Terminate Install").Add("Record", {"after"}).Build());
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.recorded.empty());
}

TEST(Termination, RebootAndResumeWritesTheEntryOfTheChosenHive) {
    SetupScript script = ScriptBuilder().Add("Set Variable", {"ALLUSERS", "FALSE"}).Add("Reboot and Resume").Build();
    EngineRun run(script, "C:\\Setup\\Setup.exe /s");
    EXPECT_EQ(run.host.restarts, 1);
    ASSERT_EQ(run.host.runEntries.size(), 1u);
    EXPECT_EQ(run.host.runEntries["HKCU\\11111111"], "C:\\Setup\\Setup.exe /s");
}

TEST(Termination, ResumeCommandPrefersTheSelfExtractor) {
    EXPECT_EQ(ResumeCommand("C:\\s.exe", "c:\\dl\\pack.exe", "/m=C:\\dl\\pack.exe"),
              "c:\\dl\\pack.exe /m=C:\\dl\\pack.exe");
    EXPECT_EQ(ResumeCommand("C:\\s.exe", "", ""), "C:\\s.exe");
    EXPECT_EQ(ResumeEntryName("{1234ABCD-0000-0000-0000-000000000000}"), "1234ABCD");
}

TEST(Termination, TheNextStartRemovesTheResumeEntryFromBothHives) {
    FakeHost host;
    host.runEntries["HKCU\\11111111"] = "x";
    host.runEntries["HKLM\\11111111"] = "x";
    host.runEntries["HKCU\\22222222"] = "other product";
    EngineRun run(ScriptBuilder().Add("Comment").Build(), "setup.exe", true, {}, host);
    EXPECT_EQ(run.host.runEntries.size(), 1u);
    EXPECT_TRUE(run.host.runEntries.count("HKCU\\22222222"));
}

TEST(Termination, RebootComputerAsksOnceAndEnds) {
    EngineRun run(ScriptBuilder().Add("Reboot Computer").Add("Record", {"after"}).Build());
    EXPECT_EQ(run.host.restarts, 1);
    EXPECT_TRUE(run.recorded.empty());
}
