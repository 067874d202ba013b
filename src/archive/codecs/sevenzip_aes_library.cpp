// Codecs\7zAes.dll: the key derivation; the cipher comes from Aes.dll
// through the format library.
#include <iterator>

#include "archive/codecs/codec_library.h"
#include "archive/sevenzip/sevenzip_aes_coder.h"
#include "archive/sevenzip/method_ids.h"

namespace qv::codecs {

MethodTable LibraryMethods() {
    static const sevenzip::CoderMethod kMethods[] = {{sevenzip::method::k7zAes, sevenzip::Make7zAesCoder}};
    return {std::begin(kMethods), std::end(kMethods)};
}

}  // namespace qv::codecs
