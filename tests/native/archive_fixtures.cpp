#include "archive_fixtures.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>

#include "archive/sevenzip/archive_error.h"
#include "archive/sevenzip/builtin_coders.h"
#include "archive/sevenzip/crc32.h"
#include "archive/sevenzip/file_source.h"

namespace qv::sevenzip::testing {
namespace {

constexpr std::uint64_t kUnixEpochAsFileTime = 116444736000000000ull;

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (const char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

void PutUInt32(Bytes& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void PutUInt64(Bytes& out, std::uint64_t v) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

void PutUtf16Name(Bytes& out, const std::string& utf8) {
    for (std::size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        std::uint32_t cp;
        int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        cp = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) cp = cp << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += extra + 1;
        auto unit = [&out](std::uint32_t u) {
            out.push_back(static_cast<std::uint8_t>(u));
            out.push_back(static_cast<std::uint8_t>(u >> 8));
        };
        if (cp >= 0x10000) {
            unit(0xD800 + ((cp - 0x10000) >> 10));
            unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            unit(cp);
        }
    }
    out.push_back(0);
    out.push_back(0);
}

class FolderOutputFile : public OutputFile {
public:
    FolderOutputFile(fs::path final, const Entry& entry)
        : final_(std::move(final)), temp_(final_.string() + ".part"), entry_(entry), file_(temp_, std::ios::binary) {
        if (!file_) throw ArchiveError(ArchiveErrorKind::WriteFailed, "cannot create " + temp_.string());
    }
    ~FolderOutputFile() override {
        if (committed_) return;
        file_.close();
        std::error_code ec;
        fs::remove(temp_, ec);
    }
    void Write(const std::uint8_t* data, std::size_t size) override {
        file_.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!file_) throw ArchiveError(ArchiveErrorKind::WriteFailed, "cannot write " + temp_.string());
    }
    void Commit() override {
        file_.close();
        fs::rename(temp_, final_);
        committed_ = true;
        if (entry_.modified) SetFileTimeOf(final_, *entry_.modified);
    }

private:
    fs::path final_, temp_;
    const Entry& entry_;
    std::ofstream file_;
    bool committed_ = false;
};

class MemoryOutputFile : public OutputFile {
public:
    MemoryOutputFile(MemoryTarget& target, std::string path) : target_(target), path_(std::move(path)) {}
    void Write(const std::uint8_t* data, std::size_t size) override { data_.insert(data_.end(), data, data + size); }
    void Commit() override { target_.files[path_] = std::move(data_); }

private:
    MemoryTarget& target_;
    std::string path_;
    Bytes data_;
};

}  // namespace

std::unique_ptr<OutputFile> MemoryTarget::CreateOutputFile(const Entry&, const std::vector<std::string>& path) {
    return std::make_unique<MemoryOutputFile>(*this, Join(path));
}

std::string MemoryTarget::Join(const std::vector<std::string>& path) {
    std::string joined;
    for (const auto& name : path) joined += (joined.empty() ? "" : "/") + name;
    return joined;
}

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "qv-archive-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

Bytes ReadBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + file.string());
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& file, const Bytes& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + file.string());
}

Bytes RandomBytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes b(size);
    for (auto& x : b) x = static_cast<std::uint8_t>(rng());
    return b;
}

Bytes TextBytes(std::size_t size) {
    static const char* const words[] = {"setup ", "archive ", "folder ", "value ", "the ", "of ", "install\n",
                                        "window ", "registry ", "42 ", "Quorvex ", "data "};
    std::mt19937 rng(7);
    Bytes b;
    while (b.size() < size) {
        const char* w = words[rng() % 12];
        b.insert(b.end(), w, w + std::char_traits<char>::length(w));
    }
    b.resize(size);
    return b;
}

void Run7zz(const std::vector<std::string>& args) {
    std::string command = "7zz";
    for (const auto& a : args) command += " " + Quote(a);
    command += " -bso0 -bsp0 >/dev/null";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("7zz failed: " + command);
}

void Make7z(const fs::path& archive, const fs::path& folder, const std::vector<std::string>& items,
            const std::vector<std::string>& switches) {
    std::string command = "cd " + Quote(folder.string()) + " && 7zz a -t7z -bso0 -bsp0 " + Quote(archive.string());
    for (const auto& s : switches) command += " " + Quote(s);
    command += " --";
    for (const auto& i : items) command += " " + Quote(i);
    command += " >/dev/null";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("7zz failed: " + command);
}

std::uint64_t FileTimeOf(const fs::path& file) {
    struct stat st {};
    if (stat(file.c_str(), &st) != 0) throw std::runtime_error("cannot stat " + file.string());
    return kUnixEpochAsFileTime + std::uint64_t(st.st_mtim.tv_sec) * 10000000u + std::uint64_t(st.st_mtim.tv_nsec) / 100;
}

