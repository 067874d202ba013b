#include "engine/session_start.h"

#include <gtest/gtest.h>

#include "fake_host.h"
#include "script_builder.h"

using namespace qv;
using qv::testing::FakeHost;
using qv::testing::ScriptBuilder;

namespace {

struct Session {
    FakeHost host;
    Trace trace;
    SetupScript script = ScriptBuilder().Add("Label", {"start"}).Build();
    StartupValues values = qv::testing::TestStartupValues();

    Session() { host.files[values.databasePath] = ""; }
};

}  // namespace

TEST(SessionStart, FirstRunAsAdministratorGoesToProgramFiles) {
    Session s;
    RunContext cx(s.script, s.values, s.host, s.trace);
    ASSERT_TRUE(StartSession(cx));
    EXPECT_EQ(cx.vars.Get("TARGETDIR"), "C:\\Program Files\\Test Product\\");
    EXPECT_EQ(cx.vars.Get("ALLUSERS"), "TRUE");
    EXPECT_EQ(cx.vars.Get("MAINTENANCE"), "FALSE");
    EXPECT_EQ(cx.vars.Get("SUPPORTDIR"), "C:\\Temp\\zor1\\");
    EXPECT_EQ(cx.vars.Get("DATADIR"), "C:\\Setup\\data\\");
    EXPECT_EQ(cx.vars.Get("SFXPATH"), "");
    ASSERT_EQ(cx.labels.size(), 1u);
    EXPECT_EQ(cx.labels[0].name, "START");
}

TEST(SessionStart, FirstRunAsUserGoesToTheProfile) {
    Session s;
    s.host.admin = false;
    RunContext cx(s.script, s.values, s.host, s.trace);
    ASSERT_TRUE(StartSession(cx));
    EXPECT_EQ(cx.vars.Get("TARGETDIR"), "C:\\Users\\me\\Test Product\\");
    EXPECT_EQ(cx.vars.Get("ALLUSERS"), "FALSE");
    RefreshPerCommandVariables(cx);
    EXPECT_EQ(cx.vars.Get("UNINSTALLLINK"),
              "C:\\Users\\me\\Application Data\\{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}\\Setup.exe");
}

TEST(SessionStart, InstalledProductDecidesMaintenanceOrUpgrade) {
    struct Case {
        const char* installed;
        const char* maintenance;
        const char* upgrade;
    } cases[] = {{"", "FALSE", "FALSE"},
                 {"{aaaaaaaa-bbbb-cccc-dddd-eeeeeeeeeeee}", "TRUE", "FALSE"},
                 {"{99999999-BBBB-CCCC-DDDD-EEEEEEEEEEEE}", "FALSE", "TRUE"}};
    for (const Case& c : cases) {
        Session s;
        s.host.installedPackageCode = c.installed;
        RunContext cx(s.script, s.values, s.host, s.trace);
        ASSERT_TRUE(StartSession(cx));
        EXPECT_EQ(cx.vars.Get("MAINTENANCE"), c.maintenance) << c.installed;
        EXPECT_EQ(cx.vars.Get("NEEDSUPGRADE"), c.upgrade) << c.installed;
        EXPECT_EQ(cx.vars.Get("NEWINSTANCE"), *c.installed ? "TRUE" : "FALSE") << c.installed;
    }
}

TEST(SessionStart, InstanceFileReplacesCodesAndTitleBeforeTheyArePublished) {
    Session s;
    s.host.files["C:\\Setup\\instance.dat"] = "{P2}\r\n{R2}\r\nSecond Copy\r\n";
    RunContext cx(s.script, s.values, s.host, s.trace);
    ASSERT_TRUE(StartSession(cx));
    EXPECT_EQ(cx.vars.Get("PRODUCTCODE"), "{P2}");
    EXPECT_EQ(cx.vars.Get("REVISIONCODE"), "{R2}");
    EXPECT_EQ(cx.vars.Get("TITLE"), "Second Copy");
    EXPECT_EQ(cx.vars.Get("STARTMENU"), "Second Copy");
    EXPECT_EQ(cx.vars.Get("TARGETDIR"), "C:\\Program Files\\Second Copy\\");
}

TEST(SessionStart, APatchBesideTheDatabaseIsEnough) {
    Session s;
    s.host.files.clear();
    RunContext cx(s.script, s.values, s.host, s.trace);
    EXPECT_FALSE(StartSession(cx));
    s.host.files["C:\\Temp\\zor1\\Setup.msp"] = "";
    RunContext again(s.script, s.values, s.host, s.trace);
    EXPECT_TRUE(StartSession(again));
}

