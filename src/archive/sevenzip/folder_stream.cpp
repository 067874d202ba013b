#include "archive/sevenzip/folder_stream.h"

#include <algorithm>

#include "archive/sevenzip/archive_error.h"
#include "archive/sevenzip/crc32.h"
#include "archive/sevenzip/method_ids.h"

namespace qv::sevenzip {
namespace {

class PackStream : public InStream {
public:
    PackStream(RandomAccessSource& source, std::uint64_t offset, std::uint64_t size)
        : source_(source), offset_(offset), remaining_(size) {}

    std::size_t Read(std::uint8_t* dst, std::size_t size) override {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, remaining_));
        if (n == 0) return 0;
        const std::size_t got = source_.ReadAt(offset_, dst, n);
        if (got == 0) ThrowDamaged("it ends too early");
        offset_ += got;
        remaining_ -= got;
        return got;
    }

private:
    RandomAccessSource& source_;
    std::uint64_t offset_;
    std::uint64_t remaining_;
};

class CheckedFolderStream : public InStream {
public:
    CheckedFolderStream(std::unique_ptr<InStream> inner, std::uint64_t size, std::optional<std::uint32_t> crc)
        : inner_(std::move(inner)), remaining_(size), crc_(crc) {}

    std::size_t Read(std::uint8_t* dst, std::size_t size) override {
        const std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(size, remaining_));
        if (n == 0) return 0;
        const std::size_t got = inner_->Read(dst, n);
        if (got == 0) throw ArchiveError(ArchiveErrorKind::DataError, "The compressed data ends before its stated size");
        remaining_ -= got;
        if (crc_) {
            running_ = UpdateCrc32(running_, dst, got);
            if (remaining_ == 0 && running_ != *crc_)
                throw ArchiveError(ArchiveErrorKind::DataError, "CRC error in the packed data");
        }
        return got;
    }

private:
    std::unique_ptr<InStream> inner_;
    std::uint64_t remaining_;
    std::optional<std::uint32_t> crc_;
    std::uint32_t running_ = 0;
};

// Builds the decoder of an output stream by building, first, the decoders
// of the streams that feed its coder.
class ChainBuilder {
public:
    ChainBuilder(RandomAccessSource& source, const StreamsInfo& streams, const Folder& folder, const DecodeOptions& options)
        : source_(source), streams_(streams), folder_(folder), options_(options) {
        std::uint32_t in = 0, out = 0;
        for (const Coder& c : folder.coders) {
            firstIn_.push_back(in);
            firstOut_.push_back(out);
            in += c.numInStreams;
            out += c.numOutStreams;
        }
    }

    // Every coder has one output, which feeds at most one input: coders
    // that feed each other in a ring are never reached from the main output.
    std::unique_ptr<InStream> BuildOutput(std::uint32_t outIndex) {
        std::size_t c = 0;
        while (c + 1 < folder_.coders.size() && firstOut_[c + 1] <= outIndex) ++c;
        const Coder& coder = folder_.coders[c];
        if (coder.numOutStreams != 1)
            throw ArchiveError(ArchiveErrorKind::UnsupportedMethod,
                               "Unsupported compression method " + MethodIdText(coder.methodId));
        CoderInputs inputs;
        for (std::uint32_t k = 0; k < coder.numInStreams; ++k) inputs.push_back(BuildInput(firstIn_[c] + k));
        return options_.coders->MakeCoder(coder, std::move(inputs), folder_.unpackSizes[outIndex], options_);
    }

private:
    std::unique_ptr<InStream> BuildInput(std::uint32_t inIndex) {
        for (const BindPair& pair : folder_.bindPairs)
            if (pair.inIndex == inIndex) return BuildOutput(pair.outIndex);
        for (std::size_t k = 0; k < folder_.packedStreams.size(); ++k) {
            if (folder_.packedStreams[k] != inIndex) continue;
            const std::size_t pack = folder_.firstPackStream + k;
            return std::make_unique<PackStream>(source_, streams_.packOffsets[pack], streams_.packSizes[pack]);
        }
        ThrowDamaged("a coder input is not connected");
    }

    RandomAccessSource& source_;
    const StreamsInfo& streams_;
    const Folder& folder_;
    const DecodeOptions& options_;
    std::vector<std::uint32_t> firstIn_, firstOut_;
};

}  // namespace

bool IsEncrypted(const Folder& folder) {
    return std::any_of(folder.coders.begin(), folder.coders.end(),
                       [](const Coder& c) { return c.methodId == method::k7zAes; });
}

std::unique_ptr<InStream> OpenFolderStream(RandomAccessSource& source, const StreamsInfo& streams,
                                           std::size_t folderIndex, const DecodeOptions& options) {
    const Folder& folder = streams.folders.at(folderIndex);
    ChainBuilder builder(source, streams, folder, options);
    return std::make_unique<CheckedFolderStream>(builder.BuildOutput(folder.mainOutStream), folder.UnpackSize(),
                                                 folder.crc);
}

}  // namespace qv::sevenzip
