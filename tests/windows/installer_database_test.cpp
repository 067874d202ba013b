// The workspace database operations against the installer service of the
// test machine, on a small database the test creates through msi.dll.
#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "installer/installer_database.h"
#include "installer/msi_library.h"
#include "scratch_folder.h"

using namespace qv;
using namespace qv::win;

namespace {

const char* kProductCode = "{11111111-2222-4333-8444-555555555555}";
const char* kPackageCode = "{AAAAAAAA-BBBB-4CCC-8DDD-EEEEEEEEEEEE}";

using OpenDatabaseFn = UINT(WINAPI*)(const char*, const char*, MsiHandleValue*);

// A database with the tables the operations touch and a few authored rows.
void CreateDatabase(const std::string& path) {
    {
        MsiHandle created;
        const char* create = reinterpret_cast<const char*>(static_cast<ULONG_PTR>(3));  // MSIDBOPEN_CREATE
        ASSERT_EQ(Msi<OpenDatabaseFn>("MsiOpenDatabaseA")(path.c_str(), create, created.out()), 0u);
        using CommitFn = UINT(WINAPI*)(MsiHandleValue);
        ASSERT_EQ(Msi<CommitFn>("MsiDatabaseCommit")(created.get()), 0u);
    }
    InstallerDatabase db(path);
    ASSERT_TRUE(db.opened());
    const char* statements[] = {
        "CREATE TABLE `Property` (`Property` CHAR(72) NOT NULL, `Value` LONGCHAR NOT NULL PRIMARY KEY `Property`)",
        "CREATE TABLE `Component` (`Component` CHAR(72) NOT NULL, `ComponentId` CHAR(38) PRIMARY KEY `Component`)",
        "CREATE TABLE `Shortcut` (`Shortcut` CHAR(72) NOT NULL, `Directory_` CHAR(72) NOT NULL, `Name` CHAR(128) "
        "NOT NULL, `Description` CHAR(255) PRIMARY KEY `Shortcut`)",
        "CREATE TABLE `ProgId` (`ProgId` CHAR(255) NOT NULL, `Description` CHAR(255) PRIMARY KEY `ProgId`)",
        "INSERT INTO `Property` (`Property`, `Value`) VALUES ('ProductCode', '{11111111-2222-4333-8444-555555555555}')",
        "INSERT INTO `Property` (`Property`, `Value`) VALUES ('AUTHORED', 'as built')",
        "INSERT INTO `Component` (`Component`, `ComponentId`) VALUES ('One', '{00000000-0000-4000-8000-000000000001}')",
        "INSERT INTO `Component` (`Component`, `ComponentId`) VALUES ('Two', '{00000000-0000-4000-8000-000000000002}')",
        "INSERT INTO `Shortcut` (`Shortcut`, `Directory_`, `Name`, `Description`) VALUES ('S1', 'PQV3_1', "
        "'APP~1|App', 'authored')",
        "INSERT INTO `Shortcut` (`Shortcut`, `Directory_`, `Name`, `Description`) VALUES ('S2', 'PQV4_1', "
        "'OTHER~1|Other', 'untouched')",
        "INSERT INTO `ProgId` (`ProgId`, `Description`) VALUES ('Authored.Doc', 'authored')",
    };
    for (const char* sql : statements) ASSERT_TRUE(db.Execute(sql)) << sql;
    db.SetPackageCode(kPackageCode);
    ASSERT_TRUE(db.Commit());
}

std::string PropertyValue(const std::string& path, const std::string& name) {
    InstallerDatabase db(path);
    auto rows = db.Select("SELECT `Value` FROM `Property` WHERE `Property`='" + name + "'");
    return rows.empty() ? "<none>" : rows[0][0];
}

std::vector<std::string> ComponentIds(const std::string& path) {
    InstallerDatabase db(path);
    std::vector<std::string> ids;
    for (auto& row : db.Select("SELECT `ComponentId` FROM `Component`")) ids.push_back(row[0]);
    return ids;
}

const std::vector<std::string> kAuthoredIds = {"{00000000-0000-4000-8000-000000000001}",
                                               "{00000000-0000-4000-8000-000000000002}"};

class InstallerDatabaseTest : public qv::testing::ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        path_ = folder_ + "Setup.msi";
        CreateDatabase(path_);
    }
    std::string path_;
};

}  // namespace

