// Parses the property-tagged structures of a 7z header: streams info (packed
// streams, folders, substreams) and the files info that lists the entries.
#pragma once

#include <vector>

#include "archive/sevenzip/archive_model.h"
#include "archive/sevenzip/header_cursor.h"

namespace qv::sevenzip {

// Property ids of the header.
namespace prop {
constexpr std::uint8_t kEnd = 0x00;
constexpr std::uint8_t kHeader = 0x01;
constexpr std::uint8_t kArchiveProperties = 0x02;
constexpr std::uint8_t kAdditionalStreamsInfo = 0x03;
constexpr std::uint8_t kMainStreamsInfo = 0x04;
constexpr std::uint8_t kFilesInfo = 0x05;
constexpr std::uint8_t kPackInfo = 0x06;
constexpr std::uint8_t kUnpackInfo = 0x07;
constexpr std::uint8_t kSubStreamsInfo = 0x08;
constexpr std::uint8_t kSize = 0x09;
constexpr std::uint8_t kCrc = 0x0A;
constexpr std::uint8_t kFolder = 0x0B;
constexpr std::uint8_t kCodersUnpackSize = 0x0C;
constexpr std::uint8_t kNumUnpackStream = 0x0D;
constexpr std::uint8_t kEmptyStream = 0x0E;
constexpr std::uint8_t kEmptyFile = 0x0F;
constexpr std::uint8_t kAnti = 0x10;
constexpr std::uint8_t kName = 0x11;
constexpr std::uint8_t kMTime = 0x14;
constexpr std::uint8_t kWinAttributes = 0x15;
constexpr std::uint8_t kEncodedHeader = 0x17;
}  // namespace prop

// Reads a streams info block up to and including its kEnd; the block's own id
// has been read. Pack offsets are made absolute (after the signature header).
StreamsInfo ParseStreamsInfo(HeaderCursor& cursor);

struct HeaderContents {
    StreamsInfo streams;
    std::vector<Entry> entries;
};

// Reads a plain header after its kHeader id and assigns the substreams of the
// folders to the entries.
HeaderContents ParseHeader(HeaderCursor& cursor);

}  // namespace qv::sevenzip
