// The parsed structure of a 7z archive: how its packed streams are decoded
// into folders, how folders divide into files, and the file entries.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qv::sevenzip {

// One coder of a folder. Its input streams are on the packed side, its
// output streams on the unpacked side.
struct Coder {
    std::uint64_t methodId = 0;  // the method's id bytes, big-endian
    std::uint32_t numInStreams = 1;
    std::uint32_t numOutStreams = 1;
    std::vector<std::uint8_t> properties;
};

// Feeds output stream outIndex (counted over all coders) into input stream
// inIndex.
struct BindPair {
    std::uint32_t inIndex = 0;
    std::uint32_t outIndex = 0;
};

struct Folder {
    std::vector<Coder> coders;
    std::vector<BindPair> bindPairs;
    std::vector<std::uint32_t> packedStreams;  // input stream index per packed stream
    std::vector<std::uint64_t> unpackSizes;    // per output stream
    std::optional<std::uint32_t> crc;          // of the folder's final output
    std::size_t firstPackStream = 0;           // into StreamsInfo::packSizes
    std::uint32_t mainOutStream = 0;           // the output no bind pair consumes

    std::uint64_t UnpackSize() const { return unpackSizes[mainOutStream]; }
};

struct StreamsInfo {
    std::uint64_t packPos = 0;                // after the 32-byte signature header
    std::vector<std::uint64_t> packSizes;
    std::vector<std::uint64_t> packOffsets;   // absolute file offsets
    std::vector<Folder> folders;
    // Division of folders into files: substream counts per folder, then the
    // sizes and CRCs of all substreams in folder order.
    std::vector<std::uint32_t> numSubstreams;
    std::vector<std::uint64_t> substreamSizes;
    std::vector<std::optional<std::uint32_t>> substreamCrcs;
};

constexpr std::uint32_t kNoFolder = 0xFFFFFFFFu;

struct Entry {
    std::string path;  // UTF-8, with the separators stored in the archive
    bool isDirectory = false;
    bool hasStream = false;
    bool isAnti = false;  // marks a deletion in an update archive; never extracted
    std::uint64_t size = 0;
    std::uint64_t packedSize = 0;  // the folder's packed size, on its first file only
    std::optional<std::uint64_t> modified;  // FILETIME: 100 ns units since 1601
    std::optional<std::uint32_t> attributes;  // Windows attributes (high 16 bits may hold a Unix mode)
    std::optional<std::uint32_t> crc;
    std::uint32_t folder = kNoFolder;
    std::uint64_t offsetInFolder = 0;
};

}  // namespace qv::sevenzip
