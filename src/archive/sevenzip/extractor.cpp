#include "archive/sevenzip/extractor.h"

#include <algorithm>
#include <map>

#include "archive/sevenzip/archive_error.h"
#include "archive/sevenzip/crc32.h"
#include "archive/sevenzip/entry_path.h"

namespace qv::sevenzip {
namespace {

constexpr std::size_t kCopyBuffer = 1 << 16;

struct PlannedEntry {
    const Entry* entry;
    std::vector<std::string> path;
};

class Extraction {
public:
    Extraction(Archive& archive, ExtractTarget& target, const ExtractOptions& options)
        : archive_(archive), target_(target), options_(options), buffer_(kCopyBuffer) {}

    void Plan(const std::vector<std::size_t>& indices) {
        const std::vector<Entry>& entries = archive_.Entries();
        std::vector<bool> chosen(entries.size());
        for (const std::size_t i : indices) {
            const Entry& e = entries.at(i);
            if (chosen[i] || e.isAnti || (options_.flat && e.isDirectory)) continue;
            chosen[i] = true;
            std::vector<std::string> path = SafeEntryPath(e.path);
            if (options_.flat) path.erase(path.begin(), path.end() - 1);
            if (e.isDirectory) {
                folders_.push_back({&e, std::move(path)});
            } else {
                total_ += e.size;
                (e.hasStream ? packed_[e.folder] : empty_).push_back({&e, std::move(path)});
            }
        }
    }

    void Run() {
        for (const PlannedEntry& f : folders_) target_.MakeFolder(f.path);
        for (const PlannedEntry& f : empty_) {
            Report(*f.entry);
            if (auto out = target_.CreateOutputFile(*f.entry, f.path)) out->Commit();
        }
        for (auto& [folder, files] : packed_) {
            try {
                ExtractFolder(folder, files);
            } catch (const ArchiveError& e) {
                if (archive_.FolderIsEncrypted(folder) && IsDamage(e)) ThrowWrongPassword("data");
                throw;
            }
        }
        for (const PlannedEntry& f : folders_) target_.FinishFolder(*f.entry, f.path);
    }

private:
    void Report(const Entry& entry) {
        if (options_.progress && !options_.progress(entry, done_, total_))
            throw ArchiveError(ArchiveErrorKind::Cancelled, "The extraction was cancelled");
    }

    void ExtractFolder(std::uint32_t folder, std::vector<PlannedEntry>& files) {
        std::stable_sort(files.begin(), files.end(), [](const PlannedEntry& a, const PlannedEntry& b) {
            return a.entry->offsetInFolder < b.entry->offsetInFolder;
        });
        const std::unique_ptr<InStream> stream = archive_.OpenFolder(folder);
        std::uint64_t position = 0;
        for (const PlannedEntry& f : files) {
            Copy(*stream, f.entry->offsetInFolder - position, nullptr, nullptr);
            Report(*f.entry);
            std::unique_ptr<OutputFile> out = target_.CreateOutputFile(*f.entry, f.path);
            const std::uint32_t crc = Copy(*stream, f.entry->size, out.get(), f.entry);
            if (f.entry->crc && crc != *f.entry->crc)
                throw ArchiveError(ArchiveErrorKind::DataError, "CRC error in \"" + f.entry->path + "\"");
            if (out) out->Commit();
            position = f.entry->offsetInFolder + f.entry->size;
        }
    }

    // Moves size bytes of the folder to out (or skips them without an entry),
    // reporting progress for a chosen entry; returns the CRC of the bytes.
    std::uint32_t Copy(InStream& stream, std::uint64_t size, OutputFile* out, const Entry* entry) {
        std::uint32_t crc = 0;
        while (size > 0) {
            const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(size, buffer_.size()));
            const std::size_t got = stream.Read(buffer_.data(), want);
            if (got == 0) throw ArchiveError(ArchiveErrorKind::DataError, "The compressed data ends before its stated size");
            size -= got;
            if (entry == nullptr) continue;
            crc = UpdateCrc32(crc, buffer_.data(), got);
            if (out) out->Write(buffer_.data(), got);
            done_ += got;
            Report(*entry);
        }
        return crc;
    }

    Archive& archive_;
    ExtractTarget& target_;
    const ExtractOptions& options_;
    std::vector<std::uint8_t> buffer_;
    std::vector<PlannedEntry> folders_, empty_;
    std::map<std::uint32_t, std::vector<PlannedEntry>> packed_;
    std::uint64_t total_ = 0;
    std::uint64_t done_ = 0;
};

}  // namespace

void ExtractEntries(Archive& archive, const std::vector<std::size_t>& indices, ExtractTarget& target,
                    const ExtractOptions& options) {
    Extraction extraction(archive, target, options);
    extraction.Plan(indices);
    extraction.Run();
}

std::vector<std::size_t> AllEntries(const Archive& archive) {
    std::vector<std::size_t> all(archive.Entries().size());
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = i;
    return all;
}

}  // namespace qv::sevenzip
