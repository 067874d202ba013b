// Colours and fonts of dialog files, read into plain values the window layer
// turns into brushes and fonts.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "wizard/form_file.h"

namespace qv::toolkit {

// A colour as the toolkit stores it: an RGB value (red in the low byte), one
// of the system's colours by index (COLOR_BTNFACE and so on), or "none" (no
// colour: nothing is painted).
struct Color {
    enum class Kind { Rgb, System, None } kind = Kind::Rgb;
    std::uint32_t rgb = 0;
    int systemIndex = 0;
    static Color FromRgb(std::uint32_t rgb) { return {Kind::Rgb, rgb & 0xFFFFFF, 0}; }
    static Color FromSystem(int index) { return {Kind::System, 0, index}; }
};
bool operator==(const Color& a, const Color& b);

// An integer or a colour identifier ("clBtnFace", "clRed"). System colours
// are integers with the high byte $80 (or $FF) and the index in the low
// byte; clNone and clDefault give none. Nothing for other values.
std::optional<Color> ParseColor(const FormValue& value);
std::optional<Color> ParseColorText(std::string_view text);

struct Font {
    std::string name;       // as the file holds it (8-bit or UTF-8 per `wideName`)
    bool wideName = false;
    // In pixels at the form's pixels per inch: negative for the height of the
    // characters, positive for the height of the cell (the toolkit's sign).
    int height = -11;
    bool bold = false, italic = false, underline = false, strikeOut = false;
    Color color = Color::FromSystem(8);  // clWindowText
    int charset = 1;                     // DEFAULT_CHARSET
};

// The font an object shows: its parent's when ParentFont is True, otherwise
// its own Font.* properties over the toolkit's defaults. Font.Size (points)
// stands in for a missing Font.Height. Throws FormError for a Font property
// of the wrong kind or an unknown colour or charset.
Font ReadFont(const FormObject& object, const Font& parent, int pixelsPerInch);

// A colour property of an object, following ParentColor like the toolkit.
Color ReadColor(const FormObject& object, std::string_view name, const Color& parent, const Color& fallback);

}  // namespace qv::toolkit
