// The format library as zor.dll uses it: Formats\7z.dll of the folder named
// by the "Path" value, loaded by full path for one call of the library, and
// the archives opened through it.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/codec_api.h"
#include "archive/sevenzip/archive_model.h"
#include "archive/sevenzip/extractor.h"
#include "archive/sevenzip/streams.h"
#include "platform/handles.h"

namespace qv::zor {

// Where the staged libraries are found.
constexpr const char* kLibrariesKey = "SOFTWARE\\Zembrot\\Quorvex\\Seven Zip";
constexpr const char* kLibrariesValue = "Path";

class FormatLibrary {
public:
    // Throws ArchiveError(LibraryMissing) without the value or the library.
    FormatLibrary();

    const std::string& CodecFolder() const { return codecFolder_; }

private:
    friend class FormatArchive;
    win::UniqueModule module_;
    std::string codecFolder_;
    QvFormatOpenFn open_ = nullptr;
    QvFormatEntryCountFn entryCount_ = nullptr;
    QvFormatEntryFn entry_ = nullptr;
    QvFormatExtractFn extract_ = nullptr;
    QvFormatCloseFn close_ = nullptr;
};

using PasswordSource = std::function<std::optional<std::u16string>()>;
using ExtractProgress = std::function<bool(const sevenzip::Entry& entry, std::uint64_t done, std::uint64_t total)>;

class FormatArchive {
public:
    // The library and the source must outlive the archive. Throws
    // ArchiveError with the kind the format library reports.
    FormatArchive(const FormatLibrary& library, sevenzip::RandomAccessSource& source, PasswordSource password);
    ~FormatArchive();
    FormatArchive(const FormatArchive&) = delete;
    FormatArchive& operator=(const FormatArchive&) = delete;

    const std::vector<sevenzip::Entry>& Entries() const { return entries_; }
    void Extract(const std::vector<std::size_t>& indices, bool flat, sevenzip::ExtractTarget& target,
                 const ExtractProgress& progress);

private:
    const FormatLibrary& library_;
    sevenzip::RandomAccessSource& source_;
    PasswordSource password_;
    QvArchive* archive_ = nullptr;
    std::vector<sevenzip::Entry> entries_;
};

}  // namespace qv::zor