void SetFileTimeOf(const fs::path& file, std::uint64_t fileTime) {
    const std::uint64_t units = fileTime - kUnixEpochAsFileTime;
    struct timespec times[2];
    times[0].tv_sec = times[1].tv_sec = static_cast<time_t>(units / 10000000u);
    times[0].tv_nsec = times[1].tv_nsec = static_cast<long>(units % 10000000u * 100);
    if (utimensat(AT_FDCWD, file.c_str(), times, 0) != 0) throw std::runtime_error("cannot set time of " + file.string());
}

DecodeOptions WithBuiltInCoders(DecodeOptions options) {
    if (options.coders == nullptr) options.coders = &BuiltInCoders();
    return options;
}

std::unique_ptr<Archive> OpenArchive(const fs::path& file, const DecodeOptions& options) {
    return std::make_unique<Archive>(std::make_unique<StdFileSource>(file), WithBuiltInCoders(options));
}

std::unique_ptr<Archive> OpenArchiveBytes(const Bytes& bytes, const DecodeOptions& options) {
    return std::make_unique<Archive>(std::make_unique<MemorySource>(bytes), WithBuiltInCoders(options));
}

fs::path FolderTarget::Resolve(const std::vector<std::string>& path) const {
    fs::path p = root_;
    for (const auto& name : path) p /= name;
    return p;
}

void FolderTarget::MakeFolder(const std::vector<std::string>& path) { fs::create_directories(Resolve(path)); }

std::unique_ptr<OutputFile> FolderTarget::CreateOutputFile(const Entry& entry, const std::vector<std::string>& path) {
    const fs::path file = Resolve(path);
    fs::create_directories(file.parent_path());
    if (keepExisting && fs::exists(file)) return nullptr;
    return std::make_unique<FolderOutputFile>(file, entry);
}

void FolderTarget::FinishFolder(const Entry& entry, const std::vector<std::string>& path) {
    if (entry.modified) SetFileTimeOf(Resolve(path), *entry.modified);
}

std::vector<std::string> TreeOf(const fs::path& root) {
    std::vector<std::string> items;
    for (const auto& e : fs::recursive_directory_iterator(root)) items.push_back(e.path().lexically_relative(root).generic_string());
    std::sort(items.begin(), items.end());
    return items;
}

void PutNumber(Bytes& out, std::uint64_t value) {
    int extra = 0;
    while (extra < 8 && value >= (std::uint64_t(1) << (7 * (extra + 1)))) ++extra;
    if (extra == 8) {
        out.push_back(0xFF);
        PutUInt64(out, value);
        return;
    }
    const std::uint8_t prefix = static_cast<std::uint8_t>(0xFF00 >> extra);
    out.push_back(static_cast<std::uint8_t>(prefix | (value >> (8 * extra))));
    for (int i = 0; i < extra; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

Bytes WrapHeader(const Bytes& packed, const Bytes& header) {
    Bytes start = {'7', 'z', 0xBC, 0xAF, 0x27, 0x1C, 0, 4};
    Bytes fields;
    PutUInt64(fields, packed.size());
    PutUInt64(fields, header.size());
    PutUInt32(fields, Crc32(header.data(), header.size()));
    PutUInt32(start, Crc32(fields.data(), fields.size()));
    start.insert(start.end(), fields.begin(), fields.end());
    start.insert(start.end(), packed.begin(), packed.end());
    start.insert(start.end(), header.begin(), header.end());
    return start;
}

Bytes CopyArchive(const std::vector<std::pair<std::string, std::string>>& files, const Bytes& methodId) {
    Bytes packed;
    for (const auto& f : files) packed.insert(packed.end(), f.second.begin(), f.second.end());
    Bytes h = {0x01, 0x04, 0x06};
    PutNumber(h, 0);
    PutNumber(h, 1);
    h.push_back(0x09);
    PutNumber(h, packed.size());
    h.insert(h.end(), {0x00, 0x07, 0x0B});
    PutNumber(h, 1);
    h.insert(h.end(), {0x00, 0x01, static_cast<std::uint8_t>(methodId.size())});
    h.insert(h.end(), methodId.begin(), methodId.end());
    h.push_back(0x0C);
    PutNumber(h, packed.size());
    h.insert(h.end(), {0x00, 0x08, 0x0D});
    PutNumber(h, files.size());
    h.push_back(0x09);
    for (std::size_t i = 0; i + 1 < files.size(); ++i) PutNumber(h, files[i].second.size());
    h.insert(h.end(), {0x0A, 0x01});
    for (const auto& f : files)
        PutUInt32(h, Crc32(reinterpret_cast<const std::uint8_t*>(f.second.data()), f.second.size()));
    h.insert(h.end(), {0x00, 0x00, 0x05});
    PutNumber(h, files.size());
    Bytes names = {0x00};
    for (const auto& f : files) PutUtf16Name(names, f.first);
    h.push_back(0x11);
    PutNumber(h, names.size());
    h.insert(h.end(), names.begin(), names.end());
    h.insert(h.end(), {0x00, 0x00});
    return WrapHeader(packed, h);
}

}  // namespace qv::sevenzip::testing
