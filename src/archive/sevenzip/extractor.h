// Extraction of chosen entries into a target that the caller implements
// (the archive library writes Windows files; tests write to a folder). Each
// folder is decoded once, front to back, and every file is written as its
// bytes come out, through a fixed-size buffer.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "archive/sevenzip/archive.h"

namespace qv::sevenzip {

// A file being written. Destroyed without Commit (on an error or a cancel),
// it is discarded and leaves any older file of that name as it was.
class OutputFile {
public:
    virtual ~OutputFile() = default;
    virtual void Write(const std::uint8_t* data, std::size_t size) = 0;
    // All data is written and its CRC checked: put the file in place and
    // apply the entry's attributes and modification time.
    virtual void Commit() = 0;
};

// Paths are the entry's names below the target folder (see SafeEntryPath).
class ExtractTarget {
public:
    virtual ~ExtractTarget() = default;
    // Creates the folder and any missing parents.
    virtual void MakeFolder(const std::vector<std::string>& path) = 0;
    // Creates missing parent folders and opens the file; null keeps an
    // existing file and skips the entry.
    virtual std::unique_ptr<OutputFile> CreateOutputFile(const Entry& entry, const std::vector<std::string>& path) = 0;
    // Called for every extracted folder entry once all files are written,
    // when writing into it can no longer change its time.
    virtual void FinishFolder(const Entry& entry, const std::vector<std::string>& path) = 0;
};

struct ExtractOptions {
    bool flat = false;  // drop the entries' folders; folder entries are then skipped
    // Called when a file starts and as its data is written, with the bytes
    // written so far and the total of all chosen files; false stops the
    // extraction with ArchiveError(Cancelled).
    std::function<bool(const Entry& entry, std::uint64_t done, std::uint64_t total)> progress;
};

// Extracts the entries with the given indices (anti entries are ignored).
// Every path is checked before anything is written; a damaged file stops the
// extraction with its error, after the files before it were written.
void ExtractEntries(Archive& archive, const std::vector<std::size_t>& indices, ExtractTarget& target,
                    const ExtractOptions& options = {});

// The indices of all entries.
std::vector<std::size_t> AllEntries(const Archive& archive);

}  // namespace qv::sevenzip
