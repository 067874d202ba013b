// Codecs\Swap.dll
#include <iterator>

#include "archive/codecs/codec_library.h"
#include "archive/sevenzip/method_ids.h"
#include "archive/sevenzip/swap_coders.h"

namespace qv::codecs {

MethodTable LibraryMethods() {
    static const sevenzip::CoderMethod kMethods[] = {{sevenzip::method::kSwap2, sevenzip::MakeSwap2Coder},
                                                     {sevenzip::method::kSwap4, sevenzip::MakeSwap4Coder}};
    return {std::begin(kMethods), std::end(kMethods)};
}

}  // namespace qv::codecs
