// The extraction target of the format library: the caller's sink functions.
#pragma once

#include "archive/codec_api.h"
#include "archive/sevenzip/extractor.h"

namespace qv::format {

class SinkTarget : public sevenzip::ExtractTarget {
public:
    // Entry numbers are positions in entries.
    SinkTarget(const QvExtractSink& sink, const std::vector<sevenzip::Entry>& entries)
        : sink_(sink), entries_(entries) {}

    void MakeFolder(const std::vector<std::string>& path) override;
    std::unique_ptr<sevenzip::OutputFile> CreateOutputFile(const sevenzip::Entry& entry,
                                                           const std::vector<std::string>& path) override;
    void FinishFolder(const sevenzip::Entry& entry, const std::vector<std::string>& path) override;

    // The progress function of the extraction options.
    bool Progress(const sevenzip::Entry& entry, std::uint64_t done, std::uint64_t total);

private:
    std::uint32_t IndexOf(const sevenzip::Entry& entry) const;

    const QvExtractSink& sink_;
    const std::vector<sevenzip::Entry>& entries_;
};

// Throws the ArchiveError of a sink's status code.
void Check(std::int32_t code);

}  // namespace qv::format
