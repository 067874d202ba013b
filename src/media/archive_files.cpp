#include "media/archive_files.h"

#include <windows.h>

#include <cstring>
#include <mutex>

#include "archive/zor_api.h"
#include "common/errors.h"
#include "platform/handles.h"

namespace qv::win {

namespace {

struct ZorLibrary {
    UniqueModule module;
    ZorExtractArchiveFn extract = nullptr;
    ZorOpenListArchiveFn openList = nullptr;
    ZorCloseListArchiveFn closeList = nullptr;
    ZorGetLastArchiveErrorFn lastError = nullptr;
};

std::mutex gLibraryLock;
std::string gLibraryPath;
ZorLibrary gLibrary;

template <typename Fn>
Fn Bind(HMODULE m, const char* name) {
    FARPROC f = ::GetProcAddress(m, name);
    if (!f) throw ScriptError(std::string("Function not found: ") + name);
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(f));
}

const ZorLibrary& Library() {
    std::lock_guard<std::mutex> guard(gLibraryLock);
    if (!gLibrary.module) {
        HMODULE m = ::LoadLibraryExA(gLibraryPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        if (!m) throw ScriptError("Library not found: " + gLibraryPath);
        ZorLibrary lib;
        lib.module.reset(m);
        lib.extract = Bind<ZorExtractArchiveFn>(m, "ExtractArchive");
        lib.openList = Bind<ZorOpenListArchiveFn>(m, "OpenListArchive");
        lib.closeList = Bind<ZorCloseListArchiveFn>(m, "CloseListArchive");
        lib.lastError = Bind<ZorGetLastArchiveErrorFn>(m, "GetLastArchiveError");
        gLibrary = std::move(lib);
    }
    return gLibrary;
}

// The callbacks are plain functions; their settings are process-wide and set
// just before each library call (two extractions never run at once).
std::string gPassword;
bool gPasswordGiven = false;
bool gAnswerAll = false;
const ArchiveProgress* gProgress = nullptr;

std::int32_t ZOR_CALL PasswordCallback(char* buffer, std::int32_t size) {
    if (gPasswordGiven || gPassword.empty() || size <= 0) return 0;
    gPasswordGiven = true;
    std::size_t n = std::min<std::size_t>(gPassword.size(), std::size_t(size) - 1);
    std::memcpy(buffer, gPassword.data(), n);
    buffer[n] = '\0';
    return 1;
}

std::int32_t ZOR_CALL ProgressCallback(const char* entry, std::uint64_t done, std::uint64_t total) {
    if (!gProgress || !*gProgress) return 1;
    return (*gProgress)(entry ? entry : "", done, total) ? 1 : 0;
}

std::int32_t ZOR_CALL NotifyCallback(std::int32_t, std::int32_t) { return 1; }

std::int32_t ZOR_CALL AnswerCallback(std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t,
                                     std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t) {
    return gAnswerAll ? 4 : 1;
}

std::string OpenErrorText(std::int32_t code) {
    switch (code) {
    case kZorArchiveNotFound: return "The archive file was not found";
    case kZorIllegalWildcard: return "Illegal path used in a wildcard expression";
    case kZorCannotOpen: return "The archive cannot be opened: unsupported archive or incorrect password";
    default: return "General failure opening archive";
    }
}

}  // namespace

void SetArchiveLibraryPath(const std::string& path) {
    std::lock_guard<std::mutex> guard(gLibraryLock);
    gLibraryPath = path;
}

ArchiveResult ListArchiveFiles(const std::string& archive, const std::string& password,
                               std::vector<std::string>& names) {
    names.clear();
    try {
        const ZorLibrary& lib = Library();
        gPassword = password;
        gPasswordGiven = false;
        ZorArchiveEntry* entries = nullptr;
        std::int32_t count = 0;
        std::intptr_t handle =
            lib.openList(archive.c_str(), 0, PasswordCallback, 0, 0, 0, password.c_str(), &entries, &count);
        if (!handle) return {false, OpenErrorText(lib.lastError(0))};
        for (std::int32_t i = 0; i < count; ++i) names.emplace_back(entries[i].path ? entries[i].path : "");
        lib.closeList(handle);
        return {true, {}};
    } catch (const std::exception& e) {
        return {false, e.what()};
    }
}

ArchiveResult ExtractArchiveFiles(const std::string& archive, const std::string& password, const std::string& target,
                                  bool answer, bool mode, const ArchiveProgress& progress,
                                  const std::vector<std::string>* files) {
    try {
        std::vector<std::string> listed;
        if (!files) {
            ArchiveResult listing = ListArchiveFiles(archive, password, listed);
            if (!listing.ok) return listing;
            files = &listed;
        }
        std::vector<const char*> pointers;
        pointers.reserve(files->size());
        for (const auto& name : *files) pointers.push_back(name.c_str());
        ZorFileList list{pointers.data(), std::int32_t(pointers.size())};

        const ZorLibrary& lib = Library();
        gPassword = password;
        gPasswordGiven = false;
        gAnswerAll = answer;
        gProgress = &progress;
        std::int32_t ok = lib.extract(archive.c_str(), 1, target.c_str(), &list, mode ? 0 : 1, password.c_str(),
                                      PasswordCallback, ProgressCallback, NotifyCallback, AnswerCallback);
        gProgress = nullptr;
        if (!ok) return {false, "#" + std::to_string(lib.lastError(0))};
        return {true, {}};
    } catch (const std::exception& e) {
        gProgress = nullptr;
        return {false, e.what()};
    }
}

}  // namespace qv::win
