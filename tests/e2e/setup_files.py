"""The files of a finished setup as the end-to-end tests need to see them:
the end of a PE image, hand-made package texts for packages the kit refuses
to write, and the stub's trace."""

import re
import struct
from dataclasses import dataclass, field

CRLF = "\r\n"
PRODUCT_CODE = "{2D6A7C11-5E3B-4A8F-9C20-7B1E4D5F6A01}"
REVISION_CODE = "{2D6A7C11-5E3B-4A8F-9C20-7B1E4D5F6A02}"


def image_size(data: bytes) -> int:
    """The end of the PE image: the largest PointerToRawData + SizeOfRawData
    over the section table (0 when the bytes are not a PE image)."""
    if len(data) < 0x40 or data[:2] != b"MZ":
        return 0
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        return 0
    sections, = struct.unpack_from("<H", data, pe + 6)
    optional_size, = struct.unpack_from("<H", data, pe + 20)
    table = pe + 24 + optional_size
    end = 0
    for i in range(sections):
        raw_size, raw_pointer = struct.unpack_from("<II", data, table + 40 * i + 16)
        end = max(end, raw_pointer + raw_size)
    return end


def package_text(names, ids=None, params=(), flags=None, media=None, media_mode="1",
                 headers=(), title="E2E Test") -> bytes:
    """A package written section by section. `ids`, `flags` and `media`
    default to one entry per command; pass shorter lists to damage it."""
    def lst(entries):
        return "".join(e + CRLF for e in entries) + "$" + CRLF

    def line(text):
        return text + CRLF

    n = len(names)
    ids = [f"{{00000000-0000-4000-8000-{i:012X}}}" for i in range(n)] if ids is None else ids
    flags = [""] * n if flags is None else flags
    media = [""] * n if media is None else media
    text = (lst(names) + lst(ids) + lst(params) + lst(flags) + line(PRODUCT_CODE) + line(title) + lst([])
            + line("Quorvex") + line("") + line("") + line("") + line("") + lst(media) + line(media_mode)
            + lst([]) + line(REVISION_CODE) + lst([]) + line("FALSE") + line("English") + lst(headers))
    return text.encode("cp1252")


@dataclass
class Trace:
    """The trace the stub writes with /trace=PATH (8-bit text, CR LF)."""
    lines: list = field(default_factory=list)

    @classmethod
    def parse(cls, data: bytes):
        text = data.decode("latin-1")
        lines = text.split(CRLF)
        if lines and lines[-1] == "":
            lines.pop()
        return cls(lines)

    @property
    def runs(self):
        """(1-based position, name) of every command dispatched, in order."""
        out = []
        for line in self.lines:
            m = re.fullmatch(r"run (\d+) (.*)", line)
            if m:
                out.append((int(m.group(1)), m.group(2)))
        return out

    @property
    def variables(self):
        """The final variable dump as a dict, names upper-cased."""
        out = {}
        for line in self.lines:
            if line.startswith("variable "):
                name, _, value = line[len("variable "):].partition("=")
                out[name.upper()] = value
        return out

    def starting(self, prefix):
        return [line for line in self.lines if line.startswith(prefix)]

    def __str__(self):
        return "\n".join(self.lines)
