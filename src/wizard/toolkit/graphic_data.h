// The binary properties of dialog files that hold pictures and tree nodes.
//
//   Picture.Data        short string class name, then the graphic's own data;
//                       for "TBitmap": 32-bit size, then a bitmap file
//   Glyph.Data,         32-bit size, then a bitmap file (no class name)
//   Bitmaps.Up.Data …
//   Items.Data          (tree view) 32-bit count of top-level nodes, then per
//                       node: 32-bit size of its record, the record (image,
//                       selected, state and overlay index, 4-byte data, child
//                       count: 32 bits each, then the text as a short string),
//                       then its children the same way
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qv::toolkit {

// A bitmap checked so that the window layer can hand it to the system: the
// packed DIB (header, colour table, pixels) of a bitmap file.
struct Bitmap {
    std::string dib;          // BITMAPINFOHEADER onwards
    std::size_t bitsOffset;   // where the pixels start within dib
    int width, height;        // height positive (bottom-up) or the absolute value
};

// Throws FormError naming `what` for data that is not such a bitmap. An
// empty text means no picture and answers an empty Bitmap (width 0).
Bitmap ReadBitmapFile(std::string_view file, std::string_view what);
// Picture.Data: only TBitmap pictures are shown; other graphic classes
// answer an empty Bitmap.
Bitmap ReadPictureData(std::string_view data, std::string_view what);
// Glyph.Data and the Bitmaps.*.Data of bitmap buttons.
Bitmap ReadBitmapData(std::string_view data, std::string_view what);
// The Picture.Data of a TBitmap picture for a bitmap file, as the toolkit
// writes it (for dialogs made in tests and by the kit).
std::string PictureDataOf(std::string_view bitmapFile);

struct TreeNodeData {
    std::string text;  // 8-bit text
    std::int32_t imageIndex = -1, selectedIndex = -1, stateIndex = -1, overlayIndex = -1;
    std::vector<TreeNodeData> children;
};

// Throws FormError for data that ends early, counts more nodes than it
// holds, or nests deeper than the form format allows.
std::vector<TreeNodeData> ReadTreeNodes(std::string_view data);
std::string WriteTreeNodes(const std::vector<TreeNodeData>& nodes);

}  // namespace qv::toolkit
