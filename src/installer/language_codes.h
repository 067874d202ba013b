// The installer's "ProductLanguage" for the session's language name.
#pragma once

#include <string>
#include <string_view>

namespace qv {

// The decimal language identifier for a language name (letter case ignored);
// "1033" (English) for any name the table does not know, the empty name
// included.
std::string ProductLanguageCode(std::string_view languageName);

}  // namespace qv
