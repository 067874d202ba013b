#include "archive/bridge/loopback_coders.h"

#include "archive/bridge/streams.h"

namespace qv::bridge {

std::unique_ptr<sevenzip::InStream> LoopbackCoders::MakeCoder(const sevenzip::Coder& coder,
                                                              sevenzip::CoderInputs inputs, std::uint64_t outSize,
                                                              const sevenzip::DecodeOptions& options) const {
    HandedStreams handed(std::move(inputs));
    sevenzip::CoderInputs crossed = ImportStreams(handed.data(), handed.size());
    handed.Handed();
    // A coder that builds another (the encryption method its cipher) does
    // so through this source too.
    sevenzip::DecodeOptions inner = options;
    inner.coders = this;
    return ImportStream(ExportStream(inner_.MakeCoder(coder, std::move(crossed), outSize, inner)));
}

}  // namespace qv::bridge
