// Where controls go on screen: positions and sizes in the dialog file are in
// the pixels of the form's PixelsPerInch and are scaled to the screen's, and
// aligned controls fill the edges of their parent in the toolkit's order.
#pragma once

#include <string_view>
#include <vector>

namespace qv::toolkit {

// value × screen ÷ form, rounded half away from zero (as MulDiv rounds).
int ScaleToScreen(int value, int formPixelsPerInch, int screenPixelsPerInch);

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
};
bool operator==(const Rect& a, const Rect& b);

enum class Align { None, Top, Bottom, Left, Right, Client };
// "alTop" and so on; alNone, alCustom and anything else give None.
Align ParseAlign(std::string_view identifier);

// The rectangles of a container's children: aligned children are placed, in
// the order top, bottom, left, right, client (each kind in child order),
// within what the earlier ones left of `client` (sizes never below 0); the
// others keep their rectangle.
std::vector<Rect> ArrangeAligned(const Rect& client, const std::vector<Align>& aligns, std::vector<Rect> rects);

enum class TextAlignment { Left, Right, Center };
// "taLeftJustify", "taRightJustify", "taCenter".
TextAlignment ParseTextAlignment(std::string_view identifier);

}  // namespace qv::toolkit
