// What the page host reads from a dialog file's tree, and the property text
// interface that dialog rules read and write.
#include <functional>

#include <gtest/gtest.h>

#include "form_compiler.h"
#include "wizard/form_properties.h"

using namespace qv;

namespace {

FormObject Page() {
    return kit::ParseFormText(R"(object Page: TPoolTemplate
  Caption = 'Setup'
  Font.Name = 'Tahoma'
  object Panel1: TPanel
    object Edit1: TEdit
      Hint = 'TARGETDIR'
      Tag = 2
      MaxLength = 200
      Text = #233't'#233
    end
    object CheckBox1: TRzCheckBox
      Checked = True
    end
  end
  object ListBox1: TListBox
    Items.Strings = ('One' 'Two')
    Align = alClient
    Font.Style = [fsBold, fsItalic]
  end
  object Memo1: TMemo
    Lines.Strings = ('a' 1)
  end
end
)");
}

// A root holding one property V given in the text form.
FormObject WithValue(const std::string& valueText) { return kit::ParseFormText("object X: TX\n V = " + valueText + "\nend\n"); }

std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const FormError& e) {
        return e.what();
    }
    return "no error";
}

}  // namespace

TEST(FormPropertiesTest, PropertiesAreFoundWithLetterCaseIgnoredAndDottedNamesAsWritten) {
    FormObject page = Page();
    ASSERT_NE(FindProperty(page, "CAPTION"), nullptr);
    EXPECT_EQ(FindProperty(page, "caption")->value.text, "Setup");
    EXPECT_EQ(StringProperty(page, "font.name"), "Tahoma");
    EXPECT_EQ(FindProperty(page, "Font"), nullptr);
    EXPECT_EQ(FindProperty(page, "Name"), nullptr);
}

TEST(FormPropertiesTest, TypedReadsAnswerTheFallbackWhenAbsentAndRefuseOtherKinds) {
    FormObject page = Page();
    const FormObject& edit = *FindComponent(page, "edit1");
    EXPECT_EQ(IntegerProperty(edit, "Tag"), 2);
    EXPECT_EQ(IntegerProperty(edit, "Left", 8), 8);
    EXPECT_EQ(StringProperty(edit, "Hint"), "TARGETDIR");
    EXPECT_EQ(StringProperty(edit, "Text"), "\xC3\xA9t\xC3\xA9");
    EXPECT_EQ(FindProperty(edit, "Text")->value.kind, FormValueKind::WideString);
    EXPECT_TRUE(BoolProperty(*FindComponent(page, "CheckBox1"), "Checked"));
    EXPECT_TRUE(BoolProperty(edit, "Enabled", true));
    const FormObject& list = *FindComponent(page, "ListBox1");
    EXPECT_EQ(IdentifierProperty(list, "Align"), "alClient");
    EXPECT_EQ(SetMembersProperty(list, "Font.Style"), (std::vector<std::string>{"fsBold", "fsItalic"}));
    EXPECT_TRUE(SetMembersProperty(edit, "Font.Style").empty());
    EXPECT_EQ(ErrorOf([&] { IntegerProperty(edit, "Hint"); }),
              "property \"Hint\" of \"Edit1\" is a string, not an integer");
    EXPECT_EQ(ErrorOf([&] { StringProperty(list, "Align"); }),
              "property \"Align\" of \"ListBox1\" is an identifier, not a string");
}

TEST(FormPropertiesTest, StringListsAreFoundByTheirShortName) {
    FormObject page = Page();
    const FormObject& list = *FindComponent(page, "ListBox1");
    EXPECT_EQ(StringListProperty(list, "Items"), (std::vector<std::string>{"One", "Two"}));
    EXPECT_EQ(StringListProperty(list, "items.strings"), (std::vector<std::string>{"One", "Two"}));
    EXPECT_TRUE(StringListProperty(list, "Lines").empty());
    EXPECT_EQ(ErrorOf([&] { StringListProperty(*FindComponent(page, "Memo1"), "Lines"); }),
              "property \"Lines.Strings\" of \"Memo1\" is a list, not a list of strings");
}

TEST(FormPropertiesTest, ComponentsComeInTheOrderOfTheFile) {
    FormObject page = Page();
    std::vector<std::string> names;
    for (const FormObject* component : Components(static_cast<const FormObject&>(page))) names.push_back(component->name);
    EXPECT_EQ(names, (std::vector<std::string>{"Panel1", "Edit1", "CheckBox1", "ListBox1", "Memo1"}));
    EXPECT_EQ(FindComponent(page, "CHECKBOX1")->className, "TRzCheckBox");
    EXPECT_EQ(FindComponent(page, "Page"), nullptr);
    EXPECT_EQ(FindComponent(page, "Missing"), nullptr);
}

