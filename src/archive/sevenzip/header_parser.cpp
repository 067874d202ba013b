#include "archive/sevenzip/header_parser.h"

#include <algorithm>

#include "archive/sevenzip/archive_error.h"
#include "archive/sevenzip/utf.h"

namespace qv::sevenzip {
namespace {

constexpr std::uint32_t kMaxCoders = 64;
constexpr std::uint32_t kMaxFolderStreams = 64;
constexpr std::uint64_t kSignatureHeaderSize = 32;

void Expect(HeaderCursor& c, std::uint8_t id, const char* what) {
    if (c.ReadByte() != id) ThrowDamaged(std::string("expected ") + what);
}

bool AddChecked(std::uint64_t& sum, std::uint64_t value) {
    if (value > UINT64_MAX - sum) return false;
    sum += value;
    return true;
}

std::vector<std::optional<std::uint32_t>> ReadDigests(HeaderCursor& c, std::size_t count) {
    const std::vector<bool> defined = c.ReadOptionalBits(count);
    std::vector<std::optional<std::uint32_t>> crcs(count);
    for (std::size_t i = 0; i < count; ++i)
        if (defined[i]) crcs[i] = c.ReadUInt32();
    return crcs;
}

void ReadPackInfo(HeaderCursor& c, StreamsInfo& s) {
    s.packPos = c.ReadNumber();
    const std::size_t count = c.ReadCount("packed streams");
    bool haveSizes = false;
    for (std::uint8_t id; (id = c.ReadByte()) != prop::kEnd;) {
        if (id == prop::kSize) {
            s.packSizes.resize(count);
            for (auto& size : s.packSizes) size = c.ReadNumber();
            haveSizes = true;
        } else if (id == prop::kCrc) {
            ReadDigests(c, count);  // packed-stream CRCs are redundant with the unpacked ones
        } else {
            ThrowDamaged("unknown field in the packed streams");
        }
    }
    if (!haveSizes) ThrowDamaged("packed stream sizes are missing");
}

void ReadFolderCoders(HeaderCursor& c, Folder& f) {
    const std::uint32_t numCoders = c.ReadSmall(kMaxCoders, "number of coders");
    if (numCoders == 0) ThrowDamaged("a folder without coders");
    std::uint32_t totalIn = 0, totalOut = 0;
    f.coders.resize(numCoders);
    for (Coder& coder : f.coders) {
        const std::uint8_t flags = c.ReadByte();
        const unsigned idSize = flags & 0x0F;
        const std::uint8_t* id = c.ReadBytes(idSize);
        if ((flags & 0x80) != 0)
            throw ArchiveError(ArchiveErrorKind::Unsupported, "The archive uses alternative coder methods");
        if (idSize > 8) throw ArchiveError(ArchiveErrorKind::UnsupportedMethod, "Unsupported compression method");
        for (unsigned i = 0; i < idSize; ++i) coder.methodId = coder.methodId << 8 | id[i];
        if ((flags & 0x10) != 0) {
            coder.numInStreams = c.ReadSmall(kMaxFolderStreams, "number of coder streams");
            coder.numOutStreams = c.ReadSmall(kMaxFolderStreams, "number of coder streams");
        }
        if ((flags & 0x20) != 0) {
            const std::size_t size = c.ReadCount("coder property bytes");
            const std::uint8_t* props = c.ReadBytes(size);
            coder.properties.assign(props, props + size);
        }
        totalIn += coder.numInStreams;
        totalOut += coder.numOutStreams;
    }
    if (totalOut == 0 || totalIn > kMaxFolderStreams || totalOut > kMaxFolderStreams || totalOut - 1 >= totalIn)
        ThrowDamaged("impossible folder streams");

    std::vector<bool> inBound(totalIn), outBound(totalOut);
    f.bindPairs.resize(totalOut - 1);
    for (BindPair& pair : f.bindPairs) {
        pair.inIndex = c.ReadSmall(totalIn - 1, "bind pair");
        pair.outIndex = c.ReadSmall(totalOut - 1, "bind pair");
        if (inBound[pair.inIndex] || outBound[pair.outIndex]) ThrowDamaged("a folder stream is bound twice");
        inBound[pair.inIndex] = outBound[pair.outIndex] = true;
    }
    const std::uint32_t numPacked = totalIn - (totalOut - 1);
    if (numPacked == 1) {
        f.packedStreams.push_back(static_cast<std::uint32_t>(
            std::find(inBound.begin(), inBound.end(), false) - inBound.begin()));
    } else {
        for (std::uint32_t i = 0; i < numPacked; ++i) {
            const std::uint32_t index = c.ReadSmall(totalIn - 1, "packed stream index");
            if (inBound[index]) ThrowDamaged("a folder stream is bound twice");
            inBound[index] = true;
            f.packedStreams.push_back(index);
        }
    }
    f.mainOutStream =
        static_cast<std::uint32_t>(std::find(outBound.begin(), outBound.end(), false) - outBound.begin());
    f.unpackSizes.resize(totalOut);
}

void ReadUnpackInfo(HeaderCursor& c, StreamsInfo& s) {
    Expect(c, prop::kFolder, "the folder list");
    s.folders.resize(c.ReadCount("folders"));
    if (c.ReadByte() != 0) throw ArchiveError(ArchiveErrorKind::Unsupported, "The archive keeps its folders apart");
    for (Folder& f : s.folders) ReadFolderCoders(c, f);
    Expect(c, prop::kCodersUnpackSize, "the unpacked sizes");
    for (Folder& f : s.folders)
        for (auto& size : f.unpackSizes) size = c.ReadNumber();
    for (std::uint8_t id; (id = c.ReadByte()) != prop::kEnd;) {
        if (id != prop::kCrc) ThrowDamaged("unknown field in the folders");
        const auto crcs = ReadDigests(c, s.folders.size());
        for (std::size_t i = 0; i < s.folders.size(); ++i) s.folders[i].crc = crcs[i];
    }
}

void ReadSubStreamsInfo(HeaderCursor& c, StreamsInfo& s) {
    s.numSubstreams.assign(s.folders.size(), 1);
    std::uint8_t id = c.ReadByte();
    if (id == prop::kNumUnpackStream) {
        std::uint64_t total = 0;
        for (auto& n : s.numSubstreams) {
            const std::uint64_t count = c.ReadNumber();
            total += std::min<std::uint64_t>(count, UINT32_MAX);
            // Every substream but a folder's last needs a size byte below.
            if (total > c.Remaining() + s.folders.size()) ThrowDamaged("impossible number of files in a folder");
            n = static_cast<std::uint32_t>(count);
        }
        id = c.ReadByte();
    }
    const bool haveSizes = id == prop::kSize;
    for (std::size_t i = 0; i < s.folders.size(); ++i) {
        const std::uint32_t n = s.numSubstreams[i];
        if (n == 0) continue;
        if (n > 1 && !haveSizes) ThrowDamaged("file sizes are missing");
        const std::uint64_t folderSize = s.folders[i].UnpackSize();
        std::uint64_t sum = 0;
        for (std::uint32_t j = 0; j + 1 < n; ++j) {
            const std::uint64_t size = c.ReadNumber();
            if (!AddChecked(sum, size) || sum > folderSize) ThrowDamaged("file sizes exceed their folder");
            s.substreamSizes.push_back(size);
        }
        s.substreamSizes.push_back(folderSize - sum);
    }
    if (haveSizes) id = c.ReadByte();

    std::size_t unknownCrcs = 0;
    for (std::size_t i = 0; i < s.folders.size(); ++i)
        if (!(s.numSubstreams[i] == 1 && s.folders[i].crc)) unknownCrcs += s.numSubstreams[i];
    std::vector<std::optional<std::uint32_t>> crcs;
    for (; id != prop::kEnd; id = c.ReadByte()) {
        if (id != prop::kCrc) ThrowDamaged("unknown field in the file streams");
        crcs = ReadDigests(c, unknownCrcs);
    }
    std::size_t next = 0;
    for (std::size_t i = 0; i < s.folders.size(); ++i) {
        if (s.numSubstreams[i] == 1 && s.folders[i].crc) {
            s.substreamCrcs.push_back(s.folders[i].crc);
            continue;
        }
        for (std::uint32_t j = 0; j < s.numSubstreams[i]; ++j, ++next)
            s.substreamCrcs.push_back(next < crcs.size() ? crcs[next] : std::nullopt);
    }
}

void LocatePackStreams(StreamsInfo& s) {
    std::size_t next = 0;
    for (Folder& f : s.folders) {
        f.firstPackStream = next;
        next += f.packedStreams.size();
        if (next > s.packSizes.size()) ThrowDamaged("folders use more packed streams than exist");
    }
    std::uint64_t offset = kSignatureHeaderSize;
    if (!AddChecked(offset, s.packPos)) ThrowDamaged("impossible packed stream position");
    for (const std::uint64_t size : s.packSizes) {
        s.packOffsets.push_back(offset);
        if (!AddChecked(offset, size)) ThrowDamaged("impossible packed stream size");
    }
}

struct FileProperties {
    std::vector<bool> emptyStream, emptyFile, anti;
    std::vector<std::string> names;
    std::vector<std::optional<std::uint64_t>> modified;
    std::vector<std::optional<std::uint32_t>> attributes;
};

std::vector<std::string> ReadNames(HeaderCursor& c, std::size_t numFiles) {
    if (c.ReadByte() != 0) throw ArchiveError(ArchiveErrorKind::Unsupported, "The archive keeps its names apart");
    std::vector<std::string> names;
    names.reserve(numFiles);
    while (names.size() < numFiles) {
        const std::size_t units = c.Remaining() / 2;
        const std::uint8_t* start = c.ReadBytes(0);
        std::size_t length = 0;
        while (length < units && (start[2 * length] | start[2 * length + 1]) != 0) ++length;
        if (length == units) ThrowDamaged("an entry name is not terminated");
        names.push_back(Utf16LeToUtf8(start, length));
        c.Skip(2 * length + 2);
    }
    return names;
}

template <typename T, typename ReadValue>
std::vector<std::optional<T>> ReadDefinedValues(HeaderCursor& c, std::size_t numFiles, ReadValue read) {
    const std::vector<bool> defined = c.ReadOptionalBits(numFiles);
    if (c.ReadByte() != 0) throw ArchiveError(ArchiveErrorKind::Unsupported, "The archive keeps file properties apart");
    std::vector<std::optional<T>> values(numFiles);
    for (std::size_t i = 0; i < numFiles; ++i)
        if (defined[i]) values[i] = read(c);
    return values;
}

std::vector<Entry> ReadFilesInfo(HeaderCursor& c) {
    const std::size_t numFiles = c.ReadCount("files");
    FileProperties p;
    std::size_t numEmpty = 0;
    for (std::uint64_t type; (type = c.ReadNumber()) != prop::kEnd;) {
        HeaderCursor data = c.Sub(c.ReadCount("file property bytes"));
        switch (type) {
            case prop::kEmptyStream:
                p.emptyStream = data.ReadBits(numFiles);
                numEmpty = static_cast<std::size_t>(std::count(p.emptyStream.begin(), p.emptyStream.end(), true));
                break;
            case prop::kEmptyFile: p.emptyFile = data.ReadBits(numEmpty); break;
            case prop::kAnti: p.anti = data.ReadBits(numEmpty); break;
            case prop::kName: p.names = ReadNames(data, numFiles); break;
            case prop::kMTime:
                p.modified = ReadDefinedValues<std::uint64_t>(data, numFiles, [](HeaderCursor& d) { return d.ReadUInt64(); });
                break;
            case prop::kWinAttributes:
                p.attributes = ReadDefinedValues<std::uint32_t>(data, numFiles, [](HeaderCursor& d) { return d.ReadUInt32(); });
                break;
            default: break;  // creation and access times, alignment padding, start positions
        }
    }

    std::vector<Entry> entries(numFiles);
    std::size_t emptyIndex = 0;
    for (std::size_t i = 0; i < numFiles; ++i) {
        Entry& e = entries[i];
        e.hasStream = p.emptyStream.empty() || !p.emptyStream[i];
        if (!e.hasStream) {
            const bool emptyFile = emptyIndex < p.emptyFile.size() && p.emptyFile[emptyIndex];
            e.isAnti = emptyIndex < p.anti.size() && p.anti[emptyIndex];
            e.isDirectory = !emptyFile;
            ++emptyIndex;
        }
        if (i < p.names.size()) e.path = p.names[i];
        if (i < p.modified.size()) e.modified = p.modified[i];
        if (i < p.attributes.size()) e.attributes = p.attributes[i];
    }
    return entries;
}

void AssignSubstreams(const StreamsInfo& s, std::vector<Entry>& entries) {
    std::size_t folder = 0, inFolder = 0, substream = 0;
    std::uint64_t offset = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        Entry& e = entries[i];
        if (!e.hasStream) continue;
        while (folder < s.folders.size() && inFolder == s.numSubstreams[folder]) {
            ++folder;
            inFolder = 0;
            offset = 0;
        }
        if (folder == s.folders.size()) ThrowDamaged("more files than packed data");
        const Folder& f = s.folders[folder];
        e.folder = static_cast<std::uint32_t>(folder);
        e.size = s.substreamSizes[substream];
        e.crc = s.substreamCrcs[substream];
        e.offsetInFolder = offset;
        if (inFolder == 0)
            for (std::size_t k = 0; k < f.packedStreams.size(); ++k) e.packedSize += s.packSizes[f.firstPackStream + k];
        offset += e.size;
        ++inFolder;
        ++substream;
    }
    if (substream != s.substreamSizes.size()) ThrowDamaged("packed data without files");
}

}  // namespace

