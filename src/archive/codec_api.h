// The calling interface between the archive libraries of a setup:
//
//   zor.dll  --(format interface)-->  Formats\7z.dll  --(codec interface)-->  Codecs\*.dll
//
// zor.dll finds the folder of the others in the "Path" value of
// HKEY_CURRENT_USER\SOFTWARE\Zembrot\Quorvex\Seven Zip (trailing backslash)
// and loads Path + "Formats\7z.dll"; the format library loads every codec
// library in Path + "Codecs\" when it opens an archive, asks each which
// methods it decodes, and builds each coder of a folder through the library
// that has its method. All libraries are loaded by full path.
//
// Plain C: no C++ object, exception or allocation crosses a library
// boundary. Each side owns what it allocates and hands out functions to
// release it. Every failure is a status code (with a UTF-8 text for the
// curious); the codes are the same on every boundary, so a failure deep in
// a chain of coders (a CRC error, a truncated stream, a wrong password)
// reaches the archive library with its kind intact.
//
// Calling convention: cdecl. Exports carry the plain names below.
#pragma once

#include <stdint.h>

#if defined(_WIN32)
#define QV_ARCHIVE_CALL __cdecl
#else
#define QV_ARCHIVE_CALL
#endif

extern "C" {

// Raised whenever a structure or a function below changes meaning; a
// library of another version is not used.
enum { kQvArchiveAbiVersion = 1 };

enum QvStatusCode : int32_t {
    kQvOk = 0,
    kQvNotArchive = 1,          // no 7z signature
    kQvDamaged = 2,             // impossible structure, truncated archive, header CRC
    kQvDataError = 3,           // data that cannot be decoded or fails its CRC
    kQvUnsupportedMethod = 4,   // no library decodes the method
    kQvUnsupported = 5,         // a format feature that is not handled
    kQvResourceLimit = 6,       // more memory than allowed, or none left
    kQvUnsafePath = 7,          // an entry would be written outside the target folder
    kQvCancelled = 8,           // the progress function asked to stop
    kQvWriteFailed = 9,         // the extraction target could not be written
    kQvNotFound = 10,           // a requested entry is not in the archive
    kQvWrongPassword = 11,      // encrypted data the password does not decrypt
    kQvPasswordRequired = 12,   // encrypted data and no password
    kQvLibraryMissing = 13,     // a codec library is missing or of another version
    kQvInternal = 14,           // anything else
};

struct QvStatus {
    int32_t code;
    char message[256];  // UTF-8, zero-terminated, possibly shortened
};

// A byte stream handed from one library to another. read gives up to size
// bytes (size > 0): the count, 0 at the end of the stream, -1 on failure,
// after which failure fills in why. release frees the stream (and whatever
// it reads from). A stream handed to a call belongs to the callee from then
// on, whether the call succeeds or not.
struct QvStream {
    void* context;
    int32_t(QV_ARCHIVE_CALL* read)(void* context, uint8_t* dst, uint32_t size);
    void(QV_ARCHIVE_CALL* failure)(void* context, QvStatus* status);
    void(QV_ARCHIVE_CALL* release)(void* context);
};

// Copies the password, UTF-16 code units without a terminator, into buffer
// and returns its length; returns -1 when there is none, and the length
// without copying when it exceeds capacity.
typedef int32_t(QV_ARCHIVE_CALL* QvPasswordFn)(void* context, uint16_t* buffer, int32_t capacity);

// ---------------------------------------------------------------------------
// Codec libraries: Codecs\Copy.dll, LZMA.dll, Branch.dll, Swap.dll, Aes.dll,
// 7zAes.dll.

// One coder of a folder, as the archive header describes it.
struct QvCoderSpec {
    uint64_t methodId;             // the id bytes big-endian ("030101" = 0x030101)
    const uint8_t* properties;
    uint32_t propertiesSize;
    uint32_t numInStreams;         // the packed-side inputs handed over with it
    uint64_t outSize;              // the decoder produces exactly this many bytes
};

// What the format library offers a decoder while it is being created (the
// pointers are valid only during QvCodecCreateDecoder).
struct QvCodecHost {
    uint32_t abiVersion;
    uint32_t maxKeyStretchPower;   // encrypted data: refuse keys hashed more than 2^n times
    uint64_t memoryLimit;          // the largest dictionary a decoder may allocate
    void* context;
    QvPasswordFn password;         // asked at most once per archive
    // Builds a coder of another method (the 7z encryption method builds its
    // AES-256-CBC cipher this way, from Aes.dll) over the given inputs,
    // which it takes over; *output receives the decoded stream. Returns
    // kQvOk or a status code, with status filled in.
    int32_t(QV_ARCHIVE_CALL* createCoder)(void* context, const QvCoderSpec* coderSpec, QvStream* inputs, uint32_t count,
                                          QvStream* output, QvStatus* status);
};

// "QvCodecAbiVersion": kQvArchiveAbiVersion of the library.
typedef uint32_t(QV_ARCHIVE_CALL* QvCodecAbiVersionFn)(void);
// "QvCodecMethods": copies up to capacity method ids into ids and returns
// how many methods the library decodes.
typedef uint32_t(QV_ARCHIVE_CALL* QvCodecMethodsFn)(uint64_t* ids, uint32_t capacity);
// "QvCodecCreateDecoder": the decoder of one coder over its inputs (count =
// coderSpec->numInStreams, taken over). On success *output is the decoded
// stream; releasing it destroys the decoder. Returns kQvOk or a status code.
typedef int32_t(QV_ARCHIVE_CALL* QvCodecCreateDecoderFn)(const QvCoderSpec* coderSpec, QvStream* inputs, uint32_t count,
                                                         const QvCodecHost* host, QvStream* output, QvStatus* status);

// ---------------------------------------------------------------------------
// The format library: Formats\7z.dll.

struct QvArchive;

// The archive file; it must stay readable until the archive is closed.
// readAt reads up to size bytes at offset and returns the count (fewer only
// at the end of the file), or -1 when the file cannot be read.
struct QvArchiveSource {
    void* context;
    uint64_t size;
    int32_t(QV_ARCHIVE_CALL* readAt)(void* context, uint64_t offset, uint8_t* dst, uint32_t size);
};

struct QvOpenSettings {
    uint32_t abiVersion;
    const char* codecFolder;       // ANSI full path ending in a backslash: Path + "Codecs\"
    uint64_t memoryLimit;
    uint32_t maxKeyStretchPower;
    void* context;
    QvPasswordFn password;         // may be null: no password; asked at most once, when first needed
};

enum QvEntryFlags : uint32_t {
    kQvEntryDirectory = 1,
    kQvEntryHasStream = 2,
    kQvEntryAnti = 4,              // a deletion mark of an update archive, never extracted
    kQvEntryHasModified = 8,
    kQvEntryHasAttributes = 16,
    kQvEntryHasCrc = 32,
};

struct QvEntryInfo {
    const char* path;              // UTF-8 as stored; valid until the archive is closed
    uint64_t size;
    uint64_t packedSize;           // on the first file of its folder only
    uint64_t modified;             // FILETIME
    uint32_t attributes;
    uint32_t crc;
    uint32_t flags;                // QvEntryFlags
};

// Where the extracted entries go, implemented by the caller. An entry's
// names are its path below the target folder, already checked to stay
// inside it. Each function returns kQvOk or a status code, which stops the
// extraction and is its result.
struct QvExtractSink {
    void* context;
    // Creates the folder and any missing parents.
    int32_t(QV_ARCHIVE_CALL* makeFolder)(void* context, const char* const* names, uint32_t count);
    // Opens the file for the entry; *file = null keeps an existing file and
    // skips the entry.
    int32_t(QV_ARCHIVE_CALL* openFile)(void* context, uint32_t entry, const char* const* names, uint32_t count,
                                       void** file);
    int32_t(QV_ARCHIVE_CALL* write)(void* context, void* file, const uint8_t* data, uint32_t size);
    // All data written and checked: the file is put in place. Either commit
    // or discard ends every opened file.
    int32_t(QV_ARCHIVE_CALL* commit)(void* context, void* file);
    void(QV_ARCHIVE_CALL* discard)(void* context, void* file);
    // Once all files are written: the folder's time and attributes.
    int32_t(QV_ARCHIVE_CALL* finishFolder)(void* context, uint32_t entry, const char* const* names, uint32_t count);
    // Bytes written so far of the total chosen; 0 cancels.
    int32_t(QV_ARCHIVE_CALL* progress)(void* context, uint32_t entry, uint64_t done, uint64_t total);
};

// "QvFormatAbiVersion"
typedef uint32_t(QV_ARCHIVE_CALL* QvFormatAbiVersionFn)(void);
// "QvFormatOpen": reads the headers (asking for the password when they are
// encrypted). Null on failure, with status filled in.
typedef QvArchive*(QV_ARCHIVE_CALL* QvFormatOpenFn)(const QvArchiveSource* source, const QvOpenSettings* settings,
                                                     QvStatus* status);
// "QvFormatEntryCount", "QvFormatEntry": the entries in archive order.
typedef uint32_t(QV_ARCHIVE_CALL* QvFormatEntryCountFn)(QvArchive* archive);
typedef int32_t(QV_ARCHIVE_CALL* QvFormatEntryFn)(QvArchive* archive, uint32_t index, QvEntryInfo* info);
// "QvFormatExtract": extracts the entries with these indices into the sink;
// flat drops their folders. Returns kQvOk or a status code.
typedef int32_t(QV_ARCHIVE_CALL* QvFormatExtractFn)(QvArchive* archive, const uint32_t* indices, uint32_t count,
                                                    int32_t flat, const QvExtractSink* sink, QvStatus* status);
// "QvFormatClose": frees the archive and unloads its codec libraries.
typedef void(QV_ARCHIVE_CALL* QvFormatCloseFn)(QvArchive* archive);

}  // extern "C"
