// The form runtime's portable part: the control classes a page knows, the
// defaults that stand in for properties a dialog file leaves out, colours,
// fonts and layout.
#include <gtest/gtest.h>

#include "wizard/form_properties.h"
#include "wizard/toolkit/appearance.h"
#include "wizard/toolkit/control_classes.h"
#include "wizard/toolkit/layout.h"

using namespace qv;
using namespace qv::toolkit;

namespace {

FormObject Object(const char* className, std::vector<FormProperty> properties = {}) {
    FormObject object;
    object.className = className;
    object.name = "X";
    object.properties = std::move(properties);
    return object;
}

}  // namespace

TEST(ToolkitClassesTest, ThePageKnowsTheThirtySixClassesInRegistrationOrder) {
    const char* expected[] = {
        "TLabel", "TEdit", "TMemo", "TButton", "TRzCheckBox", "TRzRadioButton", "TListBox", "TComboBox",
        "TGroupBox", "TPanel", "TBitBtn", "TSpeedButton", "TMaskEdit", "TImage", "TShape", "TBevel",
        "TStaticText", "TGauge", "TRichEdit", "TTrackBar", "TProgressBar", "TUpDown", "TAnimate",
        "TCheckListBox", "TTreeView", "THTMLViewer", "TFileListBox", "TDirectoryListBox", "TDriveComboBox",
        "TFilterComboBox", "TPTShellTree", "TPTShellList", "TPTShellCombo", "TFlashFrame", "TRzFormShape",
        "TRzBmpButton"};
    const auto& classes = ControlClasses();
    ASSERT_EQ(classes.size(), std::size(expected));
    for (std::size_t i = 0; i < classes.size(); ++i) EXPECT_STREQ(classes[i].name, expected[i]);
}

TEST(ToolkitClassesTest, ClassesAreFoundIgnoringCaseAndMatchedWithInheritance) {
    ASSERT_NE(FindControlClass("tbitbtn"), nullptr);
    EXPECT_EQ(FindControlClass("TBitBtn")->kind, NativeKind::BitButton);
    EXPECT_EQ(FindControlClass("TMaskEdit")->kind, NativeKind::Edit);
    EXPECT_EQ(FindControlClass("THTMLViewer")->kind, NativeKind::Placeholder);
    EXPECT_EQ(FindControlClass("TFlashFrame")->kind, NativeKind::Placeholder);
    EXPECT_EQ(FindControlClass("TRFDesigner"), nullptr);
    EXPECT_TRUE(InheritsFrom("TBitBtn", "TButton"));
    EXPECT_TRUE(InheritsFrom("TButton", "tbutton"));
    EXPECT_FALSE(InheritsFrom("TButton", "TBitBtn"));
    EXPECT_FALSE(InheritsFrom("TSpeedButton", "TButton"));
    // Only group boxes and panels hold controls; painted kinds have no window.
    for (const ControlClass& c : ControlClasses())
        EXPECT_EQ(c.container, c.kind == NativeKind::GroupBox || c.kind == NativeKind::Panel) << c.name;
}

TEST(ToolkitClassesTest, MissingPropertiesTakeTheirClassDefaults) {
    struct Case {
        const char* className;
        const char* property;
        const char* text;
    } cases[] = {
        {"TEdit", "Width", "121"},         {"TEdit", "Height", "21"},          {"TEdit", "Color", "clWindow"},
        {"TEdit", "MaxLength", "0"},       {"TEdit", "Text", ""},              {"TButton", "Width", "75"},
        {"TButton", "Default", "False"},   {"TRzCheckBox", "Checked", "False"}, {"TLabel", "ParentColor", "True"},
        {"TEdit", "ParentColor", "False"}, {"TListBox", "ItemIndex", "-1"},    {"TTrackBar", "Max", "10"},
        {"TProgressBar", "Max", "100"},    {"TGauge", "MaxValue", "100"},      {"TComboBox", "Style", "csDropDown"},
        {"TPanel", "BevelOuter", "bvRaised"}, {"TBevel", "Shape", "bsBox"},    {"TShape", "Brush.Color", "clWhite"},
        {"TFileListBox", "Mask", "*.*"},   {"TLabel", "Visible", "True"},      {"TImage", "Enabled", "True"},
        {"TRzBmpButton", "TabStop", "True"}, {"TSpeedButton", "TabStop", "False"}, {"TMemo", "WordWrap", "True"},
    };
    for (const Case& c : cases) {
        FormObject object = WithClassDefaults(Object(c.className), 0);
        EXPECT_EQ(PropertyText(object, c.property).value_or("(none)"), c.text) << c.className << "." << c.property;
    }
}

