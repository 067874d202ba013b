// The four exports of zor.dll. None lets an exception out: each failure
// becomes a zero result and an error code for GetLastArchiveError, kept per
// thread, so that an extraction in a worker thread and a listing on the main
// thread do not overwrite each other's code. Every call resets the calling
// thread's code to kZorOk first.
//
// Archives are read through the staged format library (format_library.h),
// loaded for each call; without it nothing can be opened (kZorCannotOpen).
// The password is the argument when it is not empty, else what the password
// callback gives, asked once when encrypted data first needs it.
#include <windows.h>

#include <map>
#include <type_traits>

#include "archive/sevenzip/archive_error.h"
#include "archive/sevenzip/extractor.h"
#include "archive/zor/format_library.h"
#include "archive/zor/listing.h"
#include "archive/zor/win_extract_target.h"
#include "archive/zor/win_file_source.h"
#include "archive/zor/win_text.h"
#include "archive/zor_api.h"

using qv::sevenzip::ArchiveError;
using qv::sevenzip::ArchiveErrorKind;
using qv::sevenzip::Entry;
using qv::zor::FormatArchive;
using qv::zor::FormatLibrary;

namespace {

thread_local std::int32_t lastError = kZorOk;

std::int32_t Fail(std::int32_t code) {
    lastError = code;
    return 0;
}

constexpr std::int32_t kPasswordBufferSize = 1024;

qv::zor::PasswordSource PasswordOf(const char* password, ZorPasswordCallback callback) {
    return [given = std::string(password != nullptr ? password : ""), callback]() -> std::optional<std::u16string> {
        std::string text = given;
        if (text.empty()) {
            char buffer[kPasswordBufferSize] = {};
            if (callback == nullptr || callback(buffer, kPasswordBufferSize) == 0) return std::nullopt;
            buffer[kPasswordBufferSize - 1] = '\0';
            text = buffer;
        }
        const std::wstring wide = qv::zor::AnsiToWide(text);
        return std::u16string(wide.begin(), wide.end());
    };
}

// An archive opened for one call: the format library, the file and the
// archive read through them.
struct OpenedArchive {
    // The file first: a missing archive is reported as such even without
    // the format library.
    OpenedArchive(const char* path, const char* password, ZorPasswordCallback callback)
        : file(Source(path)), archive(library, *file, PasswordOf(password, callback)) {}

    static std::unique_ptr<qv::zor::WinFileSource> Source(const char* path) {
        if (path == nullptr || *path == '\0') throw ArchiveError(ArchiveErrorKind::NotFound, "No archive was named");
        return std::make_unique<qv::zor::WinFileSource>(qv::zor::AnsiToWide(path));
    }

    std::unique_ptr<qv::zor::WinFileSource> file;
    FormatLibrary library;
    FormatArchive archive;
};

// Opening failures: the archive is missing, or it is not one this library
// can read (no 7z signature, a damaged header, an encrypted header without
// the right password, no format library).
std::int32_t OpenErrorCode(const ArchiveError& e) {
    return e.kind() == ArchiveErrorKind::NotFound ? kZorArchiveNotFound : kZorCannotOpen;
}

std::int32_t ExtractErrorCode(const ArchiveError& e) {
    switch (e.kind()) {
        case ArchiveErrorKind::Cancelled: return kZorCancelled;
        case ArchiveErrorKind::UnsafePath: return kZorUnsafePath;
        case ArchiveErrorKind::UnsupportedMethod: return kZorUnsupportedMethod;
        case ArchiveErrorKind::WrongPassword: return kZorWrongPassword;
        case ArchiveErrorKind::PasswordRequired: return kZorPasswordRequired;
        default: return kZorExtractFailed;
    }
}

std::string NormalisedName(const char* name) {
    std::string n = name;
    for (char& c : n)
        if (c == '/') c = '\\';
    return n;
}

// The entries named in the list (all entries without a list), by the names
// the listing gives them.
std::vector<std::size_t> SelectEntries(const std::vector<Entry>& entries, const ZorFileList* files) {
    std::vector<std::size_t> chosen;
    if (files == nullptr) {
        for (std::size_t i = 0; i < entries.size(); ++i) chosen.push_back(i);
        return chosen;
    }
    std::map<std::string, bool> wanted;
    for (std::int32_t i = 0; i < files->count; ++i)
        if (files->names != nullptr && files->names[i] != nullptr) wanted.emplace(NormalisedName(files->names[i]), false);
    for (std::size_t i = 0; i < entries.size() && !wanted.empty(); ++i) {
        const auto it = wanted.find(qv::zor::ListedName(entries[i].path));
        if (it == wanted.end()) continue;
        chosen.push_back(i);
        it->second = true;
    }
    for (const auto& [name, found] : wanted)
        if (!found) throw ArchiveError(ArchiveErrorKind::NotFound, "The archive has no entry \"" + name + "\"");
    return chosen;
}

}  // namespace

