// Writes extracted entries below a Windows folder. A file is written under a
// temporary name beside its final one and moved over it only once its data
// is complete and checked; an existing file is replaced only when the answer
// callback allows it, read-only or not.
#pragma once

#include <string>

#include "archive/sevenzip/extractor.h"
#include "archive/zor_api.h"

namespace qv::zor {

class WinExtractTarget : public sevenzip::ExtractTarget {
public:
    // root: the target folder, created with its parents when missing.
    WinExtractTarget(const std::wstring& root, ZorAnswerCallback answer);

    void MakeFolder(const std::vector<std::string>& path) override;
    std::unique_ptr<sevenzip::OutputFile> CreateOutputFile(const sevenzip::Entry& entry,
                                                           const std::vector<std::string>& path) override;
    void FinishFolder(const sevenzip::Entry& entry, const std::vector<std::string>& path) override;

private:
    std::wstring Resolve(const std::vector<std::string>& path, std::size_t count) const;
    bool MayReplace(const std::wstring& file, const sevenzip::Entry& entry);

    std::wstring root_;
    ZorAnswerCallback answer_;
    bool replaceAll_ = false;
};

// The attributes an entry's file or folder gets on Windows.
std::uint32_t WindowsAttributes(const sevenzip::Entry& entry);

}  // namespace qv::zor
