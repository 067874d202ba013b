// The binary properties behind pictures, glyphs and tree view nodes.
#include <gtest/gtest.h>

#include <cstring>

#include "wizard/form_file.h"
#include "wizard/toolkit/graphic_data.h"

using namespace qv;
using namespace qv::toolkit;

namespace {

void Put32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out += char((v >> (8 * i)) & 0xFF);
}

// A bitmap file of width × height pixels of `bits` per pixel (8 bits gets a
// colour table of `colours` entries).
std::string BitmapFile(int width, int height, int bits, std::uint32_t colours = 0) {
    std::uint32_t row = ((width * bits + 31) / 32) * 4;
    std::uint32_t table = bits <= 8 ? (colours ? colours : 1u << bits) * 4 : 0;
    std::string info;
    Put32(info, 40);
    Put32(info, std::uint32_t(width));
    Put32(info, std::uint32_t(height));
    info += std::string("\x01\x00", 2) + char(bits) + '\0';
    Put32(info, 0);
    Put32(info, row * std::uint32_t(height < 0 ? -height : height));
    Put32(info, 0), Put32(info, 0), Put32(info, colours), Put32(info, 0);
    std::string file = "BM";
    Put32(file, 14 + 40 + table + row * std::uint32_t(height < 0 ? -height : height));
    Put32(file, 0);
    Put32(file, 14 + 40 + table);
    return file + info + std::string(table, '\x7F') + std::string(row * std::uint32_t(height < 0 ? -height : height), '\x10');
}

std::string Message(const std::function<void()>& f) {
    try {
        f();
    } catch (const FormError& e) {
        return e.what();
    }
    return "no error";
}

}  // namespace

TEST(ToolkitGraphicsTest, PictureDataHoldsAClassNamedBitmap) {
    std::string file = BitmapFile(3, 2, 24);
    Bitmap bitmap = ReadPictureData(PictureDataOf(file), "Picture.Data");
    EXPECT_EQ(bitmap.width, 3);
    EXPECT_EQ(bitmap.height, 2);
    EXPECT_EQ(bitmap.dib, file.substr(14));
    EXPECT_EQ(bitmap.bitsOffset, 40u);
    // A top-down bitmap reports its rows, 8-bit ones keep their colour table.
    EXPECT_EQ(ReadBitmapFile(BitmapFile(4, -5, 8, 16), "x").height, 5);
    EXPECT_EQ(ReadBitmapFile(BitmapFile(4, 5, 8, 16), "x").bitsOffset, 40u + 64u);
    // Glyphs carry the size without the class name.
    std::string glyph;
    Put32(glyph, std::uint32_t(file.size()));
    EXPECT_EQ(ReadBitmapData(glyph + file, "Glyph.Data").width, 3);
    // No picture, and pictures of other classes, show nothing.
    EXPECT_EQ(ReadPictureData("", "Picture.Data").width, 0);
    EXPECT_EQ(ReadPictureData("\x0ATJPEGImage" + glyph + file, "Picture.Data").width, 0);
}

TEST(ToolkitGraphicsTest, DamagedBitmapsAreRefusedWithTheirProperty) {
    std::string good = BitmapFile(3, 2, 24);
    std::string cut = good.substr(0, good.size() - 1);
    std::string hugeTable = BitmapFile(2, 2, 8, 16);
    hugeTable[14 + 32] = char(200);  // 200 colours claimed, 16 present
    std::string badDepth = good;
    badDepth[14 + 14] = 7;
    std::string zeroWidth = BitmapFile(0, 2, 24);
    struct Case {
        std::string data;
        const char* message;
    } cases[] = {
        {"BM", "Logo is not a valid bitmap: no bitmap file header"},
        {"XX" + good.substr(2), "Logo is not a valid bitmap: no bitmap file header"},
        {cut, "Logo is not a valid bitmap: the pixel data is cut off"},
        {hugeTable, "Logo is not a valid bitmap: pixel data outside the file"},
        {badDepth, "Logo is not a valid bitmap: bad colour depth"},
        {zeroWidth, "Logo is not a valid bitmap: bad size"},
    };
    for (const Case& c : cases) EXPECT_EQ(Message([&] { ReadBitmapFile(c.data, "Logo"); }), c.message);
    EXPECT_EQ(Message([&] { ReadPictureData("\x07TBitm", "Picture.Data"); }),
              "Picture.Data is not a valid bitmap: the class name ends early");
    EXPECT_EQ(Message([&] { ReadBitmapData(std::string("\xFF\x00\x00\x00", 4) + good, "Glyph.Data"); }),
              "Glyph.Data is not a valid bitmap: the data ends early");
}

TEST(ToolkitGraphicsTest, TreeNodesReadBackAsWritten) {
    std::vector<TreeNodeData> nodes(2);
    nodes[0].text = "Program";
    nodes[0].imageIndex = 3;
    nodes[0].children.resize(2);
    nodes[0].children[0].text = "Core";
    nodes[0].children[1].text = std::string(300, 'x');
    nodes[1].text = "";
    std::string data = WriteTreeNodes(nodes);
    // Count, then per node its size and the fixed record with a short string.
    EXPECT_EQ(data.substr(0, 8), std::string("\x02\x00\x00\x00\x20\x00\x00\x00", 8));
    std::vector<TreeNodeData> back = ReadTreeNodes(data);
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0].text, "Program");
    EXPECT_EQ(back[0].imageIndex, 3);
    ASSERT_EQ(back[0].children.size(), 2u);
    EXPECT_EQ(back[0].children[0].text, "Core");
    EXPECT_EQ(back[0].children[1].text, std::string(255, 'x'));  // texts hold at most 255 bytes
    EXPECT_EQ(back[1].text, "");
    EXPECT_TRUE(ReadTreeNodes("").empty());
}

TEST(ToolkitGraphicsTest, DamagedTreeNodesAreRefused) {
    std::vector<TreeNodeData> nodes(1);
    nodes[0].text = "Node";
    nodes[0].children.resize(1);
    std::string good = WriteTreeNodes(nodes);
    std::string manyNodes = good;
    manyNodes[0] = char(0x7F);
    std::string badSize = good;
    badSize[4] = 3;
    std::string longText = good;
    longText[4 + 4 + 24] = 60;  // the text claims more than the record holds
    std::string manyChildren = good;
    manyChildren[4 + 4 + 20] = char(0x50);
    for (const std::string& data : {good.substr(0, good.size() - 3), manyNodes, badSize, longText, manyChildren})
        EXPECT_THROW(ReadTreeNodes(data), FormError);
    // Nesting deeper than the form format allows is refused, not recursed into.
    std::vector<TreeNodeData> deep(1);
    TreeNodeData* at = &deep[0];
    for (int i = 0; i < kMaxFormNesting + 2; ++i) {
        at->children.resize(1);
        at = &at->children[0];
    }
    EXPECT_THROW(ReadTreeNodes(WriteTreeNodes(deep)), FormError);
}