TEST(ToolkitClassesTest, StoredValuesWinAndDefaultsKeepTheirKinds) {
    FormObject edit = WithClassDefaults(Object("TEdit", {{"Width", FormValue::Int(50)}}), 4);
    EXPECT_EQ(IntegerProperty(edit, "Width"), 50);
    // A file leaves TabOrder out only for the control's own position.
    EXPECT_EQ(IntegerProperty(edit, "TabOrder"), 4);
    // The defaults answer the property interface like stored values.
    SetPropertyText(edit, "Visible", "false");
    EXPECT_EQ(PropertyText(edit, "Visible"), "False");
    SetPropertyText(edit, "Color", "clRed");
    EXPECT_EQ(PropertyText(edit, "Color"), "clRed");
    EXPECT_THROW(SetPropertyText(edit, "ReadOnly", "Maybe"), FormError);
    EXPECT_THROW(SetPropertyText(edit, "MaxLength", "ten"), FormError);
}

TEST(ToolkitClassesTest, AControlWithAFontOfItsOwnStopsFollowingItsParent) {
    FormObject plain = WithClassDefaults(Object("TLabel"), 0);
    EXPECT_TRUE(BoolProperty(plain, "ParentFont"));
    FormObject bold = WithClassDefaults(Object("TLabel", {{"Font.Style", FormValue::SetOf({"fsBold"})}}), 0);
    EXPECT_FALSE(BoolProperty(bold, "ParentFont"));
    EXPECT_EQ(StringProperty(bold, "Font.Name"), "MS Sans Serif");
    EXPECT_EQ(IntegerProperty(bold, "Font.Height"), -11);
    // An unknown component keeps what it has and gains only the shared defaults.
    FormObject designer = WithClassDefaults(Object("TRFDesigner", {{"Hint", FormValue::Str("x")}}), 0);
    EXPECT_EQ(StringProperty(designer, "Hint"), "x");
    EXPECT_FALSE(FindProperty(designer, "Width"));
}

TEST(ToolkitClassesTest, ThePageDefaultsToTheToolkitsFormAt96PixelsPerInch) {
    FormObject page = WithPageDefaults(Object("TPoolTemplate", {{"Caption", FormValue::Str("Setup")}}));
    EXPECT_EQ(PropertyText(page, "Caption"), "Setup");
    EXPECT_EQ(PropertyText(page, "PixelsPerInch"), "96");
    EXPECT_EQ(PropertyText(page, "Scaled"), "True");
    EXPECT_EQ(PropertyText(page, "Color"), "clBtnFace");
    EXPECT_EQ(PropertyText(page, "Font.Name"), "MS Sans Serif");
}

TEST(ToolkitAppearanceTest, ColoursAreNamedNumberedOrSystemColours) {
    struct Case {
        FormValue value;
        std::optional<Color> color;
    } cases[] = {
        {FormValue::Ident("clBtnFace"), Color::FromSystem(15)},
        {FormValue::Ident("CLWINDOW"), Color::FromSystem(5)},
        {FormValue::Ident("clRed"), Color::FromRgb(0x0000FF)},
        {FormValue::Ident("clNavy"), Color::FromRgb(0x800000)},
        {FormValue::Int(0x00336699), Color::FromRgb(0x336699)},
        {FormValue::Int(std::int64_t(0x8000000F)), Color::FromSystem(15)},
        {FormValue::Int(std::int64_t(0xFF000005)), Color::FromSystem(5)},
        {FormValue::Int(-16777201), Color::FromSystem(15)},  // $FF00000F as a signed 32-bit value
        {FormValue::Ident("clNone"), Color{Color::Kind::None, 0, 0}},
        {FormValue::Ident("clPlaid"), std::nullopt},
        {FormValue::Str("clRed"), std::nullopt},
    };
    for (const Case& c : cases) {
        auto color = ParseColor(c.value);
        ASSERT_EQ(color.has_value(), c.color.has_value()) << FormValueText(c.value);
        if (color) EXPECT_TRUE(*color == *c.color) << FormValueText(c.value);
    }
    EXPECT_TRUE(*ParseColorText("$0000FF00") == Color::FromRgb(0x00FF00));
}