extern "C" {

std::intptr_t ZOR_CALL OpenListArchive(const char* archive, std::int32_t, ZorPasswordCallback passwordCallback,
                                       std::int32_t, std::int32_t, std::int32_t, const char* password,
                                       ZorArchiveEntry** entries, std::int32_t* count) {
    lastError = kZorOk;
    try {
        const OpenedArchive opened(archive, password, passwordCallback);
        std::unique_ptr<qv::zor::Listing> listing = qv::zor::ListEntries(opened.archive.Entries());
        if (listing->records.size() > INT32_MAX) return Fail(kZorCannotOpen);
        if (entries != nullptr) *entries = listing->records.empty() ? nullptr : listing->records.data();
        if (count != nullptr) *count = static_cast<std::int32_t>(listing->records.size());
        return qv::zor::RegisterListing(std::move(listing));
    } catch (const ArchiveError& e) {
        return Fail(OpenErrorCode(e));
    } catch (...) {
        return Fail(kZorCannotOpen);
    }
}

std::int32_t ZOR_CALL ExtractArchive(const char* archive, std::int32_t, const char* target, const ZorFileList* files,
                                     std::int32_t flat, const char* password, ZorPasswordCallback passwordCallback,
                                     ZorProgressCallback progress, ZorNotifyCallback, ZorAnswerCallback answer) {
    lastError = kZorOk;
    std::unique_ptr<OpenedArchive> opened;
    try {
        opened = std::make_unique<OpenedArchive>(archive, password, passwordCallback);
    } catch (const ArchiveError& e) {
        return Fail(OpenErrorCode(e));
    } catch (...) {
        return Fail(kZorCannotOpen);
    }
    try {
        const std::vector<std::size_t> chosen = SelectEntries(opened->archive.Entries(), files);
        qv::zor::WinExtractTarget folder(qv::zor::AnsiToWide(target != nullptr ? target : ""), answer);
        qv::zor::ExtractProgress report;
        if (progress != nullptr) {
            report = [progress, name = std::string(), of = static_cast<const Entry*>(nullptr)](
                         const Entry& entry, std::uint64_t done, std::uint64_t total) mutable {
                if (of != &entry) {
                    name = qv::zor::ListedName(entry.path);
                    of = &entry;
                }
                return progress(name.c_str(), done, total) != 0;
            };
        }
        opened->archive.Extract(chosen, flat != 0, folder, report);
        return 1;
    } catch (const ArchiveError& e) {
        return Fail(ExtractErrorCode(e));
    } catch (...) {
        return Fail(kZorExtractFailed);
    }
}

void ZOR_CALL CloseListArchive(std::intptr_t handle) {
    lastError = kZorOk;
    qv::zor::ReleaseListing(handle);
}

std::int32_t ZOR_CALL GetLastArchiveError(std::int32_t) { return lastError; }

}  // extern "C"

static_assert(std::is_same_v<decltype(&OpenListArchive), ZorOpenListArchiveFn>, "OpenListArchive signature");
static_assert(std::is_same_v<decltype(&ExtractArchive), ZorExtractArchiveFn>, "ExtractArchive signature");
static_assert(std::is_same_v<decltype(&CloseListArchive), ZorCloseListArchiveFn>, "CloseListArchive signature");
static_assert(std::is_same_v<decltype(&GetLastArchiveError), ZorGetLastArchiveErrorFn>, "GetLastArchiveError signature");
