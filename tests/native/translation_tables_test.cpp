// The translation tables and their lookups, the system language names, the
// choice of candidates and the preselection of the language form, and the
// translation of a dialog's form tree.
#include "wizard/translation_tables.h"

#include <gtest/gtest.h>

#include "common/errors.h"
#include "wizard/form_properties.h"
#include "wizard/language_names.h"
#include "wizard/language_selection.h"
#include "wizard/translation_form.h"

using namespace qv;

namespace {

// Line i of the three files belongs together. Lines 0-2 serve dialogs, line
// 3 a command with two texts, line 5 a command with one.
const char* kMap = "Welcome.dfm\r\nWelcome.dfm\r\nLicense.dfm\r\n\r\n\r\n\r\n";
const char* kKeys = "Label1\r\nWelcome.dfm\r\nlabel1\r\n{CMD-A}\r\n\r\n{cmd-b}\r\n";
const char* kTexts = "Willkommen\r\nBegruessung\r\nLizenz\r\nerster\r\nzweiter\r\nnur einer\r\n";

}  // namespace

TEST(TranslationTables, DialogLookups) {
    TranslationTables t(kMap, kKeys, kTexts);
    struct Case {
        const char* key;
        const char* control;
        std::optional<std::string> text;
    } cases[] = {
        {"Welcome.dfm", "Label1", "Willkommen"},
        {"WELCOME.DFM", "LABEL1", "Willkommen"},   // both compared without letter case
        {"Welcome.dfm", "Welcome.dfm", "Begruessung"},  // the page's caption entry
        {"License.dfm", "Label1", "Lizenz"},
        {"License.dfm", "Label2", std::nullopt},
        {"Other.dfm", "Label1", std::nullopt},      // the control name alone does not match
        {"Welcome.dfm", "{CMD-A}", std::nullopt},   // a command's line is no dialog's
    };
    for (const auto& c : cases) EXPECT_EQ(t.DialogText(c.key, c.control), c.text) << c.key << " " << c.control;
}

TEST(TranslationTables, CommandLookupsTakeTheIdentifiersLineAndTheNext) {
    TranslationTables t(kMap, kKeys, kTexts);
    EXPECT_EQ(t.CommandText("{CMD-A}", 1), "erster");
    EXPECT_EQ(t.CommandText("{cmd-a}", 2), "zweiter");
    EXPECT_EQ(t.CommandText("{CMD-B}", 1), "nur einer");
    EXPECT_EQ(t.CommandText("{CMD-C}", 1), std::nullopt);
    // The map plays no part: a control name equal to an identifier answers.
    EXPECT_EQ(t.CommandText("Label1", 1), "Willkommen");
    // The second text of the last entry lies past the end of the Texts.
    EXPECT_THROW(t.CommandText("{CMD-B}", 2), ListIndexError);
}

TEST(TranslationTables, ShortTablesFailOnlyWhereALookupReachesPastTheirEnd) {
    // Keys end after line 1, Texts after line 0; the Map goes on.
    TranslationTables t("A.dfm\r\nA.dfm\r\nB.dfm\r\n", "Label1\r\nLabel2\r\n", "eins\r\n");
    EXPECT_EQ(t.DialogText("A.dfm", "Label1"), "eins");
    EXPECT_THROW(t.DialogText("A.dfm", "Label2"), ListIndexError);  // Texts line 1 is missing
    EXPECT_THROW(t.DialogText("B.dfm", "x"), ListIndexError);       // Keys line 2 is missing
    EXPECT_EQ(t.DialogText("C.dfm", "x"), std::nullopt);            // no Map line matches: no read
}

TEST(TranslationTables, EmptyAndDamagedInput) {
    TranslationTables empty;
    EXPECT_EQ(empty.DialogText("A.dfm", "Label1"), std::nullopt);
    EXPECT_EQ(empty.CommandText("{X}", 1), std::nullopt);
    // Mixed line ends, no final line end, bytes of any value.
    TranslationTables mixed("A.dfm\nB.dfm\rC.dfm", "x\r\ny\nz", std::string("1\n\x99\xff\x00\n3", 7));
    EXPECT_EQ(mixed.DialogText("B.dfm", "y"), std::string("\x99\xff\x00", 3));
    EXPECT_EQ(mixed.DialogText("C.dfm", "z"), "3");
    EXPECT_THROW(mixed.CommandText("x", 0), ListIndexError);
    EXPECT_THROW(mixed.CommandText("z", 5), ListIndexError);
}

