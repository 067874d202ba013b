// What one codec library decodes: each library's table of methods, defined
// in its own file beside this one; codec_exports.cpp makes the exports of
// the calling interface over it.
#pragma once

#include "archive/sevenzip/coder.h"

namespace qv::codecs {

struct MethodTable {
    const sevenzip::CoderMethod* begin;
    const sevenzip::CoderMethod* end;
};

MethodTable LibraryMethods();

}  // namespace qv::codecs
