#include "translations.h"

#include <set>

#include <nlohmann/json.hpp>

#include "ansi_text.h"
#include "common/text.h"
#include "file_io.h"
#include "json_fields.h"
#include "kit_error.h"
#include "wizard/message_table.h"

namespace qv::kit {

namespace {

// A table holds one text per line; "$NEWLINE$" is the way to a line break
// in a text that its user expands.
std::string TableText(const nlohmann::json& value, const std::string& what) {
    if (!value.is_string()) throw KitError(what + " must be a text");
    std::string text = Utf8ToAnsi(value.get<std::string>(), what);
    if (text.find_first_of("\r\n") != std::string::npos)
        throw KitError(what + " holds a line break, which a translation table cannot carry (write $NEWLINE$)");
    return text;
}

void CheckLanguageName(const std::string& name) {
    std::string where = "translations: the language \"" + name + "\"";
    if (name.empty()) throw KitError("translations: a language name must not be empty");
    if (name.find_first_of(".<>:\"/\\|?*") != std::string::npos || name.back() == ' ')
        throw KitError(where + " cannot end a file name (\"translations." + name + "\")");
    for (unsigned char c : name)
        if (c < 32 || c >= 128) throw KitError(where + " must be written in ASCII letters, digits and blanks");
    // The stub passes over files whose name contains "shared" and the Map.
    if (name.find("shared") != std::string::npos || EqualsIgnoreCaseAscii(name, "Map"))
        throw KitError(where + " names a file the setup does not offer as a language");
}

// Every entry names exactly the project's languages.
template <typename Texts>
void CheckLanguages(const Texts& texts, const std::set<std::string>& languages, const std::string& where) {
    for (const auto& [language, text] : texts)
        if (!languages.count(language))
            throw KitError(where + ": \"" + language + "\" is not one of the translations' \"languages\"");
    for (const auto& language : languages)
        if (!texts.count(language)) throw KitError(where + ": the text for \"" + language + "\" is missing");
}

void MapMessages(const nlohmann::json& object, const std::filesystem::path& baseDir, KitTranslations& t) {
    if (!object.is_object()) throw KitError("translations: \"messages\" must be an object of languages");
    for (const auto& [language, value] : object.items()) {
        std::string name = Utf8ToAnsi(language, "translations: a language of \"messages\"");
        std::string where = "translations: messages of \"" + language + "\"";
        if (value.is_string()) {
            t.messageFiles[name] = (baseDir / value.get<std::string>()).lexically_normal();
            continue;
        }
        if (!value.is_object()) throw KitError(where + " must be a file name or an object of message lines");
        auto& lines = t.messageTexts[name];
        for (const auto& [key, text] : value.items()) {
            auto line = ParseInt32(key);
            bool entry = line && ((*line >= 1 && *line <= 90) || (*line >= 112 && *line <= kMessageFileLines));
            if (!entry || std::to_string(*line) != key)
                throw KitError(where + ": \"" + key + "\" is not the line of a message (1-90, 112-115)");
            lines[*line] = TableText(text, where + ": line " + key);
        }
    }
}

// The English texts with the project's lines in their place; the lines the
// stub skips stay empty.
std::string MessageFile(const std::map<int, std::string>& lines) {
    std::string file;
    for (int line = 1; line <= kMessageFileLines; ++line) {
        auto given = lines.find(line);
        bool entry = line <= 90 || line >= 112;
        file += given != lines.end() ? given->second : entry ? MessageText(Msg(line)) : std::string();
        file += "\r\n";
    }
    return file;
}

}  // namespace

void AddCommandTranslations(const nlohmann::json& object, const std::string& where, const std::string& identifier,
                            KitTranslations& translations) {
    if (object.empty()) return;
    CommandTranslation entry{where, identifier, {}};
    std::size_t count = 0;
    for (const auto& [language, texts] : object.items()) {
        std::string what = where + ": translations of \"" + language + "\"";
        if (!texts.is_array() || texts.empty()) throw KitError(what + " must be a list of texts");
        if (count != 0 && texts.size() != count)
            throw KitError(where + ": every language needs the same number of translated texts");
        count = texts.size();
        auto& list = entry.texts[Utf8ToAnsi(language, what)];
        for (std::size_t i = 0; i < texts.size(); ++i)
            list.push_back(TableText(texts[i], what + ", text " + std::to_string(i + 1)));
    }
    translations.commands.push_back(std::move(entry));
}

void MapTranslations(const nlohmann::json& object, const std::filesystem::path& baseDir, const std::string& title,
                     KitTranslations& t) {
    JsonFields f(object, "translations");
    for (const auto& language : f.array("languages")) {
        if (!language.is_string()) throw KitError("translations: \"languages\" must be a list of texts");
        t.languages.push_back(Utf8ToAnsi(language.get<std::string>(), "translations: a language"));
        CheckLanguageName(t.languages.back());
    }
    std::set<std::string> languages(t.languages.begin(), t.languages.end());
    if (languages.size() != t.languages.size()) throw KitError("translations: a language is named twice");

    if (t.languages.empty() && (!t.commands.empty() || !f.array("dialogs").empty()))
        throw KitError("translations: translated texts need the \"languages\" they are written in");

    std::size_t n = 0;
    for (const auto& item : f.array("dialogs")) {
        JsonFields d(item, "translations: dialog text " + std::to_string(++n));
        DialogTranslation entry;
        entry.dialog = Utf8ToAnsi(d.text("dialog"), d.where() + ": \"dialog\"");
        entry.control = Utf8ToAnsi(d.text("control"), d.where() + ": \"control\"");
        if (entry.dialog.empty() || entry.control.empty())
            throw KitError(d.where() + ": \"dialog\" and \"control\" are required");
        const nlohmann::json& texts = d.object("texts");
        for (const auto& [language, text] : texts.items())
            entry.texts[Utf8ToAnsi(language, d.where())] = TableText(text, d.where() + ": \"" + language + "\"");
        d.finish();
        CheckLanguages(entry.texts, languages, d.where());
        t.dialogs.push_back(std::move(entry));
    }
    MapMessages(f.object("messages"), baseDir, t);
    f.finish();

    for (const auto& command : t.commands) CheckLanguages(command.texts, languages, command.where);
    std::vector<std::string> messageLanguages;
    for (const auto& entry : t.messageFiles) messageLanguages.push_back(entry.first);
    for (const auto& entry : t.messageTexts) messageLanguages.push_back(entry.first);
    for (const auto& language : messageLanguages)
        if (!languages.count(language))
            throw KitError("translations: \"messages\" of \"" + language + "\", which is not one of the \"languages\"");

    if (t.empty()) return;
    if (title.empty() || title.find_first_of("<>:\"/\\|?*") != std::string::npos)
        throw KitError("translations: the product \"title\" names the translation keys file and must be a plain "
                       "file name, not \"" + title + "\"");
    t.keysFileName = title + ".mtx";
}

std::vector<std::pair<std::string, std::string>> TranslationFiles(const KitTranslations& t) {
    std::string map, keys;
    std::map<std::string, std::string> texts;
    for (const auto& d : t.dialogs) {
        map += d.dialog + "\r\n";
        keys += d.control + "\r\n";
        for (const auto& [language, text] : d.texts) texts[language] += text + "\r\n";
    }
    // A command's texts follow its identifier's line; the Map does not
    // matter for them.
    for (const auto& c : t.commands) {
        std::size_t count = c.texts.begin()->second.size();
        for (std::size_t i = 0; i < count; ++i) {
            map += "\r\n";
            keys += (i == 0 ? c.identifier : std::string()) + "\r\n";
        }
        for (const auto& [language, list] : c.texts)
            for (const auto& text : list) texts[language] += text + "\r\n";
    }
    std::vector<std::pair<std::string, std::string>> files = {{"translations.Map", map}, {t.keysFileName, keys}};
    for (const auto& language : t.languages) {
        files.emplace_back("translations." + language, texts[language]);
        std::string shared = "shared.translations." + language;
        if (auto file = t.messageFiles.find(language); file != t.messageFiles.end())
            files.emplace_back(shared, ReadWholeFile(file->second, "the message file of " + language));
        else if (auto lines = t.messageTexts.find(language); lines != t.messageTexts.end())
            files.emplace_back(shared, MessageFile(lines->second));
    }
    return files;
}

}  // namespace qv::kit
