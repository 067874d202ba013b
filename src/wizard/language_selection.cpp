#include "wizard/language_selection.h"

#include "common/text.h"
#include "wizard/language_names.h"
#include "wizard/message_table.h"

namespace qv {

namespace {

const char* kInit = "Initialization";

std::string FileNameOf(const std::string& path) {
    std::size_t slash = path.find_last_of("\\/:");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string KeysFile(const RunContext& cx) { return cx.startup.workspace + cx.title + ".mtx"; }

// The product cache that a maintenance run reads: the current user's when it
// holds the feature selection file, else the all-users one.
std::string SelectionFolder(RunContext& cx) {
    std::string perUser = cx.host.ApplicationDataRoot(false) + cx.revisionCode + "\\";
    if (cx.host.FileExists(perUser + cx.startup.setupName + ".dat")) return perUser;
    return cx.host.ApplicationDataRoot(true) + cx.revisionCode + "\\";
}

std::optional<std::string> RememberedLanguage(RunContext& cx) {
    auto text = cx.host.ReadTextFile(SelectionFolder(cx) + cx.startup.setupName + ".lan");
    if (!text) return std::nullopt;
    std::vector<std::string> lines = SplitLines(*text);
    return lines.empty() ? std::string() : lines.front();
}

std::string ReadTable(RunContext& cx, const std::string& path) {
    auto text = cx.host.ReadTextFile(path);
    if (!text) throw std::runtime_error("Cannot open file \"" + path + "\"");
    return std::move(*text);
}

}  // namespace

LanguageCandidates SelectCandidates(const std::vector<std::string>& found, const std::string& workspace,
                                    const std::string& defaultLanguage) {
    LanguageCandidates result;
    result.paths = found;
    for (std::size_t i = result.paths.size(); i-- > 0;) {
        const std::string& path = result.paths[i];
        if (EqualsIgnoreCaseAscii(path, workspace + "translations.Map") ||
            FileNameOf(path).find("shared") != std::string::npos) {
            result.paths.erase(result.paths.begin() + std::ptrdiff_t(i));
        } else if (EqualsIgnoreCaseAscii(path, workspace + "translations." + defaultLanguage)) {
            result.defaultLanguage = defaultLanguage;
        }
    }
    return result;
}

std::string CandidateLanguage(const std::string& path) {
    std::string name = FileNameOf(path);
    std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::size_t PreselectedLanguage(const std::vector<std::string>& items, const std::string& defaultLanguage,
                                const std::string& userLanguage) {
    std::size_t remembered = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (EqualsIgnoreCaseAscii(items[i], defaultLanguage)) remembered = i;
        if (items[i] == userLanguage) return i;
    }
    return remembered;
}

bool SelectLanguage(RunContext& cx) {
    cx.vars.Define("LANGUAGE", "", kInit);
    if (!cx.host.FileExists(KeysFile(cx)) || !cx.languageHost) return true;
    const std::string& workspace = cx.startup.workspace;
    LanguageCandidates candidates =
        SelectCandidates(cx.languageHost->FindTranslationFiles(workspace), workspace, cx.script.defaultLanguage);
    if (candidates.paths.empty()) return true;
    std::string language = candidates.defaultLanguage;
    bool maintenance = IsTrueText(cx.vars.Get("MAINTENANCE"));
    // A silent run shows no window: it takes the default language.
    if (cx.script.languageDialog && !maintenance && !cx.silent) {
        std::vector<std::string> items;
        for (const auto& path : candidates.paths) items.push_back(CandidateLanguage(path));
        std::string user = LanguageNameOfLocaleValue(cx.languageHost->UserDefaultLanguageText());
        auto chosen = cx.languageHost->ShowLanguageForm(items, PreselectedLanguage(items, cx.script.defaultLanguage, user));
        if (!chosen || *chosen >= items.size()) return false;
        language = items[*chosen];
    }
    if (maintenance)
        if (auto remembered = RememberedLanguage(cx)) language = *remembered;
    cx.vars.Define("LANGUAGE", language, kInit);
    return true;
}

void LoadTranslations(RunContext& cx) {
    std::string language = cx.vars.Get("LANGUAGE");
    if (!language.empty()) {
        const std::string& workspace = cx.startup.workspace;
        try {
            std::string map = ReadTable(cx, workspace + "translations.Map");
            std::string texts = ReadTable(cx, workspace + "translations." + language);
            std::string keys = ReadTable(cx, KeysFile(cx));
            cx.translations = TranslationTables(map, keys, texts);
            std::string shared = workspace + "shared.translations." + language;
            if (cx.host.FileExists(shared)) LoadMessageText(ReadTable(cx, shared));
        } catch (const std::exception&) {
            // The command runs untranslated; the next one tries again only
            // when the script names a language anew.
            language.clear();
        }
    }
    cx.vars.Define("LANGUAGE", language, kInit);
}

std::string TranslateCommandText(const RunContext& cx, const std::string& defaultText, const std::string& identifier,
                                 int textNumber) {
    if (cx.vars.Get("LANGUAGE").empty()) return defaultText;
    return qv::TranslateCommandText(cx.translations, defaultText, identifier, textNumber);
}

}  // namespace qv
