// libFuzzer target for the 7z reader: any input is opened and fully
// extracted into a target that keeps nothing, with the password "fuzz" for
// encrypted data (make_archive_seeds.sh writes seeds with every coder), and
// for inputs of odd length with every stream crossing the interface of the
// archive libraries as it does between them. Every failure must be an
// ArchiveError; anything else (a crash, a sanitizer report, another
// exception) is a bug.
#include <cstdint>
#include <memory>
#include <vector>

#include "archive/bridge/loopback_coders.h"
#include "archive/sevenzip/archive.h"
#include "archive/sevenzip/archive_error.h"
#include "archive/sevenzip/builtin_coders.h"
#include "archive/sevenzip/extractor.h"

namespace {

using namespace qv::sevenzip;

// Keeps each run short and small: a tiny input may still claim, or even
// decode to, gigabytes.
constexpr std::uint64_t kMemoryLimit = 64 << 20;
constexpr std::uint64_t kOutputLimit = 64 << 20;
// As high as the stretching that archivers write: the seeds' keys are
// derived once and kept by the key cache.
constexpr unsigned kMaxKeyStretchPower = 19;

class DiscardedFile : public OutputFile {
public:
    void Write(const std::uint8_t*, std::size_t) override {}
    void Commit() override {}
};

class DiscardingTarget : public ExtractTarget {
public:
    void MakeFolder(const std::vector<std::string>&) override {}
    std::unique_ptr<OutputFile> CreateOutputFile(const Entry&, const std::vector<std::string>&) override {
        return std::make_unique<DiscardedFile>();
    }
    void FinishFolder(const Entry&, const std::vector<std::string>&) override {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DecodeOptions decode;
    static const qv::bridge::LoopbackCoders crossing(BuiltInCoders());
    decode.memoryLimit = kMemoryLimit;
    decode.maxKeyStretchPower = kMaxKeyStretchPower;
    decode.password = [] { return std::u16string(u"fuzz"); };
    decode.coders = size % 2 != 0 ? static_cast<const CoderSource*>(&crossing) : &BuiltInCoders();
    ExtractOptions extract;
    extract.progress = [](const Entry&, std::uint64_t done, std::uint64_t) { return done <= kOutputLimit; };
    try {
        Archive archive(std::make_unique<MemorySource>(std::vector<std::uint8_t>(data, data + size)), decode);
        DiscardingTarget target;
        ExtractEntries(archive, AllEntries(archive), target, extract);
    } catch (const ArchiveError&) {
    }
    return 0;
}
