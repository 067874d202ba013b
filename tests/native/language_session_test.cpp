// The session's language through the real engine: the choice at session
// start (default, selection form, silent runs, maintenance with the
// remembered language, presets), the tables and shared message file reloaded
// before every command, and the translated parameters of the commands.
#include "wizard/language_selection.h"

#include <gtest/gtest.h>

#include "common/errors.h"
#include "engine/control_flow.h"
#include "engine/core_commands.h"
#include "engine/script_engine.h"
#include "fake_host.h"
#include "script_builder.h"
#include "wizard/message_table.h"

using namespace qv;
using qv::testing::FakeHost;
using qv::testing::ScriptBuilder;

namespace {

const std::string kWorkspace = "C:\\Temp\\zor1\\";
const std::string kKeys = kWorkspace + "Test Product.mtx";
const std::string kUserCache = "C:\\Users\\me\\Application Data\\{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}\\";
const std::string kMachineCache = "C:\\ProgramData\\Application Data\\{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}\\";

// Lists the fake host's files; the form answers as told and records what it
// was shown.
class FakeLanguageHost : public LanguageHost {
public:
    explicit FakeLanguageHost(FakeHost& files) : files_(files) {}

    std::string userLanguage = "0409";
    std::optional<std::size_t> answer;
    std::vector<std::vector<std::string>> shown;
    std::vector<std::size_t> preselected;

    std::vector<std::string> FindTranslationFiles(const std::string& folder) override {
        std::vector<std::string> found;
        for (const auto& [path, content] : files_.files) {
            if (!EqualsIgnoreCaseAscii(path.substr(0, folder.size()), folder)) continue;
            std::string name = path.substr(folder.size());
            if (name.find('\\') == std::string::npos && EqualsIgnoreCaseAscii(name.substr(0, 13), "translations."))
                found.push_back(path);
        }
        return found;
    }
    std::string UserDefaultLanguageText() override { return userLanguage; }
    std::optional<std::size_t> ShowLanguageForm(const std::vector<std::string>& items, std::size_t selected) override {
        shown.push_back(items);
        preselected.push_back(selected);
        return answer;
    }

private:
    FakeHost& files_;
};

// A script whose first command's texts are translated: command {0} sets
// GREETING, {1} records LANGUAGE, then whatever the test adds.
struct LanguageRun : ::testing::Test {
    FakeHost host;
    FakeLanguageHost languages{host};
    ScriptBuilder builder;
    std::vector<std::string> recorded;

    LanguageRun() {
        host.files[kWorkspace + "Setup.msi"] = "";
        host.files[kWorkspace + "translations.Map"] = "\r\n\r\n\r\nWelcome.dfm\r\n";
        host.files[kKeys] = "{0}\r\n\r\n{5}\r\nLabel1\r\n";
        host.files[kWorkspace + "translations.German"] = "Hallo\r\n\r\nzu kurz\r\nWillkommen\r\n";
        host.files[kWorkspace + "translations.French"] = "Bonjour\r\n\r\ntrop court\r\nBienvenue\r\n";
        builder.Add("Set Variable", {"GREETING", "Hello"}).Add("Record", {"$LANGUAGE$"});
    }
    void TearDown() override { ResetMessagesForTest(); }

    std::vector<std::pair<std::string, std::string>> Run(bool dialog, const std::string& defaultLanguage,
                                                         const std::string& commandLine = "setup.exe") {
        SetupScript script = builder.Build();
        script.languageDialog = dialog;
        script.defaultLanguage = defaultLanguage;
        Trace trace;
        RunContext cx(script, qv::testing::TestStartupValues(commandLine), host, trace);
        cx.languageHost = &languages;
        CommandTable table;
        RegisterCoreCommands(table);
        RegisterControlFlowCommands(table);
        table.Add("Record", [this](RunContext& c, const ScriptCommand& cmd) { recorded.push_back(c.ParamText(cmd, 1)); });
        table.Add("Fail", [](RunContext&, const ScriptCommand&) { throw ScriptError("it broke"); });
        RunScript(cx, table);
        return cx.vars.Snapshot();
    }

