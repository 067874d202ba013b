// The calling interface of the archive library zor.dll, shared by the library
// and by the stub that loads it. Every function uses the standard calling
// convention and 8-bit (ANSI code page) texts; the exports carry these exact,
// undecorated names.
#pragma once

#include <cstdint>

#if defined(_WIN32)
#define ZOR_CALL __stdcall
#else
#define ZOR_CALL
#endif

extern "C" {

// Error codes reported by GetLastArchiveError.
enum ZorError : std::int32_t {
    kZorOk = 0,
    kZorArchiveNotFound = 1001,    // "The archive file was not found"
    kZorIllegalWildcard = 1002,    // "Illegal path used in a wildcard expression"
    kZorCannotOpen = 1003,         // "The archive cannot be opened: unsupported archive or incorrect password"
    kZorExtractFailed = 1004,      // an entry could not be decoded or written
    kZorCancelled = 1005,          // the progress callback asked to stop
    kZorUnsafePath = 1006,         // an entry would be written outside the target folder
    kZorWrongPassword = 1007,      // the password does not decrypt the data
    kZorUnsupportedMethod = 1008,  // a coder the library does not have
    kZorPasswordRequired = 1009,   // the data is encrypted and no password was given
};

// One listed entry: 48 bytes in a 32-bit process; only `path` is used by the
// stub. The two 64-bit numbers are the unpacked and packed sizes, `attributes`
// the Windows file attributes.
struct ZorArchiveEntry {
    const char* path;
    std::uint64_t size;
    std::uint64_t packedSize;
    std::uint64_t reserved;
    std::uint32_t modifiedLow;   // FILETIME
    std::uint32_t modifiedHigh;
    std::uint32_t attributes;
    std::uint32_t padding;
};

struct ZorFileList {
    const char* const* names;  // entry paths as listed
    std::int32_t count;
};

// Copies the password into buffer (size bytes, zero-terminated); 1 when it
// gave one, 0 when there is none. The library asks it only when encrypted
// data needs a password and none was passed as an argument, and at most
// once per call.
typedef std::int32_t(ZOR_CALL* ZorPasswordCallback)(char* buffer, std::int32_t size);
// Called while extracting; 1 to go on, 0 to cancel.
typedef std::int32_t(ZOR_CALL* ZorProgressCallback)(const char* entry, std::uint64_t done, std::uint64_t total);
// The second callback; its answer is ignored by the library.
typedef std::int32_t(ZOR_CALL* ZorNotifyCallback)(std::int32_t code, std::int32_t value);
// Asked before an existing file is replaced; 4 = replace all, 1 = replace.
// The library passes 1 (the question "replace this file?"), the existing
// file's full path and the entry's name as listed (both char pointers), then
// zeros; any answer other than 1 or 4 keeps the existing file.
typedef std::int32_t(ZOR_CALL* ZorAnswerCallback)(std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t,
                                                  std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t,
                                                  std::intptr_t, std::intptr_t);

// Extracts the listed entries of an archive into target. `flat` = 1 drops the
// entries' folders. Non-zero on success.
typedef std::int32_t(ZOR_CALL* ZorExtractArchiveFn)(const char* archive, std::int32_t one, const char* target,
                                                    const ZorFileList* files, std::int32_t flat,
                                                    const char* password, ZorPasswordCallback passwordCallback,
                                                    ZorProgressCallback progress, ZorNotifyCallback notify,
                                                    ZorAnswerCallback answer);
// Opens an archive and lists its entries; returns a handle, 0 on failure.
// The entry records stay valid until the handle is closed.
typedef std::intptr_t(ZOR_CALL* ZorOpenListArchiveFn)(const char* archive, std::int32_t zero1,
                                                      ZorPasswordCallback passwordCallback, std::int32_t zero2,
                                                      std::int32_t zero3, std::int32_t zero4, const char* password,
                                                      ZorArchiveEntry** entries, std::int32_t* count);
typedef void(ZOR_CALL* ZorCloseListArchiveFn)(std::intptr_t handle);
// The code of the calling thread's last call (kZorOk after a success).
typedef std::int32_t(ZOR_CALL* ZorGetLastArchiveErrorFn)(std::int32_t zero);

}  // extern "C"

static_assert(sizeof(void*) != 4 || sizeof(ZorArchiveEntry) == 48, "entry record is 48 bytes in a 32-bit process");
