// Coders whose every stream crosses the calling interface, as between the
// format library and the codec libraries, but within one program: the
// native tests and the fuzz target run the bridge code this way, with the
// sanitizers watching.
#pragma once

#include "archive/sevenzip/coder.h"

namespace qv::bridge {

class LoopbackCoders : public sevenzip::CoderSource {
public:
    explicit LoopbackCoders(const sevenzip::CoderSource& inner) : inner_(inner) {}

    std::unique_ptr<sevenzip::InStream> MakeCoder(const sevenzip::Coder& coder, sevenzip::CoderInputs inputs,
                                                  std::uint64_t outSize,
                                                  const sevenzip::DecodeOptions& options) const override;

private:
    const sevenzip::CoderSource& inner_;
};

}  // namespace qv::bridge
