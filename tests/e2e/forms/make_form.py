"""Fills the pictures and tree nodes of a text form template: {PICTURE} (a
bitmap picture's Picture.Data), {GLYPH} (a button glyph's Glyph.Data) and
{NODES} (tree view nodes' Items.Data), as the toolkit writes them."""

import struct
import sys


def bitmap_file(width, height, pixel):
    """A 24-bit bitmap file; pixel(x, y) gives (r, g, b), y from the top."""
    row = (width * 3 + 3) & ~3
    pixels = b""
    for y in reversed(range(height)):
        line = b"".join(bytes((b, g, r)) for r, g, b in (pixel(x, y) for x in range(width)))
        pixels += line + b"\0" * (row - width * 3)
    header = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return b"BM" + struct.pack("<IHHI", 14 + 40 + len(pixels), 0, 0, 54) + header + pixels


def emblem(x, y):
    # A blue disc with a white bar on a magenta ground (the transparent colour).
    inside = (x - 15.5) ** 2 + (y - 15.5) ** 2 <= 15 ** 2
    if not inside:
        return (255, 0, 255)
    return (255, 255, 255) if 13 <= y <= 18 and 6 <= x <= 25 else (30, 90, 200)


def arrow(x, y):
    # A green left arrow, the bottom-left pixel's olive is transparent.
    if abs(y - 7.5) < 7.5 - x * 0.9 or (x >= 6 and 6 <= y <= 9):
        return (0, 140, 0)
    return (128, 128, 0)


def picture_data(bmp):
    return b"\x07TBitmap" + struct.pack("<I", len(bmp)) + bmp


def glyph_data(bmp):
    return struct.pack("<I", len(bmp)) + bmp


def tree_nodes(nodes):
    """nodes: [(text, [children])]."""
    def write(items):
        out = b""
        for text, children in items:
            raw = text.encode("cp1252")
            out += struct.pack("<iiiiiiiB", 25 + len(raw), -1, -1, -1, -1, 0, len(children), len(raw)) + raw
            out += write(children)
        return out
    return struct.pack("<I", len(nodes)) + write(nodes)


def binary_text(data):
    return "{\n" + "\n".join("      " + data[i:i + 32].hex().upper() for i in range(0, len(data), 32)) + "}"


def fill(template):
    nodes = [("Program", [("Core", []), ("Tools", [])]), ("Documentation", [("Manual", [])]), ("Samples", [])]
    return (template.replace("{PICTURE}", binary_text(picture_data(bitmap_file(32, 32, emblem))))
            .replace("{GLYPH}", binary_text(glyph_data(bitmap_file(16, 16, arrow))))
            .replace("{NODES}", binary_text(tree_nodes(nodes))))


if __name__ == "__main__":
    with open(sys.argv[1], encoding="utf-8") as f:
        text = fill(f.read())
    with open(sys.argv[2], "w", encoding="utf-8") as f:
        f.write(text)
