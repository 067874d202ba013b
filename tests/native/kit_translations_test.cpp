// The kit's translations: a project's languages, dialog and command texts
// and message lines written as the translation tables the stub reads.
#include "translations.h"

#include <algorithm>
#include <map>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "kit_error.h"
#include "project.h"
#include "wizard/message_table.h"
#include "wizard/translation_tables.h"

using namespace qv;
using namespace qv::kit;
using nlohmann::json;

namespace {

const char* kCommands = R"([
    {"command": "Set Variable", "params": ["GREETING", "Hello"], "id": "{00000000-0000-4000-8000-000000000001}",
     "translations": {"German": ["Hallo"], "French": ["Bonjour"]}},
    {"command": "Comment"},
    {"command": "If", "params": ["A", "0", "b"], "id": "{00000000-0000-4000-8000-000000000002}",
     "translations": {"German": ["A", "bé"], "French": ["A", "b"]}}
])";

std::string Project(const std::string& translations, const std::string& title = "Demo",
                    const std::string& script = kCommands) {
    return R"({"setup": "Setup", "product": {"title": ")" + title + R"("}, "script": )" + script +
           R"(, "translations": )" + translations + "}";
}

KitProject Map(const std::string& text) { return ProjectFromJson(json::parse(text), "/projects/demo"); }

std::map<std::string, std::string> Files(const KitProject& p) {
    std::map<std::string, std::string> files;
    for (auto& [name, bytes] : TranslationFiles(p.translations)) files[name] = bytes;
    return files;
}

}  // namespace

TEST(KitTranslations, TablesThatTheStubLooksUpAsWritten) {
    KitProject p = Map(Project(R"({
        "languages": ["German", "French"],
        "dialogs": [
            {"dialog": "Welcome.dfm", "control": "Welcome.dfm", "texts": {"German": "Willkommen", "French": "Bienvenue"}},
            {"dialog": "Welcome.dfm", "control": "Label1", "texts": {"German": "Grüße™", "French": "Salut"}}
        ],
        "messages": {"German": {"20": "Laufzeitfehler:", "89": "Sprache"}}
    })"));
    auto files = Files(p);
    EXPECT_EQ(files.size(), 5u);  // Map, keys, two Texts, one shared message file
    ASSERT_TRUE(files.count("Demo.mtx"));
    TranslationTables german(files["translations.Map"], files["Demo.mtx"], files["translations.German"]);
    TranslationTables french(files["translations.Map"], files["Demo.mtx"], files["translations.French"]);
    EXPECT_EQ(german.DialogText("Welcome.dfm", "Welcome.dfm"), "Willkommen");
    EXPECT_EQ(german.DialogText("welcome.dfm", "LABEL1"), "Gr\xfc\xdf\x65\x99");
    EXPECT_EQ(french.DialogText("Welcome.dfm", "Label1"), "Salut");
    EXPECT_EQ(german.CommandText("{00000000-0000-4000-8000-000000000001}", 1), "Hallo");
    EXPECT_EQ(french.CommandText("{00000000-0000-4000-8000-000000000002}", 2), "b");
    EXPECT_EQ(german.CommandText("{00000000-0000-4000-8000-000000000002}", 2), "b\xe9");

    // The shared file: the project's lines over the English texts, 115 lines.
    LoadMessageText(files["shared.translations.German"]);
    EXPECT_EQ(MessageText(Msg::RuntimeErrorInScript), "Laufzeitfehler:");
    EXPECT_EQ(MessageText(Msg::SelectLanguageCaption), "Sprache");
    EXPECT_EQ(MessageText(Msg::SelectLanguageText), "Please select the language to use during the installation:");
    EXPECT_EQ(MessageText(Msg::EntireFeatureUnavailable), "Entire feature will be &unavailable");
    ResetMessagesForTest();
    std::string shared = files["shared.translations.German"];
    EXPECT_EQ(std::count(shared.begin(), shared.end(), '\n'), kMessageFileLines);
}

TEST(KitTranslations, AProjectWithoutTranslationsMakesNoTables) {
    KitProject p = Map(R"({"setup": "Setup", "script": [{"command": "Comment"}]})");
    EXPECT_TRUE(p.translations.empty());
    // Languages alone: empty tables, so the stub still offers them.
    p = Map(Project(R"({"languages": ["German"]})", "Demo", "[]"));
    auto files = Files(p);
    EXPECT_EQ(files["translations.German"], "");
    EXPECT_EQ(files["Demo.mtx"], "");
}

TEST(KitTranslations, MistakesAreNamed) {
    struct Case {
        std::string project;
        const char* message;
    } cases[] = {
        {Project(R"({"languages": ["German"]})"), "command 1 (Set Variable): \"French\" is not one of"},
        {Project(R"({"languages": ["German", "French", "Dutch"]})"), "the text for \"Dutch\" is missing"},
        {Project(R"({})"), "need the \"languages\" they are written in"},
        {Project(R"({"languages": ["German", "German", "French"]})"), "a language is named twice"},
        {Project(R"({"languages": ["Ger.man"]})", "Demo", "[]"), "cannot end a file name"},
        {Project(R"({"languages": ["sharedGerman"]})", "Demo", "[]"), "names a file the setup does not offer"},
        {Project(R"({"languages": ["map"]})", "Demo", "[]"), "names a file the setup does not offer"},
        {Project(R"({"languages": ["Français"]})", "Demo", "[]"), "must be written in ASCII"},
        {Project(R"({"languages": ["German"]})", "A/B", "[]"), "the product \"title\" names the translation keys"},
        {Project(R"({"languages": ["German"], "messages": {"German": {"95": "x"}}})", "Demo", "[]"),
         "\"95\" is not the line of a message"},
        {Project(R"({"languages": ["German"], "messages": {"German": {"020": "x"}}})", "Demo", "[]"),
         "\"020\" is not the line of a message"},
        {Project(R"({"languages": ["German"], "messages": {"French": "fr.txt"}})", "Demo", "[]"),
         "\"messages\" of \"French\", which is not one of"},
        {Project(R"({"languages": ["German"], "dialogs": [{"dialog": "W.dfm", "control": "L", "texts": {"German": "a\nb"}}]})",
                 "Demo", "[]"),
         "holds a line break"},
        {Project(R"({"languages": ["German"], "dialogs": [{"dialog": "W.dfm", "texts": {"German": "a"}}]})", "Demo", "[]"),
         "\"dialog\" and \"control\" are required"},
        {Project(R"({"languages": ["German"], "dialogs": [{"dialog": "W.dfm", "control": "L", "text": {}}]})", "Demo", "[]"),
         "dialog text 1"},
        {Project(R"({"languages": ["German", "French"]})", "Demo",
                 R"([{"command": "If", "translations": {"German": ["a", "b"], "French": ["a"]}}])"),
         "every language needs the same number of translated texts"},
        {Project(R"({"languages": ["German"]})", "Demo", R"([{"command": "If", "translations": {"German": "a"}}])"),
         "must be a list of texts"},
    };
    for (const auto& c : cases) {
        try {
            Map(c.project);
            ADD_FAILURE() << "accepted: " << c.project;
        } catch (const KitError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}
