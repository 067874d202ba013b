#include "installer/apply_changes_plan.h"

#include <gtest/gtest.h>

#include <set>

using namespace qv;

TEST(ApplyChangesPlan, PatchSourceIsTheFolderOfTheUninstaller) {
    struct Case {
        const char* uninstall;
        const char* folder;
    } cases[] = {
        {"\"C:\\Cache\\{R}\\Setup.exe\" REMOVE=TRUE MODIFY=FALSE", "C:\\Cache\\{R}\\"},
        {"C:\\Cache\\Setup.exe", "C:\\Cache\\"},
        {"Setup.exe", ""},
        {"", ""},
        {"\"unterminated\\Setup.exe", "unterminated\\"},
    };
    for (const Case& c : cases) EXPECT_EQ(PatchSourceFromUninstallString(c.uninstall), c.folder) << c.uninstall;
}

TEST(ApplyChangesPlan, ThePatchLiesBesideTheDatabase) {
    EXPECT_EQ(PatchPathOf("C:\\Temp\\zor1\\Setup.msi"), "C:\\Temp\\zor1\\Setup.msp");
    EXPECT_EQ(PatchPathOf("C:\\Temp\\zor.1\\Setup"), "C:\\Temp\\zor.1\\Setup.msp");
}

TEST(ApplyChangesPlan, OnlyAnInstallingMaintenanceOrPatchRunSearchesForMissingSources) {
    const std::set<std::string> present = {"C:\\Setup\\data\\{P}", "C:\\Installed\\{P}"};
    auto exists = [&](const std::string& f) { return present.count(f) > 0; };
    struct Case {
        bool patch, install, maintenance;
        int mediaMode;
        const char* dataFolder;
        bool search;
    } cases[] = {
        {false, true, true, 1, "C:\\Setup\\data\\", false},   // sources there
        {false, true, true, 1, "C:\\Moved\\data\\", true},
        {false, true, false, 1, "C:\\Moved\\data\\", false},  // a first install never asks
        {false, false, true, 1, "C:\\Moved\\data\\", false},  // a removal does not need them
        {false, true, true, 2, "C:\\Moved\\data\\", false},   // web media come from the product cache
        {true, false, false, 1, "C:\\Moved\\data\\", true},   // a patch always needs them
        {true, false, false, 3, "C:\\Moved\\data\\", false},  // mode 3 looks in the installed copy's folder
    };
    for (const Case& c : cases) {
        SourceCheck check;
        check.patch = c.patch;
        check.install = c.install;
        check.maintenance = c.maintenance;
        check.mediaMode = c.mediaMode;
        check.productCode = "{P}";
        check.dataFolder = c.dataFolder;
        check.patchSourceFolder = "C:\\Installed\\";
        EXPECT_EQ(MustSearchForSources(check, exists), c.search)
            << c.patch << c.install << c.maintenance << c.mediaMode << c.dataFolder;
    }
}

TEST(ApplyChangesPlan, AChosenFolderHoldsTheSourcesItselfOrInItsDataFolder) {
    const std::set<std::string> present = {"D:\\{P}", "E:\\Media\\data\\{P}"};
    auto exists = [&](const std::string& f) { return present.count(f) > 0; };
    EXPECT_EQ(AcceptedSourceFolder("D:\\", "{P}", exists), "D:\\");
    EXPECT_EQ(AcceptedSourceFolder("E:\\Media", "{P}", exists), "E:\\Media\\data\\");
    EXPECT_EQ(AcceptedSourceFolder("F:\\", "{P}", exists), std::nullopt);
}
