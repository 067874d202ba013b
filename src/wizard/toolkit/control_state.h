// What a control's window needs besides its properties: the GDI objects it
// draws with (owned here) and the state the native control does not keep.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "wizard/toolkit/appearance.h"
#include "wizard/toolkit/graphic_data.h"

namespace qv::toolkit {

template <typename T>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(T object) : object_(object) {}
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    GdiObject(GdiObject&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        reset(std::exchange(other.object_, nullptr));
        return *this;
    }
    ~GdiObject() { reset(); }
    T get() const { return object_; }
    void reset(T object = nullptr) {
        if (object_) ::DeleteObject(object_);
        object_ = object;
    }

private:
    T object_ = nullptr;
};

class ImageList {
public:
    ImageList() = default;
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;
    ~ImageList() { reset(); }
    HIMAGELIST get() const { return list_; }
    void reset(HIMAGELIST list = nullptr) {
        if (list_) ImageList_Destroy(list_);
        list_ = list;
    }

private:
    HIMAGELIST list_ = nullptr;
};

struct ControlState {
    Font font;
    Color color;  // the background the control paints
    GdiObject<HFONT> hfont;
    GdiObject<HBRUSH> brush;
    Bitmap picture;  // Picture of images and form shapes, Glyph of bitmap buttons
    GdiObject<HBITMAP> bitmap;
    GdiObject<HBITMAP> downBitmap;  // bitmap buttons pressed
    ImageList glyphs;
    std::vector<bool> itemChecks;  // check lists
    std::vector<std::string> paths;  // file and shell controls: the path of each item
    bool hot = false;              // the mouse is over a speed or bitmap button
    int id = 0;                    // the child window identifier
    RECT placed = {};              // on screen, relative to the container window
};

}  // namespace qv::toolkit
