// The codec libraries of the format library: every library in the codec
// folder, loaded by full path when an archive is opened, and the coders of
// its folders built through the library that decodes each method.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "archive/codec_api.h"
#include "archive/sevenzip/coder.h"
#include "platform/handles.h"

namespace qv::format {

class CodecLibraries : public sevenzip::CoderSource {
public:
    // folder ends with a backslash. Throws ArchiveError(LibraryMissing) when
    // a library cannot be loaded or is of another interface version.
    explicit CodecLibraries(const std::string& folder);

    std::unique_ptr<sevenzip::InStream> MakeCoder(const sevenzip::Coder& coder, sevenzip::CoderInputs inputs,
                                                  std::uint64_t outSize,
                                                  const sevenzip::DecodeOptions& options) const override;

private:
    struct Library {
        win::UniqueModule module;
        QvCodecCreateDecoderFn createDecoder = nullptr;
    };

    std::vector<Library> libraries_;
    std::map<std::uint64_t, QvCodecCreateDecoderFn> methods_;
};

}  // namespace qv::format
