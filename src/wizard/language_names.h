// The names by which the system recognizes the user's language: the
// extensions of the translation files ("translations.German").
#pragma once

#include <string>
#include <string_view>

namespace qv {

// The name of a Windows language identifier (decimal 1031 is "German"); the
// empty name for any identifier the table does not know.
std::string LanguageName(unsigned languageId);

// The user's language from the locale's default-language value, a
// hexadecimal number such as "0407"; the empty name when the text is not
// one.
std::string LanguageNameOfLocaleValue(std::string_view hexText);

}  // namespace qv
