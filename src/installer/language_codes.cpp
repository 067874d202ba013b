#include "installer/language_codes.h"

#include "common/text.h"

namespace qv {

namespace {

struct LanguageCode {
    const char* name;
    const char* code;
};

// The names are those of the translation files, spellings included.
constexpr LanguageCode kLanguageCodes[] = {
    {"ARABIC", "1025"},
    {"CATALAN", "1027"},
    {"CHINESE (TAIWAN)", "1028"},
    {"CHINESE (PRC)", "2052"},
    {"CZECH", "1029"},
    {"DANISH", "1030"},
    {"GERMAN", "1031"},
    {"GREEK", "1032"},
    {"ENGLISH", "1033"},
    {"SPANISH", "3082"},
    {"ESTONIAN", "1061"},
    {"FINNISH", "1035"},
    {"FRENCH", "1036"},
    {"HEBREW", "1037"},
    {"HUNGARIAN", "1038"},
    {"THAI", "1054"},
    {"SLOVENIAN", "1060"},
    {"BASQUE", "1069"},
    {"ITALIAN", "1040"},
    {"JAPANESE", "1041"},
    {"KOREAN", "1042"},
    {"LITHUANIAN", "1063"},
    {"LATVIAN", "1062"},
    {"DUTCH", "1043"},
    {"NORWEGIAN", "1044"},
    {"POLISH", "1045"},
    {"PORTUGESE (BRAZIL)", "1046"},
    {"PORTUGESE (PORTUGAL)", "2070"},
    {"ROMANIAN", "1048"},
    {"RUSSIAN", "1049"},
    {"CROATIAN", "1050"},
    {"SLOVAK", "1051"},
    {"SWEDISH", "1053"},
    {"TURKISH", "1055"},
    {"VIETNAMESE", "1066"},
};

}  // namespace

std::string ProductLanguageCode(std::string_view languageName) {
    for (const LanguageCode& entry : kLanguageCodes)
        if (EqualsIgnoreCaseAscii(entry.name, languageName)) return entry.code;
    return "1033";
}

}  // namespace qv
