#include "wizard/toolkit/appearance.h"

#include "common/text.h"
#include "wizard/form_numbers.h"
#include "wizard/form_properties.h"

namespace qv::toolkit {

namespace {

struct NamedColor {
    const char* name;
    bool system;
    std::uint32_t value;  // RGB (red low) or the system colour index
};

const NamedColor kColors[] = {
    {"clBlack", false, 0x000000},       {"clMaroon", false, 0x000080},     {"clGreen", false, 0x008000},
    {"clOlive", false, 0x008080},       {"clNavy", false, 0x800000},       {"clPurple", false, 0x800080},
    {"clTeal", false, 0x808000},        {"clGray", false, 0x808080},       {"clSilver", false, 0xC0C0C0},
    {"clRed", false, 0x0000FF},         {"clLime", false, 0x00FF00},       {"clYellow", false, 0x00FFFF},
    {"clBlue", false, 0xFF0000},        {"clFuchsia", false, 0xFF00FF},    {"clAqua", false, 0xFFFF00},
    {"clWhite", false, 0xFFFFFF},       {"clLtGray", false, 0xC0C0C0},     {"clDkGray", false, 0x808080},
    {"clMoneyGreen", false, 0xC0DCC0},  {"clSkyBlue", false, 0xF0CAA6},    {"clCream", false, 0xF0FBFF},
    {"clMedGray", false, 0xA4A0A0},     {"clScrollBar", true, 0},          {"clBackground", true, 1},
    {"clActiveCaption", true, 2},       {"clInactiveCaption", true, 3},    {"clMenu", true, 4},
    {"clWindow", true, 5},              {"clWindowFrame", true, 6},        {"clMenuText", true, 7},
    {"clWindowText", true, 8},          {"clCaptionText", true, 9},        {"clActiveBorder", true, 10},
    {"clInactiveBorder", true, 11},     {"clAppWorkSpace", true, 12},      {"clHighlight", true, 13},
    {"clHighlightText", true, 14},      {"clBtnFace", true, 15},           {"clBtnShadow", true, 16},
    {"clGrayText", true, 17},           {"clBtnText", true, 18},           {"clInactiveCaptionText", true, 19},
    {"clBtnHighlight", true, 20},       {"cl3DDkShadow", true, 21},        {"cl3DLight", true, 22},
    {"clInfoText", true, 23},           {"clInfoBk", true, 24},            {"clHotLight", true, 26},
    {"clGradientActiveCaption", true, 27}, {"clGradientInactiveCaption", true, 28},
    {"clMenuHighlight", true, 29},      {"clMenuBar", true, 30},
};

const struct {
    const char* name;
    int value;
} kCharsets[] = {
    {"ANSI_CHARSET", 0},      {"DEFAULT_CHARSET", 1},   {"SYMBOL_CHARSET", 2},      {"SHIFTJIS_CHARSET", 128},
    {"HANGEUL_CHARSET", 129}, {"GB2312_CHARSET", 134},  {"CHINESEBIG5_CHARSET", 136}, {"OEM_CHARSET", 255},
    {"JOHAB_CHARSET", 130},   {"HEBREW_CHARSET", 177},  {"ARABIC_CHARSET", 178},    {"GREEK_CHARSET", 161},
    {"TURKISH_CHARSET", 162}, {"VIETNAMESE_CHARSET", 163}, {"THAI_CHARSET", 222},   {"EASTEUROPE_CHARSET", 238},
    {"RUSSIAN_CHARSET", 204}, {"MAC_CHARSET", 77},      {"BALTIC_CHARSET", 186},
};

Color FromInteger(std::int64_t value) {
    auto v = std::uint32_t(value);
    std::uint32_t high = v >> 24;
    if (high == 0x80 || high == 0xFF) return Color::FromSystem(int(v & 0xFF));
    if (v == 0x1FFFFFFF || v == 0x20000000) return {Color::Kind::None, 0, 0};
    return Color::FromRgb(v);
}

[[noreturn]] void Refuse(const FormObject& object, std::string_view name, const std::string& what) {
    throw FormError("property \"" + std::string(name) + "\" of \"" + object.name + "\": " + what);
}

}  // namespace

bool operator==(const Color& a, const Color& b) {
    return a.kind == b.kind && a.rgb == b.rgb && a.systemIndex == b.systemIndex;
}

std::optional<Color> ParseColorText(std::string_view text) {
    for (const NamedColor& c : kColors)
        if (EqualsIgnoreCaseAscii(c.name, text))
            return c.system ? Color::FromSystem(int(c.value)) : Color::FromRgb(c.value);
    if (EqualsIgnoreCaseAscii(text, "clNone") || EqualsIgnoreCaseAscii(text, "clDefault"))
        return Color{Color::Kind::None, 0, 0};
    if (auto number = ParseIntegerText(text)) return FromInteger(*number);
    return std::nullopt;
}

std::optional<Color> ParseColor(const FormValue& value) {
    if (value.kind == FormValueKind::Integer) return FromInteger(value.integer);
    if (value.kind == FormValueKind::Identifier) return ParseColorText(value.text);
    return std::nullopt;
}

Color ReadColor(const FormObject& object, std::string_view name, const Color& parent, const Color& fallback) {
    if (EqualsIgnoreCaseAscii(name, "Color") && BoolProperty(object, "ParentColor", false)) return parent;
    const FormProperty* property = FindProperty(object, name);
    if (!property) return fallback;
    auto color = ParseColor(property->value);
    if (!color) Refuse(object, name, "not a colour");
    return *color;
}

Font ReadFont(const FormObject& object, const Font& parent, int pixelsPerInch) {
    if (BoolProperty(object, "ParentFont", false)) return parent;
    Font font;
    if (const FormProperty* name = FindProperty(object, "Font.Name")) {
        if (!name->value.isString()) Refuse(object, "Font.Name", "not a string");
        font.name = name->value.text;
        font.wideName = name->value.kind != FormValueKind::String;
    } else {
        font.name = "MS Sans Serif";
    }
    if (FindProperty(object, "Font.Height")) {
        font.height = int(IntegerProperty(object, "Font.Height"));
    } else if (FindProperty(object, "Font.Size")) {
        std::int64_t points = IntegerProperty(object, "Font.Size");
        font.height = -int((points * pixelsPerInch + 36) / 72);
    }
    for (const std::string& style : SetMembersProperty(object, "Font.Style")) {
        if (EqualsIgnoreCaseAscii(style, "fsBold")) font.bold = true;
        else if (EqualsIgnoreCaseAscii(style, "fsItalic")) font.italic = true;
        else if (EqualsIgnoreCaseAscii(style, "fsUnderline")) font.underline = true;
        else if (EqualsIgnoreCaseAscii(style, "fsStrikeOut")) font.strikeOut = true;
        else Refuse(object, "Font.Style", "unknown style " + style);
    }
    font.color = ReadColor(object, "Font.Color", parent.color, font.color);
    if (const FormProperty* charset = FindProperty(object, "Font.Charset")) {
        if (charset->value.kind == FormValueKind::Integer) {
            font.charset = int(charset->value.integer & 0xFF);
        } else {
            bool found = false;
            std::string text = IdentifierProperty(object, "Font.Charset");
            for (const auto& c : kCharsets)
                if (EqualsIgnoreCaseAscii(c.name, text)) font.charset = c.value, found = true;
            if (!found) Refuse(object, "Font.Charset", "unknown character set " + text);
        }
    }
    return font;
}

}  // namespace qv::toolkit
