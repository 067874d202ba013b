#include "archive/zor/format_library.h"

#include <algorithm>

#include "archive/bridge/status.h"
#include "archive/sevenzip/archive_error.h"
#include "platform/registry.h"

namespace qv::zor {

using sevenzip::ArchiveError;
using sevenzip::ArchiveErrorKind;
using sevenzip::Entry;

namespace {

// The reader's limits: the largest dictionary 7zz writes, and its key stretching.
constexpr std::uint64_t kMemoryLimit = std::uint64_t(1536) << 20;
constexpr std::uint32_t kMaxKeyStretchPower = 24;

[[noreturn]] void ThrowMissing(const std::string& what) {
    throw ArchiveError(ArchiveErrorKind::LibraryMissing, "The format library cannot be used: " + what);
}

template <typename Fn>
Fn Bind(HMODULE module, const char* name) {
    const auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
    if (fn == nullptr) ThrowMissing(name);
    return fn;
}

std::int32_t QV_ARCHIVE_CALL ReadAt(void* context, std::uint64_t offset, std::uint8_t* dst, std::uint32_t size) {
    try {
        return static_cast<std::int32_t>(static_cast<sevenzip::RandomAccessSource*>(context)->ReadAt(offset, dst, size));
    } catch (...) {
        return -1;
    }
}

std::int32_t QV_ARCHIVE_CALL Password(void* context, std::uint16_t* buffer, std::int32_t capacity) {
    try {
        const std::optional<std::u16string> password = (*static_cast<PasswordSource*>(context))();
        if (!password) return -1;
        const auto size = static_cast<std::int32_t>(std::min<std::size_t>(password->size(), INT32_MAX));
        if (size <= capacity) std::copy_n(password->data(), size, reinterpret_cast<char16_t*>(buffer));
        return size;
    } catch (...) {
        return -1;
    }
}

Entry EntryOf(const QvEntryInfo& info) {
    Entry e;
    e.path = info.path != nullptr ? info.path : "";
    e.isDirectory = (info.flags & kQvEntryDirectory) != 0;
    e.hasStream = (info.flags & kQvEntryHasStream) != 0;
    e.isAnti = (info.flags & kQvEntryAnti) != 0;
    e.size = info.size;
    e.packedSize = info.packedSize;
    if (info.flags & kQvEntryHasModified) e.modified = info.modified;
    if (info.flags & kQvEntryHasAttributes) e.attributes = info.attributes;
    if (info.flags & kQvEntryHasCrc) e.crc = info.crc;
    return e;
}

// The sink functions over the caller's target; its exceptions become codes.
struct Sink {
    sevenzip::ExtractTarget& target;
    const std::vector<Entry>& entries;
    const ExtractProgress& progress;

    static Sink& Of(void* context) { return *static_cast<Sink*>(context); }

    static std::vector<std::string> PathOf(const char* const* names, std::uint32_t count) {
        return std::vector<std::string>(names, names + count);
    }

    template <typename Body>
    static std::int32_t Guard(Body body) {
        try {
            body();
            return kQvOk;
        } catch (...) {
            return bridge::SetStatusFromCurrentException(nullptr);
        }
    }

    static std::int32_t QV_ARCHIVE_CALL MakeFolder(void* context, const char* const* names, std::uint32_t count) {
        return Guard([&] { Of(context).target.MakeFolder(PathOf(names, count)); });
    }

    static std::int32_t QV_ARCHIVE_CALL OpenFile(void* context, std::uint32_t entry, const char* const* names,
                                                 std::uint32_t count, void** file) {
        *file = nullptr;
        return Guard([&] {
            Sink& sink = Of(context);
            *file = sink.target.CreateOutputFile(sink.entries.at(entry), PathOf(names, count)).release();
        });
    }

    static std::int32_t QV_ARCHIVE_CALL Write(void*, void* file, const std::uint8_t* data, std::uint32_t size) {
        return Guard([&] { static_cast<sevenzip::OutputFile*>(file)->Write(data, size); });
    }

    static std::int32_t QV_ARCHIVE_CALL Commit(void*, void* file) {
        const std::unique_ptr<sevenzip::OutputFile> owned(static_cast<sevenzip::OutputFile*>(file));
        return Guard([&] { owned->Commit(); });
    }