    static std::string Var(const std::vector<std::pair<std::string, std::string>>& vars, const std::string& name) {
        for (const auto& [n, v] : vars)
            if (n == name) return v;
        return "<undefined>";
    }
};

}  // namespace

TEST_F(LanguageRun, WithoutTheFormTheDefaultLanguageIsUsedWhenItsTextsExist) {
    struct Case {
        const char* defaultLanguage;
        const char* language;
        const char* greeting;
    } cases[] = {{"German", "German", "Hallo"}, {"french", "french", "Bonjour"}, {"English", "", "Hello"}};
    for (const auto& c : cases) {
        recorded.clear();
        auto vars = Run(false, c.defaultLanguage);
        EXPECT_EQ(Var(vars, "LANGUAGE"), c.language) << c.defaultLanguage;
        EXPECT_EQ(Var(vars, "GREETING"), c.greeting) << c.defaultLanguage;
        EXPECT_EQ(recorded, std::vector<std::string>{c.language});
    }
    EXPECT_TRUE(languages.shown.empty());
}

TEST_F(LanguageRun, NoKeysFileMeansNoLanguage) {
    host.files.erase(kKeys);
    auto vars = Run(true, "German");
    EXPECT_EQ(Var(vars, "LANGUAGE"), "");
    EXPECT_EQ(Var(vars, "GREETING"), "Hello");
    EXPECT_TRUE(languages.shown.empty());
}

TEST_F(LanguageRun, TheFormOffersTheLanguagesAndPreselectsTheUsersOne) {
    host.files[kWorkspace + "shared.translations.German"] = "";
    host.files[kWorkspace + "translations.shared"] = "";
    struct Case {
        const char* user;
        std::size_t preselected;
    } cases[] = {{"0409", 1}, {"040c", 0}, {"0407", 1}};
    for (const auto& c : cases) {
        languages.userLanguage = c.user;
        languages.answer = 0;
        auto vars = Run(true, "German");
        EXPECT_EQ(languages.shown.back(), (std::vector<std::string>{"French", "German"}));
        EXPECT_EQ(languages.preselected.back(), c.preselected) << c.user;
        EXPECT_EQ(Var(vars, "LANGUAGE"), "French");
        EXPECT_EQ(Var(vars, "GREETING"), "Bonjour");
    }
}

TEST_F(LanguageRun, CancellingTheFormEndsTheRunBeforeTheFirstCommand) {
    languages.answer = std::nullopt;
    auto vars = Run(true, "German");
    EXPECT_EQ(languages.shown.size(), 1u);
    EXPECT_TRUE(recorded.empty());
    EXPECT_EQ(Var(vars, "GREETING"), "<undefined>");
}

TEST_F(LanguageRun, SilentRunsShowNoFormAndTakePresets) {
    auto vars = Run(true, "German", "setup.exe /s");
    EXPECT_TRUE(languages.shown.empty());
    EXPECT_EQ(Var(vars, "GREETING"), "Hallo");
    vars = Run(true, "German", "setup.exe /s LANGUAGE=French");
    EXPECT_EQ(Var(vars, "GREETING"), "Bonjour");
    // A preset is applied after the choice, interactive runs included.
    languages.answer = 1;
    vars = Run(true, "German", "setup.exe language=French");
    EXPECT_EQ(Var(vars, "GREETING"), "Bonjour");
}

TEST_F(LanguageRun, MaintenanceTakesTheRememberedLanguageWithoutTheForm) {
    host.installedPackageCode = "{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}";
    languages.answer = 1;
    // Without a remembered language the default stays.
    auto vars = Run(true, "German");
    EXPECT_EQ(Var(vars, "MAINTENANCE"), "TRUE");
    EXPECT_EQ(Var(vars, "LANGUAGE"), "German");

    host.files[kMachineCache + "Setup.lan"] = "French\r\nignored\r\n";
    vars = Run(true, "German");
    EXPECT_EQ(Var(vars, "GREETING"), "Bonjour");

    // The current user's cache when it holds the selection file.
    host.files[kUserCache + "Setup.dat"] = "$\r\n$\r\n\r\n\r\n\r\n";
    host.files[kUserCache + "Setup.lan"] = "German";
    vars = Run(true, "French");
    EXPECT_EQ(Var(vars, "GREETING"), "Hallo");

    // A remembered language without tables is cleared before the first command.
    host.files[kUserCache + "Setup.lan"] = "Klingon\r\n";
    vars = Run(true, "French");
    EXPECT_EQ(Var(vars, "LANGUAGE"), "");
    EXPECT_EQ(Var(vars, "GREETING"), "Hello");
    EXPECT_TRUE(languages.shown.empty());
}

