// Every coder of the reader, linked in: the coder source of the tools and
// tests that use the reader directly.
#pragma once

#include "archive/sevenzip/coder.h"

namespace qv::sevenzip {

const CoderSource& BuiltInCoders();

}  // namespace qv::sevenzip