    static void QV_ARCHIVE_CALL Discard(void*, void* file) {
        try {
            delete static_cast<sevenzip::OutputFile*>(file);
        } catch (...) {
        }
    }

    static std::int32_t QV_ARCHIVE_CALL FinishFolder(void* context, std::uint32_t entry, const char* const* names,
                                                     std::uint32_t count) {
        return Guard([&] {
            Sink& sink = Of(context);
            sink.target.FinishFolder(sink.entries.at(entry), PathOf(names, count));
        });
    }

    static std::int32_t QV_ARCHIVE_CALL Progress(void* context, std::uint32_t entry, std::uint64_t done,
                                                 std::uint64_t total) {
        try {
            Sink& sink = Of(context);
            return !sink.progress || sink.progress(sink.entries.at(entry), done, total) ? 1 : 0;
        } catch (...) {
            return 0;
        }
    }
};

}  // namespace

FormatLibrary::FormatLibrary() {
    const std::optional<std::string> path = win::ReadRegistryString(HKEY_CURRENT_USER, kLibrariesKey, kLibrariesValue);
    if (!path || path->empty()) ThrowMissing("the \"Path\" value is missing");
    std::string folder = *path;
    if (folder.back() != '\\') folder += '\\';
    const std::string file = folder + "Formats\\7z.dll";
    module_.reset(::LoadLibraryExA(file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!module_) ThrowMissing(file);
    const HMODULE m = module_.get();
    if (Bind<QvFormatAbiVersionFn>(m, "QvFormatAbiVersion")() != kQvArchiveAbiVersion) ThrowMissing(file);
    open_ = Bind<QvFormatOpenFn>(m, "QvFormatOpen");
    entryCount_ = Bind<QvFormatEntryCountFn>(m, "QvFormatEntryCount");
    entry_ = Bind<QvFormatEntryFn>(m, "QvFormatEntry");
    extract_ = Bind<QvFormatExtractFn>(m, "QvFormatExtract");
    close_ = Bind<QvFormatCloseFn>(m, "QvFormatClose");
    codecFolder_ = folder + "Codecs\\";
}

FormatArchive::FormatArchive(const FormatLibrary& library, sevenzip::RandomAccessSource& source,
                             PasswordSource password)
    : library_(library), source_(source), password_(std::move(password)) {
    const QvArchiveSource abiSource{&source_, source_.Size(), ReadAt};
    QvOpenSettings settings{};
    settings.abiVersion = kQvArchiveAbiVersion;
    settings.codecFolder = library_.codecFolder_.c_str();
    settings.memoryLimit = kMemoryLimit;
    settings.maxKeyStretchPower = kMaxKeyStretchPower;
    settings.context = &password_;
    settings.password = password_ ? Password : nullptr;
    QvStatus status{};
    archive_ = library_.open_(&abiSource, &settings, &status);
    if (archive_ == nullptr) bridge::ThrowStatus(status);
    try {
        const std::uint32_t count = library_.entryCount_(archive_);
        entries_.reserve(count);
        for (std::uint32_t i = 0; i < count; ++i) {
            QvEntryInfo info{};
            if (library_.entry_(archive_, i, &info) != kQvOk) ThrowMissing("an entry cannot be read");
            entries_.push_back(EntryOf(info));
        }
    } catch (...) {
        library_.close_(archive_);
        throw;
    }
}

FormatArchive::~FormatArchive() { library_.close_(archive_); }

void FormatArchive::Extract(const std::vector<std::size_t>& indices, bool flat, sevenzip::ExtractTarget& target,
                            const ExtractProgress& progress) {
    const std::vector<std::uint32_t> chosen(indices.begin(), indices.end());
    Sink sink{target, entries_, progress};
    const QvExtractSink functions{&sink,          Sink::MakeFolder, Sink::OpenFile,     Sink::Write,
                                  Sink::Commit,   Sink::Discard,    Sink::FinishFolder, Sink::Progress};
    QvStatus status{};
    if (library_.extract_(archive_, chosen.data(), static_cast<std::uint32_t>(chosen.size()), flat ? 1 : 0,
                          &functions, &status) != kQvOk)
        bridge::ThrowStatus(status);
}

}  // namespace qv::zor
