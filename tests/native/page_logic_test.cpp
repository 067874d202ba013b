// The page logic that needs no window: dialog rules, the target folder a
// browse produces, and progress values scaled for a 32-bit progress bar.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>

#include "common/text.h"
#include "wizard/dialog_rules.h"
#include "wizard/progress_state.h"
#include "wizard/target_folder.h"

namespace qv {
namespace {

// Components as name -> property -> text; names found without regard to case.
class FakePage : public RuleTarget {
public:
    std::map<std::string, std::map<std::string, std::string>> props;
    std::set<std::string> refusing;  // "COMP.PROP" that throw on set

    std::optional<std::string> PropertyText(std::string_view c, std::string_view p) const override {
        for (const auto& [name, ps] : props)
            if (EqualsIgnoreCaseAscii(name, c))
                for (const auto& [prop, text] : ps)
                    if (EqualsIgnoreCaseAscii(prop, p)) return text;
        return std::nullopt;
    }
    void SetPropertyText(std::string_view c, std::string_view p, const std::string& text) override {
        if (refusing.count(UpperAscii(c) + "." + UpperAscii(p))) throw std::runtime_error("not a valid value: " + text);
        for (auto& [name, ps] : props)
            if (EqualsIgnoreCaseAscii(name, c))
                for (auto& [prop, value] : ps)
                    if (EqualsIgnoreCaseAscii(prop, p)) value = text;
    }
};

TEST(DialogRules, ParsesBothOperators) {
    auto eq = ParseDialogRule("IF (CheckBox1.Checked = True)  THEN  Button1.Enabled := False; trailing");
    ASSERT_TRUE(eq);
    EXPECT_EQ(eq->component, "CheckBox1");
    EXPECT_EQ(eq->property, "Checked");
    EXPECT_FALSE(eq->notEqual);
    EXPECT_EQ(eq->value, "True");
    EXPECT_EQ(eq->targetComponent, "Button1");
    EXPECT_EQ(eq->targetProperty, "Enabled");
    EXPECT_EQ(eq->targetValue, "False");

    // " <> " anywhere after the lead-in makes it the operator, even inside a value.
    auto ne = ParseDialogRule("IF (Edit1.Text <> Setup.exe)  THEN  Label1.Caption := a = b;");
    ASSERT_TRUE(ne);
    EXPECT_TRUE(ne->notEqual);
    EXPECT_EQ(ne->value, "Setup.exe");
    EXPECT_EQ(ne->targetValue, "a = b");
}

TEST(DialogRules, MalformedItemsAreLeftOut) {
    for (const char* item : {"", "IF (", "IF (CheckBox1.Checked = True) THEN Button1.Enabled := False;",
                             "IF (CheckBox1.Checked = True)  THEN  Button1.Enabled := False",
                             "IF (CheckBox1Checked = True)  THEN  Button1.Enabled := False;"}) {
        SCOPED_TRACE(item);
        EXPECT_FALSE(ParseDialogRule(item));
    }
    auto rules = ParseDialogRules(
        "\"IF (A.B = 1)  THEN  C.D := 2;\",broken,\"IF (E.F <> 3)  THEN  G.H := \"\"x\"\";\"");
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[1].targetValue, "\"x\"");
}

struct RuleCase {
    const char* name;
    const char* rule;
    const char* checked;     // CheckBox1.Checked before
    const char* expectEnabled;  // Button1.Enabled after (starts "True")
};

TEST(DialogRules, Evaluation) {
    const RuleCase cases[] = {
        {"holds", "IF (CheckBox1.Checked = True)  THEN  Button1.Enabled := False;", "True", "False"},
        {"does not undo itself", "IF (CheckBox1.Checked = True)  THEN  Button1.Enabled := False;", "False", "True"},
        {"comparison is case-sensitive", "IF (CheckBox1.Checked = true)  THEN  Button1.Enabled := False;", "True",
         "True"},
        {"names are not", "IF (checkbox1.CHECKED = True)  THEN  BUTTON1.enabled := False;", "True", "False"},
        {"not equal", "IF (CheckBox1.Checked <> True)  THEN  Button1.Enabled := False;", "False", "False"},
        {"missing component reads empty", "IF (Nothing.Checked = )  THEN  Button1.Enabled := False;", "True",
         "False"},
        {"missing target sets nothing", "IF (CheckBox1.Checked = True)  THEN  Nothing.Enabled := False;", "True",
         "True"},
        {"value from another property", "IF (CheckBox1.Checked = Edit1.Text)  THEN  Button1.Enabled := Edit2.Text;",
         "True", "Maybe"},
        {"dotted value that names nothing", "IF (CheckBox1.Checked = 1.5)  THEN  Button1.Enabled := Setup.exe;",
         "1.5", "Setup.exe"},
    };
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(c.name);
        FakePage page;
        page.props = {{"CheckBox1", {{"Checked", c.checked}}},
                      {"Button1", {{"Enabled", "True"}}},
                      {"Edit1", {{"Text", "True"}}},
                      {"Edit2", {{"Text", "Maybe"}}}};
        ApplyRules(ParseDialogRules(std::string("\"") + c.rule + "\""), page);
        EXPECT_EQ(page.props["Button1"]["Enabled"], c.expectEnabled);
    }
}