TEST(FormPropertiesTest, PropertyTextOfEveryKind) {
    struct Case {
        const char* valueText;
        const char* text;
    } cases[] = {
        {"-42", "-42"},
        {"0.1", "0.1"},
        {"2E20", "2e+20"},
        {"3.0", "3"},
        {"0.1s", "0.1"},
        {"22.5c", "22.5"},
        {"-0.0001c", "-0.0001"},
        {"36526.5d", "36526.5"},
        {"'It''s'", "It's"},
        {"#233", "\xC3\xA9"},
        {"alClient", "alClient"},
        {"True", "True"},
        {"false", "False"},
        {"nil", ""},
        {"[fsBold, fsItalic]", "[fsBold,fsItalic]"},
        {"[]", "[]"},
        {"('one' #233)", "one\r\n\xC3\xA9\r\n"},
        {"()", ""},
        {"(1 'a')", "(\n  1\n  'a')"},
        {"{0AFF}", "{\n  0AFF}"},
        {"<item A = 1 end>", "<\n  item\n    A = 1\n  end>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.valueText);
        EXPECT_EQ(PropertyText(WithValue(c.valueText), "v"), std::optional<std::string>(c.text));
    }
    EXPECT_EQ(PropertyText(WithValue("1"), "Other"), std::nullopt);
}

TEST(FormPropertiesTest, SetPropertyTextKeepsTheKind) {
    struct Case {
        const char* valueText;
        const char* newText;
        const char* result;  // the new value in the text form
    } cases[] = {
        {"1", "-70000", "-70000"},
        {"1", "$FF", "255"},
        {"1.5", "2.25", "2.25"},
        {"1.5", "1e3", "1000.0"},
        {"1.5s", "0.1", "0.1s"},
        {"1.5c", "9.99995", "10.0c"},
        {"1.5d", "2", "2.0d"},
        {"'x'", "It's here", "'It''s here'"},
        {"#233", "\xE2\x82\xAC", "#8364"},
        {"alNone", "alClient", "alClient"},
        {"alNone", "", "nil"},
        {"nil", "Edit1", "Edit1"},
        {"False", "TRUE", "True"},
        {"True", "false", "False"},
        {"[]", "[ fsBold , fsUnderline ]", "[fsBold, fsUnderline]"},
        {"[fsBold]", "[]", "[]"},
        {"('a')", "one\r\ntwo\nthree\r\n", "(\n  'one'\n  'two'\n  'three')"},
        {"(#233)", "\xC3\xA9", "(\n  #233)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.valueText) + " <- " + c.newText);
        FormObject object = WithValue(c.valueText);
        SetPropertyText(object, "V", c.newText);
        ASSERT_EQ(object.properties.size(), 1u);
        EXPECT_EQ(FormValueText(object.properties[0].value), c.result);
    }
}

TEST(FormPropertiesTest, SetPropertyTextRefusesTextThatDoesNotFitAndKeepsTheValue) {
    struct Case {
        const char* valueText;
        const char* newText;
        const char* error;
    } cases[] = {
        {"1", "abc", "'abc' is not a valid integer value"},
        {"1", "99999999999999999999", "'99999999999999999999' is not a valid integer value"},
        {"1.5", "1,5", "'1,5' is not a valid floating point value"},
        {"1.5s", "1e300", "'1e300' is not a valid floating point value"},
        {"1.5c", "1e300", "'1e300' is not a valid currency value"},
        {"True", "yes", "'yes' is not a valid boolean value"},
        {"alNone", "al None", "'al None' is not a valid identifier"},
        {"[]", "fsBold", "'fsBold' is not a valid set value"},
        {"[]", "[fsBold,]", "'[fsBold,]' is not a valid set value"},
        {"#233", "\xFF", "'\xFF' is not a valid UTF-8 text"},
        {"{00}", "01", "property \"V\" of \"X\" is binary data and cannot be set from text"},
        {"<>", "", "property \"V\" of \"X\" is a collection and cannot be set from text"},
        {"(1)", "2", "property \"V\" of \"X\" is a list and cannot be set from text"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.valueText) + " <- " + c.newText);
        FormObject object = WithValue(c.valueText);
        FormObject before = object;
        EXPECT_EQ(ErrorOf([&] { SetPropertyText(object, "v", c.newText); }), c.error);
        EXPECT_TRUE(object == before);
    }
}

TEST(FormPropertiesTest, AbsentPropertiesAreAddedWithTheKindThePageReads) {
    FormObject object = WithValue("1");
    SetPropertyText(object, "Enabled", "False");
    SetPropertyText(object, "TAG", "7");
    SetPropertyText(object, "Caption", "True");
    EXPECT_FALSE(BoolProperty(object, "Enabled", true));
    EXPECT_EQ(IntegerProperty(object, "Tag"), 7);
    EXPECT_EQ(StringProperty(object, "Caption"), "True");
    EXPECT_EQ(object.properties[2].name, "TAG");
    EXPECT_EQ(ErrorOf([&] { SetPropertyText(object, "Width", "wide"); }), "'wide' is not a valid integer value");
    EXPECT_EQ(FindProperty(object, "Width"), nullptr);
    EXPECT_THROW(SetPropertyText(object, "", "x"), FormError);
}

TEST(FormPropertiesTest, TextReadBackSetsTheSameValue) {
    for (const char* valueText : {"-5", "0.1", "1.1s", "12.3456c", "45000.25d", "'a b'", "#1234'x'", "alTop", "True",
                                  "nil", "[a, b]", "('x' 'y')"}) {
        SCOPED_TRACE(valueText);
        FormObject object = WithValue(valueText);
        FormObject before = object;
        SetPropertyText(object, "V", *PropertyText(object, "V"));
        EXPECT_TRUE(object == before) << FormValueText(object.properties[0].value);
    }
}
