// Codecs\LZMA.dll
#include <iterator>

#include "archive/codecs/codec_library.h"
#include "archive/sevenzip/lzma_coders.h"
#include "archive/sevenzip/method_ids.h"

namespace qv::codecs {

MethodTable LibraryMethods() {
    static const sevenzip::CoderMethod kMethods[] = {{sevenzip::method::kLzma, sevenzip::MakeLzmaCoder},
                                                     {sevenzip::method::kLzma2, sevenzip::MakeLzma2Coder}};
    return {std::begin(kMethods), std::end(kMethods)};
}

}  // namespace qv::codecs