TEST(DialogRules, RulesRunInOrderAndARefusedValueStopsNoOther) {
    FakePage page;
    page.props = {{"A", {{"V", "1"}}}, {"B", {{"V", "0"}}}, {"C", {{"V", "0"}}}};
    page.refusing = {"B.V"};
    const auto rules = ParseDialogRules(
        "\"IF (A.V = 1)  THEN  B.V := x;\",\"IF (A.V = 1)  THEN  A.V := 2;\",\"IF (A.V = 2)  THEN  C.V := A.V;\"");
    EXPECT_THROW(ApplyRules(rules, page), std::runtime_error);
    EXPECT_EQ(page.props["A"]["V"], "2");
    EXPECT_EQ(page.props["C"]["V"], "2");  // sees the earlier rule's change
}

TEST(TargetFolder, CaptureAndBrowse) {
    const std::set<std::string> existing = {"C:\\", "C:\\Program Files", "C:\\Program Files\\", "D:\\", "D:\\Apps",
                                            "D:\\Apps\\"};
    const FolderExists exists = [&](const std::string& p) { return existing.count(p) > 0; };
    struct Case {
        const char* targetDir;
        const char* tail;
        const char* picked;
        const char* result;
    } cases[] = {
        {"C:\\Program Files\\Acme\\App", "Acme\\App", "D:\\Apps", "D:\\Apps\\Acme\\App"},
        {"C:\\Program Files\\Acme\\App", "Acme\\App", "D:\\Apps\\", "D:\\Apps\\Acme\\App"},
        {"C:\\Program Files\\Acme\\App", "Acme\\App", "c:\\program files", "C:\\Program Files\\Acme\\App"},
        // a prefix that is not a whole folder name is not "inside"
        {"D:\\Apps\\Acme", "Acme", "D:\\App", "D:\\App\\Acme"},
        {"C:\\Program Files", "", "D:\\Apps", "D:\\Apps\\"},
        {"C:\\Program Files\\", "", "C:\\", "C:\\Program Files\\"},
        {"E:\\Nowhere\\App", "Nowhere\\App", "D:\\Apps", "D:\\Apps\\Nowhere\\App"},
        {"", "", "D:\\Apps", "D:\\Apps"},
        {"C:\\Program Files\\Acme\\App", "Acme\\App", "", ""},
        {"relative", "", "D:\\Apps", "D:\\Apps\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.targetDir) + " picking " + c.picked);
        const TargetCapture capture = CaptureTargetFolder(c.targetDir, exists);
        EXPECT_EQ(capture.folder, c.targetDir);
        EXPECT_EQ(capture.tail, c.tail);
        EXPECT_EQ(BrowsedTargetFolder(capture, c.picked), c.result);
    }
}

TEST(ProgressBar, LargeValuesAreScaledBy1024) {
    struct Case {
        std::int64_t min, max, pos;
        ProgressBarValues shown;
    } cases[] = {
        {0, 100, 50, {0, 100, 50}},
        {0, 2147483647, 5, {0, 2147483647, 5}},
        {0, 6000000000, 3000000000, {0, 5859375, 2929687}},
        {2048, 2147483648, 4096, {2, 2097152, 4}},
        {0, INT64_MAX, INT64_MAX, {0, INT32_MAX, INT32_MAX}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.max);
        const ProgressBarValues v = ScaleForProgressBar(c.min, c.max, c.pos);
        EXPECT_EQ(v.minimum, c.shown.minimum);
        EXPECT_EQ(v.maximum, c.shown.maximum);
        EXPECT_EQ(v.position, c.shown.position);
    }
}

}  // namespace
}  // namespace qv
