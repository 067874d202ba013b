#include "installer/product_registration_values.h"

#include <gtest/gtest.h>

using namespace qv;

TEST(ProductRegistrationValues, UninstallEntryQuotesTheCommandsItRuns) {
    SetupScript s;
    s.publisher = "Pub";
    s.contact = "Con";
    s.helpLink = "Help";
    s.updateLink = "Upd";
    s.comments = "Com";
    auto values = UninstallEntryValues("C:\\Application Data\\{R}\\Setup.exe", "My App", s);
    std::vector<std::pair<std::string, std::string>> expected = {
        {"DisplayIcon", "C:\\Application Data\\{R}\\Setup.exe"},
        {"DisplayName", "My App"},
        {"UninstallString", "\"C:\\Application Data\\{R}\\Setup.exe\" REMOVE=TRUE MODIFY=FALSE"},
        {"ModifyPath", "\"C:\\Application Data\\{R}\\Setup.exe\""},
        {"Publisher", "Pub"}, {"Contact", "Con"}, {"HelpLink", "Help"}, {"URLUpdateInfo", "Upd"}, {"Comments", "Com"},
    };
    EXPECT_EQ(values, expected);
    EXPECT_EQ(UninstallKey("My App"), "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\My App");
    EXPECT_EQ(IdentCacheKey("{P}"), "SOFTWARE\\Zembrot\\Quorvex\\Ident.Cache\\{P}");
}

TEST(ProductRegistrationValues, FilesOfTheCache) {
    EXPECT_EQ(InstanceText("{P}", "{R}", "T"), "{P}\r\n{R}\r\nT\r\n");
    EXPECT_EQ(ParameterLogText({}), "");
    EXPECT_EQ(ParameterLogText({"AK", "TRUE", "PK_1", "a$NEWLINE$b"}), "AK\r\nTRUE\r\nPK_1\r\na$NEWLINE$b\r\n");
    struct Case {
        std::string cache;
        int n;
        std::string retired;
    } cases[] = {
        {"C:\\Data\\Application Data\\{R}\\", 0, "C:\\Data\\Application Data\\~0\\"},
        {"C:\\Data\\Application Data\\{R}\\", 12, "C:\\Data\\Application Data\\~12\\"},
        {"C:\\Data\\{R}", 1, "C:\\Data\\~1\\"},
    };
    for (const Case& k : cases) EXPECT_EQ(RetiredCacheFolder(k.cache, k.n), k.retired) << k.cache;
}

TEST(ProductRegistrationValues, ManagedValuesSkipWhatIsUnknown) {
    const std::string setup = "C:\\Application Data\\{R}\\Setup.exe";
    const std::string quiet = "\"C:\\Application Data\\{R}\\Setup.exe\" REMOVE=TRUE MODIFY=FALSE /s";
    using Values = std::vector<std::pair<std::string, std::string>>;
    struct Case {
        std::string version, location;
        Values expected;
    } cases[] = {
        {"1.2.3", "C:\\Program Files\\My App\\",
         {{"QuietUninstallString", quiet}, {"DisplayVersion", "1.2.3"}, {"InstallLocation", "C:\\Program Files\\My App\\"}}},
        {"", "C:\\App\\", {{"QuietUninstallString", quiet}, {"InstallLocation", "C:\\App\\"}}},
        {"", "", {{"QuietUninstallString", quiet}}},
    };
    for (const Case& k : cases) EXPECT_EQ(ManagedUninstallValues(setup, k.version, k.location), k.expected) << k.version;
    // The quiet command is the registered one plus " /s", nothing else.
    auto entry = UninstallEntryValues(setup, "T", SetupScript{});
    EXPECT_EQ(entry[2].second + " /s", quiet);
}

TEST(ProductRegistrationValues, EstimatedSizeRoundsUpToKilobytes) {
    struct Case {
        std::int64_t bytes;
        std::uint32_t kb;
    } cases[] = {
        {0, 0}, {-5, 0}, {1, 1}, {1024, 1}, {1025, 2}, {10 * 1024 * 1024, 10240},
        {0xFFFFFFFFLL * 1024, 0xFFFFFFFFu}, {0xFFFFFFFFLL * 1024 + 1, 0xFFFFFFFFu}, {INT64_MAX, 0xFFFFFFFFu},
    };
    for (const Case& k : cases) EXPECT_EQ(EstimatedSizeKb(k.bytes), k.kb) << k.bytes;
}
