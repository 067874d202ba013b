// Codecs\Aes.dll: the cipher.
#include <iterator>

#include "archive/codecs/codec_library.h"
#include "archive/sevenzip/aes_cbc_coder.h"
#include "archive/sevenzip/method_ids.h"

namespace qv::codecs {

MethodTable LibraryMethods() {
    static const sevenzip::CoderMethod kMethods[] = {{sevenzip::method::kAes256Cbc, sevenzip::MakeAes256CbcCoder}};
    return {std::begin(kMethods), std::end(kMethods)};
}

}  // namespace qv::codecs