TEST(TranslationTables, FallBacks) {
    TranslationTables t(kMap, kKeys, kTexts);
    SavedTexts saved;
    saved.Add("label2", "design text");
    saved.Add("LABEL2", "a later save");
    EXPECT_EQ(TranslateDialogText(t, "Welcome.dfm", "Label1", saved), "Willkommen");
    EXPECT_EQ(TranslateDialogText(t, "Welcome.dfm", "Label2", saved), "design text");
    EXPECT_EQ(TranslateDialogText(t, "Welcome.dfm", "Label3", saved), "");
    EXPECT_EQ(TranslateCommandText(t, "default", "{CMD-A}", 2), "zweiter");
    EXPECT_EQ(TranslateCommandText(t, "default", "{CMD-C}", 1), "default");
}

TEST(LanguageNames, TableAndLocaleValues) {
    struct Case {
        unsigned id;
        const char* name;
    } cases[] = {{1031, "German"},  {1033, "English"}, {3082, "Spanish"}, {2052, "Chinese (PRC)"},
                 {1046, "Portugese (Brazil)"}, {2070, "Portugese (Portugal)"}, {1069, "Basque"},
                 {1034, ""},       {2057, ""},        {0, ""}};
    for (const auto& c : cases) EXPECT_EQ(LanguageName(c.id), c.name) << c.id;

    struct Text {
        const char* value;
        const char* name;
    } texts[] = {{"0407", "German"}, {"0c0a", "Spanish"}, {"0816", "Portugese (Portugal)"}, {" 040C", "French"},
                 {"", ""},          {"zz", ""},          {"FFFFFFFF", ""},                 {"1031", ""}};
    for (const auto& t : texts) EXPECT_EQ(LanguageNameOfLocaleValue(t.value), t.name) << t.value;
}

TEST(LanguageSelection, CandidatesDropTheMapAndSharedFiles) {
    const std::string ws = "C:\\Temp\\zor1\\";
    std::vector<std::string> found = {ws + "translations.French", ws + "translations.german", ws + "TRANSLATIONS.MAP",
                                      ws + "translations.shared", ws + "translations.Shared"};
    LanguageCandidates c = SelectCandidates(found, ws, "German");
    EXPECT_EQ(c.paths, (std::vector<std::string>{ws + "translations.French", ws + "translations.german",
                                                 ws + "translations.Shared"}));
    EXPECT_EQ(c.defaultLanguage, "German");  // as the package writes it
    EXPECT_EQ(SelectCandidates(found, ws, "English").defaultLanguage, "");
    EXPECT_EQ(CandidateLanguage(ws + "translations.Chinese (PRC)"), "Chinese (PRC)");
    EXPECT_EQ(CandidateLanguage(ws + "translations.a.b"), "b");
}

TEST(LanguageSelection, Preselection) {
    const std::vector<std::string> items = {"French", "German", "Italian"};
    struct Case {
        const char* defaultLanguage;
        const char* user;
        std::size_t selected;
    } cases[] = {
        {"German", "English", 1},  // the default when the user's language is not offered
        {"German", "French", 0},   // the user's language wins, even above the default
        {"german", "", 1},         // the default compares without letter case
        {"Spanish", "Dutch", 0},   // neither: the first item
        {"German", "italian", 1},  // the user's language compares exactly
        {"Italian", "German", 1},  // the search stops at the user's language
    };
    for (const auto& c : cases)
        EXPECT_EQ(PreselectedLanguage(items, c.defaultLanguage, c.user), c.selected) << c.defaultLanguage << "/" << c.user;
    EXPECT_EQ(PreselectedLanguage({"German", "German"}, "GERMAN", ""), 1u);  // the last default
}

namespace {

FormObject Control(const char* className, const char* name, const char* property, FormValue value) {
    FormObject o;
    o.className = className;
    o.name = name;
    o.properties.push_back({property, std::move(value)});
    return o;
}

}  // namespace

