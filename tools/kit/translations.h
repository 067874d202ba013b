// Translations in a project description: the languages a setup offers, the
// translated texts of its dialogs and commands, and each language's shared
// message file. The kit writes them as the translation tables of the
// resource archive (see README.md, "Translations").
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json_fwd.hpp>

namespace qv::kit {

struct DialogTranslation {
    std::string dialog;   // the dialog key: the dialog file's name, e.g. "Welcome.dfm"
    std::string control;  // the control's Name; the dialog key itself for the page's caption
    std::map<std::string, std::string> texts;  // language → text
};

struct CommandTranslation {
    std::string where;       // "command N (NAME)" for messages
    std::string identifier;  // the command's GUID
    std::map<std::string, std::vector<std::string>> texts;  // language → texts 1, 2, ...
};

// All texts are 8-bit (Windows-1252) except `keysFileName`, a file name.
struct KitTranslations {
    std::vector<std::string> languages;
    std::vector<DialogTranslation> dialogs;
    std::vector<CommandTranslation> commands;
    std::map<std::string, std::filesystem::path> messageFiles;     // language → file copied as it is
    std::map<std::string, std::map<int, std::string>> messageTexts;  // language → line → text
    std::string keysFileName;  // the product title + ".mtx"

    bool empty() const { return languages.empty(); }
};

// A command's "translations" object: language → list of texts.
void AddCommandTranslations(const nlohmann::json& object, const std::string& where, const std::string& identifier,
                            KitTranslations& translations);

// The project's "translations" object; checks it together with the command
// entries added before. `title` is the product title as written (UTF-8).
void MapTranslations(const nlohmann::json& object, const std::filesystem::path& baseDir, const std::string& title,
                     KitTranslations& translations);

// The files of the tables: (file name, bytes), CR LF line ends.
std::vector<std::pair<std::string, std::string>> TranslationFiles(const KitTranslations& translations);

}  // namespace qv::kit