StreamsInfo ParseStreamsInfo(HeaderCursor& c) {
    StreamsInfo s;
    bool haveSubstreams = false;
    for (std::uint8_t id; (id = c.ReadByte()) != prop::kEnd;) {
        if (id == prop::kPackInfo) {
            ReadPackInfo(c, s);
        } else if (id == prop::kUnpackInfo) {
            ReadUnpackInfo(c, s);
        } else if (id == prop::kSubStreamsInfo) {
            ReadSubStreamsInfo(c, s);
            haveSubstreams = true;
        } else {
            ThrowDamaged("unknown field in the streams info");
        }
    }
    if (!haveSubstreams) {
        s.numSubstreams.assign(s.folders.size(), 1);
        for (const Folder& f : s.folders) {
            s.substreamSizes.push_back(f.UnpackSize());
            s.substreamCrcs.push_back(f.crc);
        }
    }
    LocatePackStreams(s);
    return s;
}

HeaderContents ParseHeader(HeaderCursor& c) {
    HeaderContents h;
    std::uint8_t id = c.ReadByte();
    if (id == prop::kArchiveProperties) {
        for (std::uint8_t type; (type = c.ReadByte()) != prop::kEnd;) c.Skip(c.ReadCount("property bytes"));
        id = c.ReadByte();
    }
    if (id == prop::kAdditionalStreamsInfo) {
        ParseStreamsInfo(c);  // only referenced by "external" data, which this reader refuses
        id = c.ReadByte();
    }
    if (id == prop::kMainStreamsInfo) {
        h.streams = ParseStreamsInfo(c);
        id = c.ReadByte();
    }
    if (id == prop::kFilesInfo) {
        h.entries = ReadFilesInfo(c);
        id = c.ReadByte();
    }
    if (id != prop::kEnd) ThrowDamaged("unknown field in the header");
    AssignSubstreams(h.streams, h.entries);
    return h;
}

}  // namespace qv::sevenzip
