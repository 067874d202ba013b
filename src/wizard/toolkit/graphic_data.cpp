#include "wizard/toolkit/graphic_data.h"

#include "wizard/form_file.h"

namespace qv::toolkit {

namespace {

std::uint32_t U32(std::string_view bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
    return v;
}

void PutU32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out += char((v >> (8 * i)) & 0xFF);
}

[[noreturn]] void Bad(std::string_view what, const std::string& why) {
    throw FormError(std::string(what) + " is not a valid bitmap: " + why);
}

// The pixel bytes a bitmap of this size needs (uncompressed rows are padded
// to 32 bits).
std::uint64_t PixelBytes(int width, int height, int bitCount) {
    std::uint64_t row = ((std::uint64_t(width) * bitCount + 31) / 32) * 4;
    return row * std::uint64_t(height);
}

}  // namespace

Bitmap ReadBitmapFile(std::string_view file, std::string_view what) {
    if (file.empty()) return {{}, 0, 0, 0};
    if (file.size() < 14 + 12 || file.substr(0, 2) != "BM") Bad(what, "no bitmap file header");
    std::uint32_t bitsAt = U32(file, 10);
    std::string_view dib = file.substr(14);
    std::uint32_t headerSize = U32(dib, 0);
    if (headerSize < 40 || headerSize > dib.size()) Bad(what, "unsupported bitmap header");
    auto width = std::int32_t(U32(dib, 4));
    auto height = std::int32_t(U32(dib, 8));
    int bitCount = static_cast<unsigned char>(dib[14]) | (static_cast<unsigned char>(dib[15]) << 8);
    std::uint32_t compression = U32(dib, 16);
    if (width <= 0 || height == 0 || height == INT32_MIN || width > 32767 || height > 32767 || height < -32767)
        Bad(what, "bad size");
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        Bad(what, "bad colour depth");
    int rows = height < 0 ? -height : height;
    // The system reads the colour table (and the masks of 16/32-bit bitmaps)
    // right after the header: it must end before the pixels.
    std::uint64_t colours = U32(dib, 32);
    if (colours == 0 && bitCount <= 8) colours = 1u << bitCount;
    if (colours > 256) Bad(what, "bad colour table");
    std::uint64_t tableEnd = 14 + std::uint64_t(headerSize) + colours * 4 + (headerSize == 40 && compression == 3 ? 12 : 0);
    if (bitsAt < tableEnd || bitsAt > file.size()) Bad(what, "pixel data outside the file");
    std::uint64_t available = file.size() - bitsAt;
    // Run-length data is checked by its own size field; plain rows must all be there.
    if (compression == 0 || compression == 3) {
        if (PixelBytes(width, rows, bitCount) > available) Bad(what, "the pixel data is cut off");
    } else if (compression == 1 || compression == 2) {
        if (U32(dib, 20) > available) Bad(what, "the pixel data is cut off");
    } else {
        Bad(what, "unsupported compression");
    }
    Bitmap bitmap;
    bitmap.dib = std::string(dib);
    bitmap.bitsOffset = bitsAt - 14;
    bitmap.width = width;
    bitmap.height = rows;
    return bitmap;
}

Bitmap ReadBitmapData(std::string_view data, std::string_view what) {
    if (data.empty()) return {{}, 0, 0, 0};
    if (data.size() < 4) Bad(what, "the data ends early");
    std::uint32_t size = U32(data, 0);
    if (size > data.size() - 4) Bad(what, "the data ends early");
    return ReadBitmapFile(data.substr(4, size), what);
}

Bitmap ReadPictureData(std::string_view data, std::string_view what) {
    if (data.empty()) return {{}, 0, 0, 0};
    std::size_t length = static_cast<unsigned char>(data[0]);
    if (1 + length > data.size()) Bad(what, "the class name ends early");
    if (data.substr(1, length) != "TBitmap") return {{}, 0, 0, 0};
    return ReadBitmapData(data.substr(1 + length), what);
}

std::string PictureDataOf(std::string_view bitmapFile) {
    std::string out = "\x07TBitmap";
    PutU32(out, std::uint32_t(bitmapFile.size()));
    out += bitmapFile;
    return out;
}

namespace {

class NodeReader {
public:
    explicit NodeReader(std::string_view data) : data_(data) {}

    std::vector<TreeNodeData> Nodes(std::uint32_t count, int depth) {
        if (depth > kMaxFormNesting) Fail("the nodes nest too deep");
        std::vector<TreeNodeData> nodes;
        for (std::uint32_t i = 0; i < count; ++i) {
            std::uint32_t size = Word();
            if (size < 25 || size > Left()) Fail("a node record has a bad size");
            std::size_t start = at_;
            TreeNodeData node;
            node.imageIndex = std::int32_t(Word());
            node.selectedIndex = std::int32_t(Word());
            node.stateIndex = std::int32_t(Word());
            node.overlayIndex = std::int32_t(Word());
            Word();  // the node's data pointer, meaningless in a file
            std::uint32_t children = Word();
            std::size_t length = static_cast<unsigned char>(data_[at_++]);
            if (start + size != at_ + length) Fail("a node's text does not fill its record");
            node.text = std::string(data_.substr(at_, length));
            at_ += length;
            // Each child needs at least a size and a record.
            if (children > Left() / 29) Fail("a node counts more children than the data holds");
            node.children = Nodes(children, depth + 1);
            nodes.push_back(std::move(node));
        }
        return nodes;
    }
    std::uint32_t Word() {
        if (Left() < 4) Fail("the data ends early");
        std::uint32_t v = U32(data_, at_);
        at_ += 4;
        return v;
    }
    std::size_t Left() const { return data_.size() - at_; }

private:
    [[noreturn]] static void Fail(const std::string& why) { throw FormError("tree view nodes: " + why); }
    std::string_view data_;
    std::size_t at_ = 0;
};

void WriteNodes(std::string& out, const std::vector<TreeNodeData>& nodes) {
    for (const TreeNodeData& node : nodes) {
        std::size_t length = node.text.size() > 255 ? 255 : node.text.size();
        PutU32(out, std::uint32_t(25 + length));
        PutU32(out, std::uint32_t(node.imageIndex));
        PutU32(out, std::uint32_t(node.selectedIndex));
        PutU32(out, std::uint32_t(node.stateIndex));
        PutU32(out, std::uint32_t(node.overlayIndex));
        PutU32(out, 0);
        PutU32(out, std::uint32_t(node.children.size()));
        out += char(length);
        out += node.text.substr(0, length);
        WriteNodes(out, node.children);
    }
}

}  // namespace

std::vector<TreeNodeData> ReadTreeNodes(std::string_view data) {
    if (data.empty()) return {};
    NodeReader reader(data);
    std::uint32_t count = reader.Word();
    if (count > reader.Left() / 29) throw FormError("tree view nodes: more nodes counted than the data holds");
    return reader.Nodes(count, 0);
}

std::string WriteTreeNodes(const std::vector<TreeNodeData>& nodes) {
    std::string out;
    PutU32(out, std::uint32_t(nodes.size()));
    WriteNodes(out, nodes);
    return out;
}

}  // namespace qv::toolkit
