#include "media/codec_staging.h"

#include <string>

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/system_facts.h"

namespace qv::win {
namespace {

struct StagedLibrary {
    const char* resource;
    const char* file;  // below the staging folder
};

// In this order; the first that cannot be written ends the staging.
constexpr StagedLibrary kStagedLibraries[] = {
    {"CODECAES", "Codecs\\Aes.dll"},     {"CODEC7ZAES", "Codecs\\7zAes.dll"}, {"CODECBRANCH", "Codecs\\Branch.dll"},
    {"CODECCOPY", "Codecs\\Copy.dll"},   {"CODECLZMA", "Codecs\\LZMA.dll"},   {"CODECSWAP", "Codecs\\Swap.dll"},
    {"FORMAT7Z", "Formats\\7z.dll"},
};

constexpr const char* kLibrariesKey = "SOFTWARE\\Zembrot\\Quorvex\\Seven Zip";

// The bytes of an RCDATA resource; false when the module has none of that name.
bool ResourceBytes(HMODULE module, const char* name, std::string& bytes) {
    HRSRC found = ::FindResourceA(module, name, MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (found == nullptr) return false;
    HGLOBAL loaded = ::LoadResource(module, found);
    const void* data = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (data == nullptr) return false;
    bytes.assign(static_cast<const char*>(data), ::SizeofResource(module, found));
    return true;
}

// A read-only file of an earlier staging is replaced like any other.
bool StageLibrary(HMODULE module, const StagedLibrary& library, const std::string& folder) {
    const std::string path = folder + library.file;
    ClearAttributes(path);
    ::DeleteFileA(path.c_str());
    std::string bytes;
    if (ResourceBytes(module, library.resource, bytes)) WriteWholeFile(path, bytes);
    return FileExists(path);
}

}  // namespace

bool StageArchiveCodecsFrom(HMODULE module, const std::string& folder) {
    try {
        ForceDirectories(folder + "Codecs");
        ForceDirectories(folder + "Formats");
        if (!DirectoryExists(folder + "Codecs") || !DirectoryExists(folder + "Formats")) return false;
        for (const StagedLibrary& library : kStagedLibraries)
            if (!StageLibrary(module, library, folder)) return false;
        return WriteRegistryString(HKEY_CURRENT_USER, kLibrariesKey, "Path", folder);
    } catch (...) {
        return false;
    }
}

bool StageArchiveCodecs() {
    try {
        const std::string root = ApplicationDataRoot(false);
        if (root.empty()) return false;
        return StageArchiveCodecsFrom(::GetModuleHandleA(nullptr), root + "Seven Zip\\");
    } catch (...) {
        return false;
    }
}

}  // namespace qv::win
