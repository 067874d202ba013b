#include "archive/zor/win_extract_target.h"

#include <windows.h>

#include "archive/sevenzip/archive_error.h"
#include "archive/zor/win_text.h"
#include "platform/handles.h"

namespace qv::zor {

using sevenzip::ArchiveError;
using sevenzip::ArchiveErrorKind;
using sevenzip::Entry;

namespace {

// The question the answer callback is asked: may an existing file be replaced?
constexpr std::intptr_t kAskReplaceFile = 1;
constexpr std::int32_t kAnswerYes = 1;
constexpr std::int32_t kAnswerYesToAll = 4;

// The attributes a file or folder can be given; the rest describe how the
// archiving system stored it.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                      FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

[[noreturn]] void ThrowWriteFailed(const std::wstring& path) {
    throw ArchiveError(ArchiveErrorKind::WriteFailed, "Cannot write \"" + WideToAnsi(path) + "\"");
}

void CreateFolder(const std::wstring& path) {
    if (CreateDirectoryW(path.c_str(), nullptr)) return;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) ThrowWriteFailed(path);
}

FILETIME ToFileTime(std::uint64_t value) {
    FILETIME t;
    t.dwLowDateTime = static_cast<DWORD>(value);
    t.dwHighDateTime = static_cast<DWORD>(value >> 32);
    return t;
}

class WinOutputFile : public sevenzip::OutputFile {
public:
    WinOutputFile(std::wstring final, const Entry& entry) : final_(std::move(final)), entry_(entry) {
        // A fresh name in the same folder, so that the final move cannot
        // cross volumes and no other file of the extraction is touched.
        const std::wstring folder = final_.substr(0, final_.find_last_of(L'\\'));
        wchar_t temp[MAX_PATH];
        if (GetTempFileNameW(folder.c_str(), L"zor", 0, temp) == 0) ThrowWriteFailed(final_);
        temp_ = temp;
        file_ = win::UniqueFile(CreateFileW(temp_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file_) {
            DeleteFileW(temp_.c_str());
            ThrowWriteFailed(final_);
        }
    }

    ~WinOutputFile() override {
        if (committed_) return;
        file_.reset();
        DeleteFileW(temp_.c_str());
    }

    void Write(const std::uint8_t* data, std::size_t size) override {
        while (size > 0) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
            if (!WriteFile(file_.get(), data, chunk, &written, nullptr) || written == 0) ThrowWriteFailed(final_);
            data += written;
            size -= written;
        }
    }

    void Commit() override {
        if (entry_.modified) {
            const FILETIME modified = ToFileTime(*entry_.modified);
            SetFileTime(file_.get(), nullptr, nullptr, &modified);
        }
        file_.reset();
        // A read-only file is replaced like any other.
        SetFileAttributesW(final_.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!MoveFileExW(temp_.c_str(), final_.c_str(), MOVEFILE_REPLACE_EXISTING)) ThrowWriteFailed(final_);
        committed_ = true;
        SetFileAttributesW(final_.c_str(), WindowsAttributes(entry_));
    }

private:
    std::wstring final_, temp_;
    const Entry& entry_;
    win::UniqueFile file_;
    bool committed_ = false;
};

}  // namespace

std::uint32_t WindowsAttributes(const Entry& entry) {
    const DWORD stored = entry.attributes.value_or(0) & kSettableAttributes;
    if (entry.isDirectory) return stored | FILE_ATTRIBUTE_DIRECTORY;
    return stored != 0 ? stored : FILE_ATTRIBUTE_NORMAL;
}

WinExtractTarget::WinExtractTarget(const std::wstring& root, ZorAnswerCallback answer) : answer_(answer) {
    root_ = root;
    while (root_.size() > 1 && (root_.back() == L'\\' || root_.back() == L'/')) root_.pop_back();
    if (root_.empty()) ThrowWriteFailed(root);
    // Missing parents from the top down; a failure among them shows when
    // the target itself cannot be created.
    for (std::size_t at = root_.find_first_of(L"\\/", 1); at != std::wstring::npos;
         at = root_.find_first_of(L"\\/", at + 1))
        CreateDirectoryW(root_.substr(0, at).c_str(), nullptr);
    CreateFolder(root_);
}

std::wstring WinExtractTarget::Resolve(const std::vector<std::string>& path, std::size_t count) const {
    std::wstring full = root_;
    for (std::size_t i = 0; i < count; ++i) full += L'\\' + Utf8ToWide(path[i]);
    return full;
}

void WinExtractTarget::MakeFolder(const std::vector<std::string>& path) {
    for (std::size_t n = 1; n <= path.size(); ++n) CreateFolder(Resolve(path, n));
}

bool WinExtractTarget::MayReplace(const std::wstring& file, const Entry& entry) {
    if (replaceAll_ || answer_ == nullptr) return true;
    const std::string existing = WideToAnsi(file);
    const std::string name = ListedName(entry.path);
    const std::int32_t answer = answer_(kAskReplaceFile, reinterpret_cast<std::intptr_t>(existing.c_str()),
                                        reinterpret_cast<std::intptr_t>(name.c_str()), 0, 0, 0, 0, 0, 0, 0);
    if (answer == kAnswerYesToAll) replaceAll_ = true;
    return answer == kAnswerYes || answer == kAnswerYesToAll;
}

std::unique_ptr<sevenzip::OutputFile> WinExtractTarget::CreateOutputFile(const Entry& entry,
                                                                         const std::vector<std::string>& path) {
    for (std::size_t n = 1; n < path.size(); ++n) CreateFolder(Resolve(path, n));
    std::wstring file = Resolve(path, path.size());
    const DWORD existing = GetFileAttributesW(file.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES) {
        if ((existing & FILE_ATTRIBUTE_DIRECTORY) != 0) ThrowWriteFailed(file);
        if (!MayReplace(file, entry)) return nullptr;
    }
    return std::make_unique<WinOutputFile>(std::move(file), entry);
}

void WinExtractTarget::FinishFolder(const Entry& entry, const std::vector<std::string>& path) {
    // Folder times and attributes are a courtesy: a failure to set them
    // leaves the extracted files as they are and is not reported.
    const std::wstring folder = Resolve(path, path.size());
    if (entry.modified) {
        const win::UniqueFile handle(CreateFileW(folder.c_str(), FILE_WRITE_ATTRIBUTES,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        const FILETIME modified = ToFileTime(*entry.modified);
        if (handle) SetFileTime(handle.get(), nullptr, nullptr, &modified);
    }
    const DWORD attributes = WindowsAttributes(entry) & ~FILE_ATTRIBUTE_DIRECTORY;
    if (attributes != 0) SetFileAttributesW(folder.c_str(), attributes);
}

}  // namespace qv::zor
