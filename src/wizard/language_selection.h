// The session's language: chosen once at session start, its translation
// tables and shared message file reloaded before every command.
#pragma once

#include <string>
#include <vector>

#include "engine/run_context.h"

namespace qv {

// The translation files of the workspace that offer a language, and the
// default language when its Texts file is among them.
struct LanguageCandidates {
    std::vector<std::string> paths;  // in the order found
    std::string defaultLanguage;     // empty when the default has no Texts file
};

// Drops the Map file and every file whose name contains "shared" (letter
// case as written) from the found paths.
LanguageCandidates SelectCandidates(const std::vector<std::string>& found, const std::string& workspace,
                                    const std::string& defaultLanguage);

// The list item of a candidate: its extension without the dot ("German").
std::string CandidateLanguage(const std::string& path);

// The item preselected in the form: the first whose text is the user's
// language name, else the last equal to the default language (letter case
// ignored), else the first item.
std::size_t PreselectedLanguage(const std::vector<std::string>& items, const std::string& defaultLanguage,
                                const std::string& userLanguage);

// Decides the language and defines LANGUAGE (source "Initialization").
// False when the user cancelled the selection form, which ends the run.
bool SelectLanguage(RunContext& context);

// Before every command: the tables and the shared message file of LANGUAGE;
// a table that cannot be read empties LANGUAGE. Defines LANGUAGE anew.
void LoadTranslations(RunContext& context);

// The translation of a command's text number n for the current language;
// the default text without a language or an entry. Callers expand it.
std::string TranslateCommandText(const RunContext& context, const std::string& defaultText,
                                 const std::string& identifier, int textNumber);

}  // namespace qv
