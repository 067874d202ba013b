// Byte streams across a library boundary: a reader stream handed out as a
// QvStream, and a QvStream taken in as a reader stream. Failures travel as
// status codes both ways (see codec_api.h).
#pragma once

#include <memory>
#include <vector>

#include "archive/codec_api.h"
#include "archive/sevenzip/streams.h"

namespace qv::bridge {

// The QvStream owns the stream until it is released. A stream that was
// itself taken in is handed back as it came, not wrapped twice.
QvStream ExportStream(std::unique_ptr<sevenzip::InStream> stream);

// Owns and releases the QvStream; a failed read throws the ArchiveError its
// status describes.
std::unique_ptr<sevenzip::InStream> ImportStream(const QvStream& stream);

// Streams being handed to another library's call: released here unless
// the call took them.
class HandedStreams {
public:
    explicit HandedStreams(std::vector<std::unique_ptr<sevenzip::InStream>> inputs);
    ~HandedStreams();
    HandedStreams(const HandedStreams&) = delete;
    HandedStreams& operator=(const HandedStreams&) = delete;

    QvStream* data() { return streams_.data(); }
    std::uint32_t size() const { return static_cast<std::uint32_t>(streams_.size()); }
    // The callee owns them now, whatever its result.
    void Handed() { streams_.clear(); }

private:
    std::vector<QvStream> streams_;
};

// Takes over count streams: all of them are released, whatever happens.
std::vector<std::unique_ptr<sevenzip::InStream>> ImportStreams(QvStream* streams, std::uint32_t count);

}  // namespace qv::bridge