TEST(TranslationForm, TranslatesCaptionsTextsAndItemsOfTheTree) {
    FormObject page;
    page.className = "TPoolTemplate";
    page.name = "Page";
    page.properties.push_back({"Caption", FormValue::Wide("Welcome")});
    FormObject panel = Control("TPanel", "Panel1", "Caption", FormValue::Str("panel"));
    panel.children.push_back(Control("TLabel", "Label1", "Caption", FormValue::Wide("Hello")));
    panel.children.push_back(Control("TButton", "Button1", "Caption", FormValue::Str("&Next")));
    page.children.push_back(panel);
    page.children.push_back(Control("TEdit", "Edit1", "Text", FormValue::Str("$TARGETDIR$")));
    page.children.push_back(
        Control("TComboBox", "Combo1", "Items.Strings", FormValue::ListOf({FormValue::Str("a"), FormValue::Str("b")})));
    page.children.push_back(Control("TLabel", "Label2", "Caption", FormValue::Str("untranslated")));
    page.children.push_back(Control("TCheckListBox", "List1", "Tag", FormValue::Int(1)));

    TranslationTables t("w.dfm\r\nw.dfm\r\nw.dfm\r\nw.dfm\r\nw.dfm\r\nw.dfm\r\nw.dfm\r\nother.dfm\r\n",
                        "Label1\r\nbutton1\r\nEdit1\r\nCombo1\r\nPanel1\r\nW.DFM\r\nList1\r\nLabel2\r\n",
                        "Hallo\r\n&Weiter\r\n$TARGETDIR$\\de\r\nx\r\npanel?\r\nWillkommen\r\nneu\r\nnot this\r\n");
    TranslateFormTree(page, "w.dfm", t);

    EXPECT_EQ(StringProperty(page, "Caption"), "Willkommen");
    EXPECT_EQ(StringProperty(*FindComponent(page, "Label1"), "Caption"), "Hallo");
    EXPECT_EQ(FindProperty(*FindComponent(page, "Label1"), "Caption")->value.kind, FormValueKind::String);
    EXPECT_EQ(StringProperty(*FindComponent(page, "Button1"), "Caption"), "&Weiter");
    EXPECT_EQ(StringProperty(*FindComponent(page, "Edit1"), "Text"), "$TARGETDIR$\\de");  // expanded later
    EXPECT_EQ(StringListProperty(*FindComponent(page, "Combo1"), "Items"), std::vector<std::string>{"x"});
    EXPECT_EQ(StringListProperty(*FindComponent(page, "List1"), "Items"), std::vector<std::string>{"neu"});
    EXPECT_EQ(StringProperty(*FindComponent(page, "Panel1"), "Caption"), "panel");  // panels are not translated
    EXPECT_EQ(StringProperty(*FindComponent(page, "Label2"), "Caption"), "untranslated");
}

TEST(TranslationForm, DesignTextsAndAPageWithoutEntries) {
    FormObject page;
    page.className = "TPoolTemplate";
    page.properties.push_back({"Caption", FormValue::Wide("Welcome")});
    page.children.push_back(
        Control("TListBox", "List1", "Items.Strings", FormValue::ListOf({FormValue::Str("a"), FormValue::Str("b")})));
    page.children.push_back(Control("TRzCheckBox", "Check1", "Caption", FormValue::Wide("I agree")));
    EXPECT_EQ(DialogTextKindOf(page, true), DialogTextKind::Caption);
    EXPECT_EQ(DialogTextKindOf(page.children[0], false), DialogTextKind::Items);
    EXPECT_EQ(DialogTextOf(page.children[0], DialogTextKind::Items), "a\r\nb\r\n");
    EXPECT_EQ(DialogTextOf(page.children[1], DialogTextKind::Caption), "I agree");

    FormObject before = page;
    TranslateFormTree(page, "w.dfm", TranslationTables("x.dfm\r\n", "List1\r\n", "z\r\n"));
    EXPECT_EQ(page, before);
    // A table that ends before the matching line fails and names the line.
    EXPECT_THROW(TranslateFormTree(page, "w.dfm", TranslationTables("w.dfm\r\n", "", "")), ListIndexError);
}
