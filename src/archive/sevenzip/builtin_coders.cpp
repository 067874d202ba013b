#include "archive/sevenzip/builtin_coders.h"

#include <iterator>

#include "archive/sevenzip/aes_cbc_coder.h"
#include "archive/sevenzip/sevenzip_aes_coder.h"
#include "archive/sevenzip/bcj2_coder.h"
#include "archive/sevenzip/branch_coders.h"
#include "archive/sevenzip/copy_coder.h"
#include "archive/sevenzip/lzma_coders.h"
#include "archive/sevenzip/method_ids.h"
#include "archive/sevenzip/swap_coders.h"

namespace qv::sevenzip {
namespace {

const CoderMethod kMethods[] = {
    {method::kCopy, MakeCopyCoder},
    {method::kLzma, MakeLzmaCoder},
    {method::kLzma2, MakeLzma2Coder},
    {method::kBcj, MakeBcjCoder},
    {method::kBcj2, MakeBcj2Coder},
    {method::kPpc, MakePpcCoder},
    {method::kIa64, MakeIa64Coder},
    {method::kArm, MakeArmCoder},
    {method::kArmThumb, MakeArmThumbCoder},
    {method::kSparc, MakeSparcCoder},
    {method::kArm64, MakeArm64Coder},
    {method::kSwap2, MakeSwap2Coder},
    {method::kSwap4, MakeSwap4Coder},
    {method::kAes256Cbc, MakeAes256CbcCoder},
    {method::k7zAes, Make7zAesCoder},
};

class TableCoders : public CoderSource {
public:
    std::unique_ptr<InStream> MakeCoder(const Coder& coder, CoderInputs inputs, std::uint64_t outSize,
                                        const DecodeOptions& options) const override {
        const CoderMethod* m = FindCoderMethod(std::begin(kMethods), std::end(kMethods), coder.methodId);
        if (m == nullptr) ThrowUnsupportedMethod(coder.methodId);
        return m->make(coder, std::move(inputs), outSize, options);
    }
};

}  // namespace

const CoderSource& BuiltInCoders() {
    static const TableCoders coders;
    return coders;
}

}  // namespace qv::sevenzip
