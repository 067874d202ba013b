#include "archive/bridge/streams.h"

#include <algorithm>
#include <climits>

#include "archive/bridge/status.h"

namespace qv::bridge {
namespace {

using sevenzip::InStream;

class ExportedStream {
public:
    explicit ExportedStream(std::unique_ptr<InStream> stream) : stream_(std::move(stream)) {
        SetStatus(&status_, kQvOk, "");
    }

    static std::int32_t QV_ARCHIVE_CALL Read(void* context, std::uint8_t* dst, std::uint32_t size) {
        auto* self = static_cast<ExportedStream*>(context);
        try {
            return static_cast<std::int32_t>(self->stream_->Read(dst, std::min<std::uint32_t>(size, INT32_MAX)));
        } catch (...) {
            SetStatusFromCurrentException(&self->status_);
            return -1;
        }
    }

    static void QV_ARCHIVE_CALL Failure(void* context, QvStatus* status) {
        if (status != nullptr) *status = static_cast<ExportedStream*>(context)->status_;
    }

    static void QV_ARCHIVE_CALL Release(void* context) { delete static_cast<ExportedStream*>(context); }

private:
    std::unique_ptr<InStream> stream_;
    QvStatus status_;
};

class ImportedStream : public InStream {
public:
    explicit ImportedStream(const QvStream& stream) : stream_(stream) {}
    ~ImportedStream() override {
        if (stream_.release != nullptr) stream_.release(stream_.context);
    }

    std::size_t Read(std::uint8_t* dst, std::size_t size) override {
        if (size == 0) return 0;
        const std::uint32_t want = static_cast<std::uint32_t>(std::min<std::size_t>(size, INT32_MAX));
        const std::int32_t got = stream_.read(stream_.context, dst, want);
        if (got < 0 || static_cast<std::uint32_t>(got) > want) {
            QvStatus status;
            SetStatus(&status, kQvInternal, "A stream of another library failed");
            if (got < 0) stream_.failure(stream_.context, &status);
            ThrowStatus(status);
        }
        return static_cast<std::size_t>(got);
    }

    QvStream Release() {
        const QvStream stream = stream_;
        stream_.release = nullptr;
        return stream;
    }

private:
    QvStream stream_;
};

}  // namespace

QvStream ExportStream(std::unique_ptr<InStream> stream) {
    if (auto* imported = dynamic_cast<ImportedStream*>(stream.get())) return imported->Release();
    return QvStream{new ExportedStream(std::move(stream)), ExportedStream::Read, ExportedStream::Failure,
                    ExportedStream::Release};
}

std::unique_ptr<InStream> ImportStream(const QvStream& stream) { return std::make_unique<ImportedStream>(stream); }

HandedStreams::HandedStreams(std::vector<std::unique_ptr<InStream>> inputs) {
    try {
        streams_.reserve(inputs.size());
        for (auto& input : inputs) streams_.push_back(ExportStream(std::move(input)));
    } catch (...) {
        for (const QvStream& s : streams_) s.release(s.context);
        throw;
    }
}

HandedStreams::~HandedStreams() {
    for (const QvStream& s : streams_) s.release(s.context);
}

std::vector<std::unique_ptr<InStream>> ImportStreams(QvStream* streams, std::uint32_t count) {
    std::vector<std::unique_ptr<InStream>> imported;
    std::uint32_t i = 0;
    try {
        imported.reserve(count);
        for (; i < count; ++i) imported.push_back(ImportStream(streams[i]));
    } catch (...) {
        for (; i < count; ++i)
            if (streams[i].release != nullptr) streams[i].release(streams[i].context);
        throw;
    }
    return imported;
}

}  // namespace qv::bridge
