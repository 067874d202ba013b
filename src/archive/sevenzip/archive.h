// A 7z archive opened for listing and extraction. Opening reads and checks
// the headers (decoding them when they are compressed); folders are decoded
// only when extracted.
#pragma once

#include <memory>
#include <vector>

#include "archive/sevenzip/archive_model.h"
#include "archive/sevenzip/coder.h"
#include "archive/sevenzip/streams.h"

namespace qv::sevenzip {

class Archive {
public:
    // options.coders must be set. The password function is asked at most
    // once, when the first encrypted folder (or header) is decoded.
    // Throws ArchiveError: NotArchive without the signature, Damaged for a
    // broken or truncated header, UnsupportedMethod when the header's own
    // coders are unknown, PasswordRequired or WrongPassword for an
    // encrypted header.
    Archive(std::unique_ptr<RandomAccessSource> source, const DecodeOptions& options);

    const std::vector<Entry>& Entries() const { return entries_; }
    std::size_t FolderCount() const { return streams_.folders.size(); }
    bool FolderIsEncrypted(std::size_t folder) const;
    // The decoded bytes of a folder, front to back: its files one after the
    // other in the order of Entry::offsetInFolder.
    std::unique_ptr<InStream> OpenFolder(std::size_t folder);

private:
    std::vector<std::uint8_t> ReadNextHeader();
    std::vector<std::uint8_t> DecodeHeaderFolder(const StreamsInfo& streams);
    void CheckPackStreamsInFile(const StreamsInfo& streams) const;

    std::unique_ptr<RandomAccessSource> source_;
    DecodeOptions options_;
    StreamsInfo streams_;
    std::vector<Entry> entries_;
};

}  // namespace qv::sevenzip