TEST_F(InstallerDatabaseTest, RecordedPropertiesReachThePropertyTable) {
    InstallerRecords records;
    records.RecordDeferredProperty("AQV1", "FALSE");
    records.RecordDeferredProperty("NOTES", "first\r\nsecond");
    records.RecordDeferredProperty("AUTHORED", "from the script");
    records.RecordDeferredProperty("QUOTED", "it's");
    records.RecordDeferredProperty("AQV1", "TRUE");
    WriteDeferredProperties(records, path_, {"{99999999-0000-4000-8000-000000000000}", "{not used}"});

    EXPECT_EQ(PropertyValue(path_, "AQV1"), "TRUE");
    EXPECT_EQ(PropertyValue(path_, "NOTES"), "first\r\nsecond");
    EXPECT_EQ(PropertyValue(path_, "AUTHORED"), "from the script");
    EXPECT_EQ(PropertyValue(path_, "QUOTED"), "<none>");  // a quote breaks its statements
    EXPECT_TRUE(records.properties.empty());
    // Without a new instance the identity stays.
    EXPECT_EQ(PropertyValue(path_, "ProductCode"), kProductCode);
    EXPECT_EQ(DatabasePackageCode(path_), kPackageCode);
    EXPECT_EQ(ComponentIds(path_), kAuthoredIds);
    EXPECT_EQ(records.newInstanceDatabasePath, "");
}

TEST_F(InstallerDatabaseTest, ANewInstanceGetsFreshCodes) {
    InstallerRecords records;
    records.newInstanceMode = true;
    records.RecordDeferredProperty("MSINTEMP", "C:\\Temp\\");
    const NewInstanceCodes codes{"{12345678-0000-4000-8000-00000000000A}", "{12345678-0000-4000-8000-00000000000B}"};
    WriteDeferredProperties(records, path_, codes);

    EXPECT_EQ(PropertyValue(path_, "ProductCode"), codes.productCode);
    EXPECT_EQ(DatabasePackageCode(path_), codes.revisionCode);
    EXPECT_EQ(PropertyValue(path_, "MSINTEMP"), "C:\\Temp\\");
    std::vector<std::string> ids = ComponentIds(path_);
    ASSERT_EQ(ids.size(), 2u);
    std::regex guid(R"(\{[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\})");
    for (const std::string& id : ids) {
        EXPECT_TRUE(std::regex_match(id, guid)) << id;
        EXPECT_NE(id, kAuthoredIds[0]);
        EXPECT_NE(id, kAuthoredIds[1]);
    }
    EXPECT_NE(ids[0], ids[1]);
    EXPECT_EQ(records.newInstanceDatabasePath, path_);
}

TEST_F(InstallerDatabaseTest, ANewInstanceWithNothingRecordedOnlyRenewsComponentIds) {
    InstallerRecords records;
    records.newInstanceMode = true;
    WriteDeferredProperties(records, path_, {"{12345678-0000-4000-8000-00000000000A}", "{x}"});
    EXPECT_NE(ComponentIds(path_), kAuthoredIds);
    EXPECT_EQ(PropertyValue(path_, "ProductCode"), kProductCode);
    EXPECT_EQ(DatabasePackageCode(path_), kPackageCode);
    EXPECT_EQ(records.newInstanceDatabasePath, "");
}

TEST_F(InstallerDatabaseTest, ShortcutAndProgIdTextsAreRewritten) {
    InstallerRecords records;
    records.shortcutUpdates = {"PQV3_1", "ANWEN~1|Anwendung", "Startet die Anwendung", "PQV4_1"};
    records.progIdUpdates = {"Authored.Doc", "Translated.Doc", "Dokument"};
    ApplyShortcutUpdates(records, path_);
    ApplyProgIdUpdates(records, path_);

    InstallerDatabase db(path_);
    auto shortcuts = db.Select("SELECT `Shortcut`, `Name`, `Description` FROM `Shortcut`");
    std::set<std::vector<std::string>> got(shortcuts.begin(), shortcuts.end());
    std::set<std::vector<std::string>> want = {{"S1", "ANWEN~1|Anwendung", "Startet die Anwendung"},
                                               {"S2", "OTHER~1|Other", "untouched"}};
    EXPECT_EQ(got, want);
    // The description is written while the row still has its authored key.
    // The installer refuses an UPDATE of a key column, so the ProgId itself
    // keeps its authored text.
    auto progIds = db.Select("SELECT `ProgId`, `Description` FROM `ProgId`");
    ASSERT_EQ(progIds.size(), 1u);
    EXPECT_EQ(progIds[0][1], "Dokument");
    // The lists stay for a later run.
    EXPECT_EQ(records.shortcutUpdates.size(), 4u);
}

TEST_F(InstallerDatabaseTest, AMissingDatabaseWritesNothingAndRaisesNothing) {
    InstallerRecords records;
    records.RecordDeferredProperty("AQV1", "TRUE");
    records.shortcutUpdates = {"PQV3_1", "N", "D"};
    std::string missing = folder_ + "missing.msi";
    EXPECT_NO_THROW(WriteDeferredProperties(records, missing, {}));
    EXPECT_NO_THROW(ApplyShortcutUpdates(records, missing));
    EXPECT_FALSE(InstallerDatabase(missing).opened());
    EXPECT_EQ(DatabasePackageCode(missing), "");
}
