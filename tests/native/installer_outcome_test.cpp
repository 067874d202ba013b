#include "installer/installer_outcome.h"

#include <gtest/gtest.h>

#include <set>

#include "installer/language_codes.h"
#include "installer/reserved_properties.h"

using namespace qv;

TEST(InstallerOutcome, ResultCodesMapToSuccessRestartOrFailure) {
    struct Case {
        std::uint32_t code;
        bool failed, reboot;
        const char* text;
    };
    const Case cases[] = {
        {0, false, false, ""},
        {3010, false, true, ""},
        {1641, false, true, ""},
        {1603, true, false, "Fatal error during installation"},
        {1602, true, false, "User cancelled installation"},
    };
    auto systemText = [](std::uint32_t code) -> std::string {
        if (code == 1603) return "Fatal error during installation.\r\n";
        if (code == 1602) return "User cancelled installation. \r\n";
        return "unexpected";
    };
    for (const Case& c : cases) {
        InstallerRunResult r;
        RecordInstallerResult(r, c.code, systemText);
        EXPECT_EQ(r.failed, c.failed) << c.code;
        EXPECT_EQ(r.reboot, c.reboot) << c.code;
        EXPECT_EQ(r.errorText, c.text) << c.code;
    }
}

TEST(InstallerOutcome, RemovalLearnsOfARestartFromTheSessionsRunModes) {
    auto systemText = [](std::uint32_t) { return std::string("Failed.\r\n"); };
    struct Case {
        std::uint32_t code;
        bool atEnd, now;
        bool failed, reboot;
    };
    const Case cases[] = {
        {0, false, false, false, false}, {0, true, false, false, true}, {0, false, true, false, true},
        {1603, true, true, true, false}, {3010, false, false, false, true},
    };
    for (const Case& c : cases) {
        InstallerRunResult r;
        RecordRemovalResult(r, c.code, c.atEnd, c.now, systemText);
        EXPECT_EQ(r.failed, c.failed) << c.code << c.atEnd << c.now;
        EXPECT_EQ(r.reboot, c.reboot) << c.code << c.atEnd << c.now;
    }
}

TEST(InstallerOutcome, SystemTextsLoseTrailingBlanksControlsAndFullStops) {
    const std::pair<const char*, const char*> cases[] = {
        {"Access is denied.\r\n", "Access is denied"},
        {"v1.2. .. \t", "v1.2"},
        {"...", ""},
        {"", ""},
        {"kept", "kept"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(TrimSystemMessage(in), out) << in;
}

TEST(InstallerOutcome, AFailedRunAlwaysCarriesAText) {
    struct Case {
        bool failed;
        const char* own;
        const char* lastInstallerError;
        const char* expected;
    };
    const Case cases[] = {
        {true, "", "Disk full.", "Disk full"},
        {true, "", "Error 1310. Cannot write.", "Error 1310. Cannot write."},  // first stop is not the last
        {true, "", "", "General setup failure"},
        {true, "", ".", ""},
        {true, "Access is denied", "Disk full.", "Access is denied"},
        {false, "", "Disk full.", ""},
    };
    for (const Case& c : cases) {
        InstallerRunResult r;
        r.failed = c.failed;
        r.errorText = c.own;
        CompleteFailureText(r, c.lastInstallerError, "General setup failure");
        EXPECT_EQ(r.errorText, c.expected) << c.lastInstallerError;
    }
}

TEST(InstallerOutcome, CancelWinsThenFailureThenRestart) {
    struct Case {
        bool cancelled, failed, reboot;
        InstallerOutcome outcome;
        const char* text;
    };
    const Case cases[] = {
        {false, false, false, InstallerOutcome::Complete, "COMPLETE"},
        {false, false, true, InstallerOutcome::Reboot, "REBOOT"},
        {false, true, true, InstallerOutcome::Failed, "ERROR"},
        {true, true, true, InstallerOutcome::Cancelled, "CANCEL"},
        {true, false, false, InstallerOutcome::Cancelled, "CANCEL"},
    };
    for (const Case& c : cases) {
        InstallerRunResult r;
        r.failed = c.failed;
        r.reboot = c.reboot;
        InstallerOutcome o = RunOutcome(c.cancelled, r);
        EXPECT_EQ(o, c.outcome);
        EXPECT_STREQ(OutcomeText(o), c.text);
    }
    EXPECT_EQ(static_cast<int>(InstallerOutcome::Failed), -1);
    EXPECT_EQ(static_cast<int>(InstallerOutcome::Reboot), 2);
}

TEST(ProductLanguage, NamesMapToLanguageIdentifiers) {
    const std::pair<const char*, const char*> cases[] = {
        {"GERMAN", "1031"},
        {"german", "1031"},
        {"Chinese (PRC)", "2052"},
        {"CHINESE (TAIWAN)", "1028"},
        {"SPANISH", "3082"},
        {"PORTUGESE (PORTUGAL)", "2070"},
        {"BASQUE", "1069"},
        {"PORTUGUESE (BRAZIL)", "1033"},  // only the translation files' spelling is known
        {"KLINGON", "1033"},
        {"", "1033"},
    };
    for (const auto& [name, code] : cases) EXPECT_EQ(ProductLanguageCode(name), code) << name;
}

TEST(ReservedProperties, TheListAndItsMatching) {
    const auto& names = ReservedPropertyNames();
    EXPECT_EQ(names.size(), 186u);
    std::multiset<std::string_view> counted(names.begin(), names.end());
    std::set<std::string_view> twice;
    for (std::string_view n : names)
        if (counted.count(n) > 1) twice.insert(n);
    EXPECT_EQ(twice, (std::set<std::string_view>{"ORIGINALDATABASE", "VERSIONMSI"}));
    for (const char* name : {"ALLUSERS", "sourcedir", "MEDIASOURCEDIR", "Date", "SUPPORTDIR", "REDIRECTEDDLLSUPORT"})
        EXPECT_TRUE(IsReservedPropertyName(name)) << name;
    for (const char* name : {"TITLE", "SILENT", "CMDLINE", "SRCDIREX", "REDIRECTEDDLLSUPPORT", "TARGETDIR", ""})
        EXPECT_FALSE(IsReservedPropertyName(name)) << name;
}
