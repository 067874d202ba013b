#include "engine/script_engine.h"

#include <gtest/gtest.h>

#include "engine_harness.h"
#include "script_builder.h"

using namespace qv;
using qv::testing::EngineRun;
using qv::testing::ScriptBuilder;

TEST(Engine, SetVariableExpandsAndDefinesUpperCased) {
    EngineRun run(ScriptBuilder()
                      .Add("Set Variable", {"greeting", "Hello $TITLE$$NEWLINE$bye"})
                      .Add("Set Variable", {"$GREETING$", "$GREETING$!"})
                      .Add("Record", {"$greeting$"})
                      .Build());
    EXPECT_EQ(run.var("GREETING"), "Hello Test Product\r\nbye!");
    EXPECT_EQ(run.recorded, (std::vector<std::string>{"Hello Test Product\r\nbye!"}));
}

TEST(Engine, DisabledAndIgnoredCommandsDoNotRun) {
    EngineRun run(ScriptBuilder()
                      .Add("Record", {"1"})
                      .Disabled("Record", {"2"})
                      .Add("Ignore")
                      .Add("Record", {"3"})
                      .Add("Unknown Command")
                      .Build());
    EXPECT_EQ(run.recorded, (std::vector<std::string>{"1", "3"}));
}

TEST(Engine, ARuntimeErrorEndsTheRunWithItsLineAndKeepsTheExitCode) {
    EngineRun run(ScriptBuilder().Add("Record", {"a"}).Add("Comment").Add("Fail").Add("Record", {"b"}).Build());
    EXPECT_EQ(run.recorded, (std::vector<std::string>{"a"}));
    ASSERT_EQ(run.host.errors.size(), 1u);
    EXPECT_EQ(run.host.errors[0], "Runtime error in setup script:\r\rLine 3: it broke");
    EXPECT_EQ(run.exitCode, 0);
}

TEST(Engine, SilentRunsShowNoError) {
    EngineRun run(ScriptBuilder().Add("Fail").Add("Record", {"b"}).Build(), "setup.exe /s");
    EXPECT_TRUE(run.host.errors.empty());
    EXPECT_TRUE(run.recorded.empty());
}

TEST(Engine, AFailedValidationRunsNothing) {
    EngineRun run(ScriptBuilder().Add("Record", {"a"}).Add("GoTo Label", {"missing"}).Build());
    EXPECT_TRUE(run.recorded.empty());
    EXPECT_TRUE(run.host.errors.empty());
}

TEST(Engine, NoDatabaseEndsTheRunBeforeTheFirstCommand) {
    EngineRun run(ScriptBuilder().Add("Record", {"a"}).Build(), "setup.exe", false);
    EXPECT_TRUE(run.recorded.empty());
}

TEST(Engine, PresetsReachVariablesAndSilentModeKeepsThem) {
    SetupScript script = ScriptBuilder()
                             .Add("Record", {"$TARGETDIR$|$NEWONE$"})
                             .Add("Set Variable", {"TARGETDIR", "C:\\Script"})
                             .Build();
    EngineRun silent(script, "setup.exe /s targetdir=D:\\Apps NewOne=1");
    EXPECT_EQ(silent.recorded[0], "D:\\Apps|1");
    EXPECT_EQ(silent.var("TARGETDIR"), "D:\\Apps");
    EngineRun interactive(script, "setup.exe targetdir=D:\\Apps");
    EXPECT_EQ(interactive.recorded[0], "D:\\Apps|$NEWONE$");
    EXPECT_EQ(interactive.var("TARGETDIR"), "C:\\Script");
}

TEST(Engine, AbortMirrorsTheCancelFlagBeforeEveryCommand) {
    EngineRun run(ScriptBuilder()
                      .Add("Record", {"$ABORT$"})
                      .Add("Set Variable", {"ABORT", "TRUE"})
                      .Add("Record", {"$ABORT$"})
                      .Build());
    EXPECT_EQ(run.recorded, (std::vector<std::string>{"FALSE", "TRUE"}));
}

TEST(Engine, ScriptAssignmentsToDateLastOneCommand) {
    EngineRun run(ScriptBuilder()
                      .Add("Set Variable", {"DATE", "yesterday"})
                      .Add("Record", {"$DATE$"})
                      .Build());
    EXPECT_EQ(run.recorded[0], "12/11/2026");
}

TEST(Engine, EmptyScriptEndsAfterTheSessionStart) {
    EngineRun run(ScriptBuilder().Build());
    EXPECT_EQ(run.var("TITLE"), "Test Product");
    EXPECT_EQ(run.exitCode, 0);
}

TEST(Engine, ShortSectionIsAReportedListIndexError) {
    SetupScript script = ScriptBuilder().Add("Record", {"a"}).Add("Record", {"b"}).Build();
    script.mediaBlocks.pop_back();
    EngineRun run(script);
    EXPECT_EQ(run.recorded, (std::vector<std::string>{"a"}));
    ASSERT_EQ(run.host.errors.size(), 1u);
    EXPECT_NE(run.host.errors[0].find("List index out of bounds"), std::string::npos);
}