TEST(ToolkitAppearanceTest, FontsFollowTheParentUnlessTheControlHasItsOwn) {
    Font parent;
    parent.name = "Tahoma";
    parent.height = -13;
    Font inherited = ReadFont(WithClassDefaults(Object("TEdit"), 0), parent, 96);
    EXPECT_EQ(inherited.name, "Tahoma");
    EXPECT_EQ(inherited.height, -13);
    Font own = ReadFont(Object("TLabel", {{"ParentFont", FormValue::Bool(false)},
                                          {"Font.Size", FormValue::Int(10)},
                                          {"Font.Style", FormValue::SetOf({"fsBold", "fsUnderline"})},
                                          {"Font.Color", FormValue::Ident("clRed")}}),
                        parent, 96);
    EXPECT_EQ(own.name, "MS Sans Serif");
    EXPECT_EQ(own.height, -13);  // 10 points at 96 pixels per inch
    EXPECT_TRUE(own.bold && own.underline && !own.italic);
    EXPECT_TRUE(own.color == Color::FromRgb(0xFF));
    EXPECT_THROW(ReadFont(Object("TLabel", {{"Font.Style", FormValue::SetOf({"fsShiny"})}}), parent, 96), FormError);
    EXPECT_THROW(ReadFont(Object("TLabel", {{"Font.Charset", FormValue::Ident("KLINGON_CHARSET")}}), parent, 96),
                 FormError);
}

TEST(ToolkitLayoutTest, PositionsScaleFromTheFormsPixelsPerInchRoundingHalvesAway) {
    struct Case {
        int value, form, screen, expected;
    } cases[] = {{21, 96, 144, 32}, {-3, 96, 144, -5}, {10, 96, 96, 10},  {75, 96, 120, 94},
                 {75, 120, 96, 60}, {13, 96, 0, 0},    {13, 0, 144, 13}, {1, 96, 144, 2}};
    for (const Case& c : cases)
        EXPECT_EQ(ScaleToScreen(c.value, c.form, c.screen), c.expected) << c.value << " " << c.form << "→" << c.screen;
}

TEST(ToolkitLayoutTest, AlignedControlsFillTheirParentInTheToolkitsOrder) {
    Rect client = {0, 0, 400, 300};
    // Declared client first: it still takes what the edges leave.
    std::vector<Align> aligns = {Align::Client, Align::Top, Align::Bottom, Align::Left, Align::Right, Align::None};
    std::vector<Rect> rects = {{5, 5, 10, 10}, {0, 0, 50, 40}, {0, 0, 50, 30},
                               {0, 0, 60, 50}, {0, 0, 70, 50}, {7, 8, 9, 10}};
    std::vector<Rect> placed = ArrangeAligned(client, aligns, rects);
    EXPECT_EQ(placed[1], (Rect{0, 0, 400, 40}));
    EXPECT_EQ(placed[2], (Rect{0, 270, 400, 30}));
    EXPECT_EQ(placed[3], (Rect{0, 40, 60, 230}));
    EXPECT_EQ(placed[4], (Rect{330, 40, 70, 230}));
    EXPECT_EQ(placed[0], (Rect{60, 40, 270, 230}));
    EXPECT_EQ(placed[5], (Rect{7, 8, 9, 10}));
    // Edges taller than the parent get what is left, never a negative size.
    std::vector<Rect> tall = ArrangeAligned({0, 0, 100, 50}, {Align::Top, Align::Top},
                                            {{0, 0, 10, 40}, {0, 0, 10, 40}});
    EXPECT_EQ(tall[1], (Rect{0, 40, 100, 10}));
    EXPECT_EQ(ParseAlign("alclient"), Align::Client);
    EXPECT_EQ(ParseAlign("alCustom"), Align::None);
}