TEST_F(LanguageRun, TheScriptSwitchesTheLanguageForTheNextCommand) {
    builder.Add("Set Variable", {"LANGUAGE", "French"})
        .Add("Set Variable", {"GREETING", "Hello"})  // {3}: no entry of its own
        .Add("Record", {"$LANGUAGE$"})
        .Add("Set Variable", {"LANGUAGE", "Klingon"})
        .Add("Record", {"$LANGUAGE$"});
    host.files[kKeys] = "{0}\r\n\r\n{3}\r\n";
    host.files[kWorkspace + "translations.French"] = "Bonjour\r\n\r\nSalut\r\n";
    auto vars = Run(false, "German");
    EXPECT_EQ(recorded, (std::vector<std::string>{"German", "French", ""}));
    EXPECT_EQ(Var(vars, "GREETING"), "Salut");
    EXPECT_EQ(Var(vars, "LANGUAGE"), "");
}

TEST_F(LanguageRun, TheSharedMessageFileReplacesTheMessagesBeforeEveryCommand) {
    std::string messages;
    for (int line = 1; line <= 20; ++line) messages += (line == 20 ? "Laufzeitfehler:" : "") + std::string("\r\n");
    host.files[kWorkspace + "shared.translations.German"] = messages;
    builder.Add("Fail");
    Run(false, "German");
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0], "Laufzeitfehler:\r\rLine 3: it broke");
    EXPECT_EQ(MessageText(Msg::SelectLanguageCaption), "");  // the short file emptied the rest
}

TEST_F(LanguageRun, ConditionsCompareTranslatedParameters) {
    // {2}: If GREETING equals "Hello" holds in English; in German its texts make
    // it GREETING equals "Hallo".
    builder.Add("If", {"GREETING", "0", "Hello"}).Add("Record", {"same"}).Add("End");
    host.files[kKeys] = "{0}\r\n\r\n{2}\r\n";
    host.files[kWorkspace + "translations.German"] = "Hallo\r\n\r\nGREETING\r\nHallo\r\n";
    Run(false, "German");
    EXPECT_EQ(recorded, (std::vector<std::string>{"German", "same"}));
    recorded.clear();
    Run(false, "English");
    EXPECT_EQ(recorded, (std::vector<std::string>{"", "same"}));
}

TEST_F(LanguageRun, AnAnswerPastTheEndOfTheTextsIsAnErrorOfTheCommand) {
    // {5}'s first text would be Texts line 3 of a two-line file.
    host.files[kWorkspace + "translations.German"] = "Hallo\r\n\r\n";
    builder.Add("Comment").Add("Comment").Add("Comment").Add("Set Variable", {"LATE", "x"});
    Run(false, "German");
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0], "Runtime error in setup script:\r\rLine 6: List index out of bounds (2)");
}

TEST_F(LanguageRun, TheCommandLookupForMessageBoxes) {
    SetupScript script = ScriptBuilder().Build();
    Trace trace;
    RunContext cx(script, qv::testing::TestStartupValues(), host, trace);
    cx.translations = TranslationTables("\r\n\r\n", "{7}\r\n\r\n", "Titel\r\nText\r\n");
    cx.vars.Define("LANGUAGE", "", "test");
    EXPECT_EQ(TranslateCommandText(cx, "Caption", "{7}", 1), "Caption");  // no language: no lookup
    cx.vars.Set("LANGUAGE", "German", "test");
    EXPECT_EQ(TranslateCommandText(cx, "Caption", "{7}", 1), "Titel");
    EXPECT_EQ(TranslateCommandText(cx, "Text", "{7}", 2), "Text");
    EXPECT_EQ(TranslateCommandText(cx, "Other", "{8}", 1), "Other");
}
