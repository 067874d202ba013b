// The exports of the format library, Formats\7z.dll: the portable reader
// over the caller's archive file, with the coders of the codec libraries.
// No exception leaves an export; each failure is a status code.
#include <memory>
#include <string>

#include "archive/bridge/status.h"
#include "archive/codec_api.h"
#include "archive/format/codec_libraries.h"
#include "archive/format/sink_target.h"
#include "archive/sevenzip/archive.h"
#include "archive/sevenzip/archive_error.h"
#include "archive/sevenzip/extractor.h"

using qv::sevenzip::ArchiveError;
using qv::sevenzip::ArchiveErrorKind;

struct QvArchive {
    // Declared first, destroyed last: the archive's coders come from them.
    std::unique_ptr<qv::format::CodecLibraries> codecs;
    std::unique_ptr<qv::sevenzip::Archive> archive;
};

namespace {

class CallerSource : public qv::sevenzip::RandomAccessSource {
public:
    explicit CallerSource(const QvArchiveSource& source) : source_(source) {}
    std::uint64_t Size() const override { return source_.size; }
    std::size_t ReadAt(std::uint64_t offset, std::uint8_t* dst, std::size_t size) override {
        std::size_t total = 0;
        while (total < size) {
            const auto want = static_cast<std::uint32_t>(std::min<std::size_t>(size - total, 1u << 30));
            const std::int32_t got = source_.readAt(source_.context, offset + total, dst + total, want);
            if (got < 0 || static_cast<std::uint32_t>(got) > want)
                throw ArchiveError(ArchiveErrorKind::Damaged, "The archive file cannot be read");
            if (got == 0) break;
            total += static_cast<std::size_t>(got);
        }
        return total;
    }

private:
    QvArchiveSource source_;
};

std::optional<std::u16string> AskPassword(QvPasswordFn password, void* context) {
    std::u16string text(64, u'\0');
    for (;;) {
        const std::int32_t n = password(context, reinterpret_cast<std::uint16_t*>(text.data()),
                                        static_cast<std::int32_t>(text.size()));
        if (n < 0) return std::nullopt;
        const bool fits = static_cast<std::size_t>(n) <= text.size();
        text.resize(static_cast<std::size_t>(n));
        if (fits) return text;
    }
}

}  // namespace

extern "C" {

__declspec(dllexport) std::uint32_t QV_ARCHIVE_CALL QvFormatAbiVersion() { return kQvArchiveAbiVersion; }

__declspec(dllexport) QvArchive* QV_ARCHIVE_CALL QvFormatOpen(const QvArchiveSource* source,
                                                             const QvOpenSettings* settings, QvStatus* status) {
    try {
        if (source == nullptr || source->readAt == nullptr || settings == nullptr ||
            settings->abiVersion != kQvArchiveAbiVersion || settings->codecFolder == nullptr) {
            qv::bridge::SetStatus(status, kQvInternal, "Invalid call of the format library");
            return nullptr;
        }
        auto opened = std::make_unique<QvArchive>();
        opened->codecs = std::make_unique<qv::format::CodecLibraries>(settings->codecFolder);
        qv::sevenzip::DecodeOptions options;
        options.memoryLimit = settings->memoryLimit;
        options.maxKeyStretchPower = settings->maxKeyStretchPower;
        if (settings->password != nullptr) {
            options.password = [password = settings->password, context = settings->context] {
                return AskPassword(password, context);
            };
        }
        options.coders = opened->codecs.get();
        opened->archive =
            std::make_unique<qv::sevenzip::Archive>(std::make_unique<CallerSource>(*source), options);
        qv::bridge::SetStatus(status, kQvOk, "");
        return opened.release();
    } catch (...) {
        qv::bridge::SetStatusFromCurrentException(status);
        return nullptr;
    }
}

__declspec(dllexport) std::uint32_t QV_ARCHIVE_CALL QvFormatEntryCount(QvArchive* archive) {
    return archive == nullptr ? 0 : static_cast<std::uint32_t>(archive->archive->Entries().size());
}

__declspec(dllexport) std::int32_t QV_ARCHIVE_CALL QvFormatEntry(QvArchive* archive, std::uint32_t index,
                                                                QvEntryInfo* info) {
    if (archive == nullptr || info == nullptr || index >= archive->archive->Entries().size()) return kQvNotFound;
    const qv::sevenzip::Entry& e = archive->archive->Entries()[index];
    *info = QvEntryInfo{};
    info->path = e.path.c_str();
    info->size = e.size;
    info->packedSize = e.packedSize;
    info->modified = e.modified.value_or(0);
    info->attributes = e.attributes.value_or(0);
    info->crc = e.crc.value_or(0);
    const std::pair<bool, QvEntryFlags> flags[] = {
        {e.isDirectory, kQvEntryDirectory},      {e.hasStream, kQvEntryHasStream},
        {e.isAnti, kQvEntryAnti},                {e.modified.has_value(), kQvEntryHasModified},
        {e.attributes.has_value(), kQvEntryHasAttributes}, {e.crc.has_value(), kQvEntryHasCrc},
    };
    for (const auto& [set, flag] : flags)
        if (set) info->flags |= flag;
    return kQvOk;
}

__declspec(dllexport) std::int32_t QV_ARCHIVE_CALL QvFormatExtract(QvArchive* archive, const std::uint32_t* indices,
                                                                  std::uint32_t count, std::int32_t flat,
                                                                  const QvExtractSink* sink, QvStatus* status) {
    try {
        if (archive == nullptr || sink == nullptr || (indices == nullptr && count != 0))
            return qv::bridge::SetStatus(status, kQvInternal, "Invalid call of the format library");
        qv::sevenzip::Archive& a = *archive->archive;
        qv::format::SinkTarget target(*sink, a.Entries());
        qv::sevenzip::ExtractOptions options;
        options.flat = flat != 0;
        options.progress = [&target](const qv::sevenzip::Entry& entry, std::uint64_t done, std::uint64_t total) {
            return target.Progress(entry, done, total);
        };
        const std::vector<std::size_t> chosen(indices, indices + count);
        for (const std::size_t i : chosen)
            if (i >= a.Entries().size()) return qv::bridge::SetStatus(status, kQvNotFound, "No such entry");
        qv::sevenzip::ExtractEntries(a, chosen, target, options);
        return qv::bridge::SetStatus(status, kQvOk, "");
    } catch (...) {
        return qv::bridge::SetStatusFromCurrentException(status);
    }
}

__declspec(dllexport) void QV_ARCHIVE_CALL QvFormatClose(QvArchive* archive) { delete archive; }

}  // extern "C"
