#include "wizard/toolkit/layout.h"

#include <algorithm>
#include <cstdint>

#include "common/text.h"

namespace qv::toolkit {

int ScaleToScreen(int value, int formPixelsPerInch, int screenPixelsPerInch) {
    if (formPixelsPerInch <= 0 || formPixelsPerInch == screenPixelsPerInch) return value;
    std::int64_t product = std::int64_t(value) * screenPixelsPerInch;
    std::int64_t half = formPixelsPerInch / 2;
    std::int64_t scaled = product >= 0 ? (product + half) / formPixelsPerInch : (product - half) / formPixelsPerInch;
    return int(scaled);
}

bool operator==(const Rect& a, const Rect& b) {
    return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}

Align ParseAlign(std::string_view identifier) {
    const struct {
        const char* name;
        Align align;
    } names[] = {{"alTop", Align::Top},     {"alBottom", Align::Bottom}, {"alLeft", Align::Left},
                 {"alRight", Align::Right}, {"alClient", Align::Client}};
    for (const auto& n : names)
        if (EqualsIgnoreCaseAscii(n.name, identifier)) return n.align;
    return Align::None;
}

std::vector<Rect> ArrangeAligned(const Rect& client, const std::vector<Align>& aligns, std::vector<Rect> rects) {
    Rect left = client;
    const Align order[] = {Align::Top, Align::Bottom, Align::Left, Align::Right, Align::Client};
    for (Align kind : order) {
        for (std::size_t i = 0; i < rects.size() && i < aligns.size(); ++i) {
            if (aligns[i] != kind) continue;
            Rect& r = rects[i];
            switch (kind) {
            case Align::Top:
                r = {left.left, left.top, left.width, std::min(r.height, left.height)};
                left.top += r.height, left.height -= r.height;
                break;
            case Align::Bottom:
                r = {left.left, left.top + left.height - std::min(r.height, left.height), left.width,
                     std::min(r.height, left.height)};
                left.height -= r.height;
                break;
            case Align::Left:
                r = {left.left, left.top, std::min(r.width, left.width), left.height};
                left.left += r.width, left.width -= r.width;
                break;
            case Align::Right:
                r = {left.left + left.width - std::min(r.width, left.width), left.top, std::min(r.width, left.width),
                     left.height};
                left.width -= r.width;
                break;
            case Align::Client: r = left; break;
            case Align::None: break;
            }
        }
    }
    return rects;
}

TextAlignment ParseTextAlignment(std::string_view identifier) {
    if (EqualsIgnoreCaseAscii(identifier, "taRightJustify")) return TextAlignment::Right;
    if (EqualsIgnoreCaseAscii(identifier, "taCenter")) return TextAlignment::Center;
    return TextAlignment::Left;
}

}  // namespace qv::toolkit
