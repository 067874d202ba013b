#include "wizard/translation_tables.h"

#include "common/errors.h"
#include "common/text.h"

namespace qv {

namespace {

const std::string& LineAt(const std::vector<std::string>& lines, std::size_t index) {
    if (index >= lines.size()) throw ListIndexError(long(index));
    return lines[index];
}

}  // namespace

void SavedTexts::Add(std::string_view name, std::string text) { pairs_.emplace_back(UpperAscii(name), std::move(text)); }

std::string SavedTexts::Find(std::string_view name) const {
    for (const auto& [saved, text] : pairs_)
        if (EqualsIgnoreCaseAscii(saved, name)) return text;
    return {};
}

TranslationTables::TranslationTables(std::string_view map, std::string_view keys, std::string_view texts)
    : map_(SplitLines(map)), keys_(SplitLines(keys)), texts_(SplitLines(texts)) {}

std::optional<std::string> TranslationTables::DialogText(std::string_view dialogKey,
                                                         std::string_view controlName) const {
    for (std::size_t i = 0; i < map_.size(); ++i) {
        if (!EqualsIgnoreCaseAscii(map_[i], dialogKey)) continue;
        if (!EqualsIgnoreCaseAscii(LineAt(keys_, i), controlName)) continue;
        return LineAt(texts_, i);
    }
    return std::nullopt;
}

std::optional<std::string> TranslationTables::CommandText(std::string_view identifier, int textNumber) const {
    for (std::size_t i = 0; i < keys_.size(); ++i) {
        if (!EqualsIgnoreCaseAscii(keys_[i], identifier)) continue;
        long line = long(i) + textNumber - 1;
        if (line < 0) throw ListIndexError(line);
        return LineAt(texts_, std::size_t(line));
    }
    return std::nullopt;
}

std::string TranslateDialogText(const TranslationTables& tables, std::string_view dialogKey,
                                std::string_view controlName, const SavedTexts& saved) {
    if (auto text = tables.DialogText(dialogKey, controlName)) return *text;
    return saved.Find(controlName);
}

std::string TranslateCommandText(const TranslationTables& tables, const std::string& defaultText,
                                 std::string_view identifier, int textNumber) {
    return tables.CommandText(identifier, textNumber).value_or(defaultText);
}

}  // namespace qv
