#include "wizard/language_names.h"

#include "common/text.h"

namespace qv {

namespace {

struct NamedLanguage {
    unsigned id;
    const char* name;
};

// The spellings are those of the translation files ("Portugese" included).
constexpr NamedLanguage kLanguages[] = {
    {1025, "Arabic"},     {1027, "Catalan"},
    {1028, "Chinese (Taiwan)"}, {2052, "Chinese (PRC)"},
    {1029, "Czech"},      {1030, "Danish"},
    {1031, "German"},     {1032, "Greek"},
    {1033, "English"},    {3082, "Spanish"},
    {1061, "Estonian"},   {1035, "Finnish"},
    {1036, "French"},     {1037, "Hebrew"},
    {1038, "Hungarian"},  {1040, "Italian"},
    {1041, "Japanese"},   {1042, "Korean"},
    {1063, "Lithuanian"}, {1062, "Latvian"},
    {1043, "Dutch"},      {1044, "Norwegian"},
    {1045, "Polish"},     {1046, "Portugese (Brazil)"},
    {2070, "Portugese (Portugal)"}, {1048, "Romanian"},
    {1049, "Russian"},    {1050, "Croatian"},
    {1051, "Slovak"},     {1053, "Swedish"},
    {1054, "Thai"},       {1055, "Turkish"},
    {1060, "Slovenian"},  {1066, "Vietnamese"},
    {1069, "Basque"},
};

}  // namespace

std::string LanguageName(unsigned languageId) {
    for (const auto& language : kLanguages)
        if (language.id == languageId) return language.name;
    return {};
}

std::string LanguageNameOfLocaleValue(std::string_view hexText) {
    auto id = ParseInt32("$" + Trim(hexText));
    if (!id || *id < 0) return {};
    return LanguageName(unsigned(*id));
}

}  // namespace qv
