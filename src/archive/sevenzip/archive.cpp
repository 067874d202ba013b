#include "archive/sevenzip/archive.h"

#include <cstring>
#include <functional>
#include <stdexcept>

#include "archive/sevenzip/archive_error.h"
#include "archive/sevenzip/crc32.h"
#include "archive/sevenzip/folder_stream.h"
#include "archive/sevenzip/header_cursor.h"
#include "archive/sevenzip/header_parser.h"

namespace qv::sevenzip {
namespace {

constexpr std::uint8_t kSignature[6] = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C};
constexpr std::size_t kSignatureHeaderSize = 32;
// A header, packed or decoded, larger than this is taken as damage; real
// archives of a million files stay far below it.
constexpr std::uint64_t kMaxHeaderSize = std::uint64_t(256) << 20;
// A compressed header may itself be compressed once more; no writer nests deeper.
constexpr int kMaxHeaderNesting = 4;

// Asks the caller's function once and keeps the answer.
std::function<std::optional<std::u16string>()> AskOnce(std::function<std::optional<std::u16string>()> ask) {
    if (!ask) return {};
    struct Answer {
        bool asked = false;
        std::optional<std::u16string> password;
    };
    auto answer = std::make_shared<Answer>();
    return [ask = std::move(ask), answer]() {
        if (!answer->asked) {
            answer->password = ask();
            answer->asked = true;
        }
        return answer->password;
    };
}

}  // namespace

[[noreturn]] void ThrowWrongPassword(const std::string& what) {
    throw ArchiveError(ArchiveErrorKind::WrongPassword, "Wrong password, or the encrypted " + what + " is damaged");
}

Archive::Archive(std::unique_ptr<RandomAccessSource> source, const DecodeOptions& options)
    : source_(std::move(source)), options_(options) {
    if (options_.coders == nullptr) throw std::invalid_argument("an archive needs a coder source");
    options_.password = AskOnce(std::move(options_.password));
    std::vector<std::uint8_t> header = ReadNextHeader();
    if (header.empty()) return;  // an archive without entries
    for (int nesting = 0;; ++nesting) {
        HeaderCursor cursor(header.data(), header.size());
        const std::uint8_t id = cursor.ReadByte();
        if (id == prop::kHeader) {
            HeaderContents contents = ParseHeader(cursor);
            CheckPackStreamsInFile(contents.streams);
            streams_ = std::move(contents.streams);
            entries_ = std::move(contents.entries);
            return;
        }
        if (id != prop::kEncodedHeader || nesting == kMaxHeaderNesting) ThrowDamaged("unknown header type");
        const StreamsInfo packedHeader = ParseStreamsInfo(cursor);
        header = DecodeHeaderFolder(packedHeader);
    }
}

std::vector<std::uint8_t> Archive::ReadNextHeader() {
    std::uint8_t start[kSignatureHeaderSize] = {};
    const std::size_t got = source_->ReadAt(0, start, sizeof start);
    if (got < sizeof kSignature || std::memcmp(start, kSignature, sizeof kSignature) != 0)
        throw ArchiveError(ArchiveErrorKind::NotArchive, "The file is not a 7z archive");
    if (got < sizeof start) ThrowDamaged("it ends too early");
    if (start[6] != 0) throw ArchiveError(ArchiveErrorKind::Unsupported, "Unsupported 7z format version");

    HeaderCursor fields(start + 8, sizeof start - 8);
    const std::uint32_t startCrc = fields.ReadUInt32();
    const std::uint64_t offset = fields.ReadUInt64();
    const std::uint64_t size = fields.ReadUInt64();
    const std::uint32_t crc = fields.ReadUInt32();
    if (Crc32(start + 12, 20) != startCrc) ThrowDamaged("CRC error in the start header");
    if (size == 0) return {};

    const std::uint64_t room = source_->Size() - kSignatureHeaderSize;
    if (offset > room || size > room - offset) ThrowDamaged("it ends too early");
    if (size > kMaxHeaderSize) ThrowDamaged("impossible header size");
    std::vector<std::uint8_t> header(static_cast<std::size_t>(size));
    if (source_->ReadAt(kSignatureHeaderSize + offset, header.data(), header.size()) != header.size())
        ThrowDamaged("it ends too early");
    if (Crc32(header.data(), header.size()) != crc) ThrowDamaged("CRC error in the header");
    return header;
}

std::vector<std::uint8_t> Archive::DecodeHeaderFolder(const StreamsInfo& streams) {
    if (streams.folders.empty()) ThrowDamaged("the packed header has no data");
    CheckPackStreamsInFile(streams);
    const std::uint64_t size = streams.folders[0].UnpackSize();
    if (size == 0 || size > kMaxHeaderSize) ThrowDamaged("impossible header size");
    // Grown as data is decoded, never reserved from the stated size.
    std::vector<std::uint8_t> header;
    try {
        const std::unique_ptr<InStream> stream = OpenFolderStream(*source_, streams, 0, options_);
        std::uint8_t chunk[1 << 14];
        for (std::size_t n; (n = stream->Read(chunk, sizeof chunk)) != 0;) header.insert(header.end(), chunk, chunk + n);
    } catch (const ArchiveError& e) {
        if (IsEncrypted(streams.folders[0]) && IsDamage(e)) ThrowWrongPassword("header");
        throw;
    }
    return header;
}

void Archive::CheckPackStreamsInFile(const StreamsInfo& streams) const {
    const std::uint64_t fileSize = source_->Size();
    for (std::size_t i = 0; i < streams.packSizes.size(); ++i)
        if (streams.packOffsets[i] > fileSize || streams.packSizes[i] > fileSize - streams.packOffsets[i])
            ThrowDamaged("it ends too early");
}

bool Archive::FolderIsEncrypted(std::size_t folder) const { return IsEncrypted(streams_.folders.at(folder)); }

std::unique_ptr<InStream> Archive::OpenFolder(std::size_t folder) {
    return OpenFolderStream(*source_, streams_, folder, options_);
}

}  // namespace qv::sevenzip