TEST(SessionStart, SelfExtractorPathGivesFolderAndFile) {
    Session s;
    s.values.commandLine = ParseCommandLine("setup.exe /m=C:\\Downloads\\Product.EXE");
    RunContext cx(s.script, s.values, s.host, s.trace);
    ASSERT_TRUE(StartSession(cx));
    EXPECT_EQ(cx.vars.Get("SFXPATH"), "c:\\downloads\\");
    EXPECT_EQ(cx.vars.Get("SFXFILE"), "product.exe");
    EXPECT_EQ(cx.vars.Get("CMDLINE"), "/m=C:\\Downloads\\Product.EXE");
}

TEST(SessionStart, MaintenanceRestoresTheCachedSelection) {
    Session s;
    s.host.installedPackageCode = s.script.revisionCode;
    s.script.componentSizes = {{"Docs", 300}, {"Tools", 4000}};
    const std::string cache = "C:\\Users\\me\\Application Data\\{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}\\";
    s.host.files[cache + "Setup.dat"] =
        "VOSK-PREDEF-COMPONENT\r\nDocs\r\nTools\r\n$\r\nTRUE\r\nTRUE\r\nFALSE\r\n$\r\nD:\\Apps\\\r\nFALSE\r\nMenu\r\nDATA~1\r\n";
    s.host.files[cache + "Setup.par"] = "AQV1\r\nTRUE\r\n";
    RunContext cx(s.script, s.values, s.host, s.trace);
    ASSERT_TRUE(StartSession(cx));
    EXPECT_EQ(cx.vars.Get("MAINTENANCE"), "TRUE");
    EXPECT_EQ(cx.vars.Get("TARGETDIR"), "D:\\Apps\\");
    EXPECT_EQ(cx.vars.Get("ALLUSERS"), "FALSE");
    EXPECT_EQ(cx.vars.Get("STARTMENU"), "Menu");
    EXPECT_EQ(cx.selectionBaseline, 300);
    ASSERT_EQ(cx.components.size(), 3u);
    EXPECT_FALSE(cx.components.IsSelected("tools"));
    EXPECT_EQ(cx.records.parameterLog, (std::vector<std::string>{"AQV1", "TRUE"}));
}

TEST(SessionStart, MaintenanceWithoutASelectionFileLeavesTargetEmpty) {
    Session s;
    s.host.installedPackageCode = s.script.revisionCode;
    RunContext cx(s.script, s.values, s.host, s.trace);
    ASSERT_TRUE(StartSession(cx));
    EXPECT_EQ(cx.vars.Get("TARGETDIR"), "");
    EXPECT_EQ(cx.components.Position(kPredefinedComponent), 0);
}

TEST(SessionStart, CommandHeadersSeedTheirActivationProperties) {
    Session s;
    s.script = ScriptBuilder().Add("Write Registry").Add("Comment").Add("Install Files").Build();
    s.script.commandHeaders = {{"QV0", "0"}, {"QV2", "2"}};
    RunContext cx(s.script, s.values, s.host, s.trace);
    ASSERT_TRUE(StartSession(cx));
    ASSERT_EQ(cx.records.properties.size(), 2u);
    EXPECT_EQ(cx.records.properties[1].name, "AQV2");
    EXPECT_EQ(cx.records.properties[1].value, "FALSE");
    EXPECT_EQ(cx.records.parameterLog, (std::vector<std::string>{"AQV0", "FALSE", "AQV2", "FALSE"}));
}

TEST(SessionStart, APatchLoadsTheInstalledRevisionsSelection) {
    Session s;
    s.host.files.clear();
    s.host.files["C:\\Temp\\zor1\\Setup.msp"] = "";
    s.host.uninstallStrings["HKLM"] = "\"C:\\ProgramData\\Application Data\\{OLD}\\Setup.exe\" REMOVE=TRUE MODIFY=FALSE";
    s.script.componentSizes = {{"Core", 77}};
    s.host.files["C:\\ProgramData\\Application Data\\{OLD}\\Setup.dat"] = "Core\r\n$\r\nTRUE\r\n$\r\nC:\\Old\\\r\nTRUE\r\nOld\r\n";
    RunContext cx(s.script, s.values, s.host, s.trace);
    ASSERT_TRUE(StartSession(cx));
    EXPECT_EQ(cx.selectionBaseline, 77);
    EXPECT_EQ(cx.vars.Get("REVISIONCODE"), "{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}");
}
