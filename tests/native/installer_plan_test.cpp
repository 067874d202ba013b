#include "installer/installer_plan.h"

#include <gtest/gtest.h>

#include "engine/variable_store.h"

using namespace qv;

TEST(InstallerPlan, RunSettingsComeFromTheVariablesSnapshot) {
    struct Case {
        std::vector<std::string> items;
        bool silent;
        const char* caption;
        bool allUsers;
    };
    const Case cases[] = {
        {{"SILENT", "TRUE", "TITLE", "My App", "ALLUSERS", "TRUE"}, true, "My App", true},
        {{"silent", "true", "Title", "x", "AllUsers", "true"}, true, "x", false},  // ALLUSERS counts only exactly
        {{"SILENT", "-1", "ALLUSERS", "1"}, false, "", false},
        {{"SILENT", "FALSE", "SILENT", "TRUE"}, true, "", false},  // the last value of a name counts
        {{}, false, "", false},
    };
    for (const Case& c : cases) {
        RunSettings s = ReadRunSettings(EncodeList(c.items));
        EXPECT_EQ(s.silent, c.silent) << EncodeList(c.items);
        EXPECT_EQ(s.caption, c.caption) << EncodeList(c.items);
        EXPECT_EQ(s.allUsers, c.allUsers) << EncodeList(c.items);
    }
}

TEST(InstallerPlan, RunDirectoryIsTheDialogFilesFolder) {
    InstallerRunRequest r;
    EXPECT_FALSE(RunDirectory(r).has_value());  // a patch run stays where it is
    r.dialogFile = "C:\\Temp\\zor1\\Progress.dfm";
    EXPECT_EQ(RunDirectory(r), "C:\\Temp\\zor1\\");
    r.dialogFile = "Progress.dfm";
    EXPECT_FALSE(RunDirectory(r).has_value());
}

TEST(InstallerPlan, HandoverFileLivesInTheTemporaryFolderUnderTheProductCode) {
    const char* code = "{11111111-2222-3333-4444-555555555555}";
    EXPECT_EQ(HandoverFilePath("C:\\Temp\\", code), std::string("C:\\Temp\\") + code);
    EXPECT_EQ(HandoverFilePath("C:\\Temp", code), std::string("C:\\Temp\\") + code);
}
