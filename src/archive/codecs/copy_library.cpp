// Codecs\Copy.dll
#include <iterator>

#include "archive/codecs/codec_library.h"
#include "archive/sevenzip/copy_coder.h"
#include "archive/sevenzip/method_ids.h"

namespace qv::codecs {

MethodTable LibraryMethods() {
    static const sevenzip::CoderMethod kMethods[] = {{sevenzip::method::kCopy, sevenzip::MakeCopyCoder}};
    return {std::begin(kMethods), std::end(kMethods)};
}

}  // namespace qv::codecs
