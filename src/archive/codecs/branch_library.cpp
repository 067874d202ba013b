// Codecs\Branch.dll
#include <iterator>

#include "archive/codecs/codec_library.h"
#include "archive/sevenzip/bcj2_coder.h"
#include "archive/sevenzip/branch_coders.h"
#include "archive/sevenzip/method_ids.h"

namespace qv::codecs {

MethodTable LibraryMethods() {
    using namespace sevenzip;
    static const CoderMethod kMethods[] = {
        {method::kBcj, MakeBcjCoder},     {method::kBcj2, MakeBcj2Coder},         {method::kPpc, MakePpcCoder},
        {method::kIa64, MakeIa64Coder},   {method::kArm, MakeArmCoder},           {method::kArmThumb, MakeArmThumbCoder},
        {method::kSparc, MakeSparcCoder}, {method::kArm64, MakeArm64Coder},
    };
    return {std::begin(kMethods), std::end(kMethods)};
}

}  // namespace qv::codecs
