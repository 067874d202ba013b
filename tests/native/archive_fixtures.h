// Helpers of the archive tests: temporary folders, reference archives made
// with 7zz, a folder extraction target, and hand-built headers for damage
// cases that 7zz cannot write.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "archive/sevenzip/archive.h"
#include "archive/sevenzip/extractor.h"

namespace qv::sevenzip::testing {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

Bytes ReadBytes(const fs::path& file);
void WriteBytes(const fs::path& file, const Bytes& bytes);
Bytes RandomBytes(std::size_t size, std::uint32_t seed);
// Text that compresses well but not trivially.
Bytes TextBytes(std::size_t size);

// Runs 7zz with the arguments (each quoted); fails the test when it fails.
void Run7zz(const std::vector<std::string>& args);
// Creates archive from the items (relative paths) of folder with extra
// switches such as "-m0=lzma".
void Make7z(const fs::path& archive, const fs::path& folder, const std::vector<std::string>& items,
            const std::vector<std::string>& switches);

// File times as the archive stores them.
std::uint64_t FileTimeOf(const fs::path& file);
void SetFileTimeOf(const fs::path& file, std::uint64_t fileTime);

// Without a coder source in the options, the built-in coders decode.
std::unique_ptr<Archive> OpenArchive(const fs::path& file, const DecodeOptions& options = {});
std::unique_ptr<Archive> OpenArchiveBytes(const Bytes& bytes, const DecodeOptions& options = {});

// Writes below a folder: each file goes to a temporary name first and is
// renamed over the final name on Commit; modification times are applied.
class FolderTarget : public ExtractTarget {
public:
    explicit FolderTarget(fs::path root) : root_(std::move(root)) {}
    void MakeFolder(const std::vector<std::string>& path) override;
    std::unique_ptr<OutputFile> CreateOutputFile(const Entry& entry, const std::vector<std::string>& path) override;
    void FinishFolder(const Entry& entry, const std::vector<std::string>& path) override;

    // Existing files are kept (CreateOutputFile returns null) when set.
    bool keepExisting = false;

private:
    fs::path Resolve(const std::vector<std::string>& path) const;
    fs::path root_;
};

// Every file and folder below root, as relative generic paths ("a/b").
std::vector<std::string> TreeOf(const fs::path& root);

// Keeps committed files in memory, keyed by their path joined with '/'.
class MemoryTarget : public ExtractTarget {
public:
    void MakeFolder(const std::vector<std::string>& path) override { folders.push_back(Join(path)); }
    std::unique_ptr<OutputFile> CreateOutputFile(const Entry& entry, const std::vector<std::string>& path) override;
    void FinishFolder(const Entry&, const std::vector<std::string>&) override {}
    static std::string Join(const std::vector<std::string>& path);

    std::map<std::string, Bytes> files;
    std::vector<std::string> folders;
};

// A 7z archive built by hand: the packed bytes, then a header written as
// given (plain, not encoded), with valid start header CRCs so that the
// parser sees exactly these fields.
Bytes WrapHeader(const Bytes& packed, const Bytes& header);
// The variable-length number encoding of headers.
void PutNumber(Bytes& out, std::uint64_t value);
// An archive of named files (each non-empty) in one folder whose single
// coder has the given method id, stored as is.
Bytes CopyArchive(const std::vector<std::pair<std::string, std::string>>& files, const Bytes& methodId = {0x00});

}  // namespace qv::sevenzip::testing
