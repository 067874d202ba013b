// The translation tables of the current language: three text files of the
// workspace used line by line in parallel.
//
//   Map   "translations.Map"          the dialog key of each line (a dialog
//                                     file's name), anything for commands
//   Keys  title + ".mtx"              the control name, or a command identifier
//   Texts "translations." + language  the translated text
//
// A command's first text stands on the line of its identifier, its second on
// the line after it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qv {

// The design texts a page preparation saved: (control Name upper-cased,
// text). A name finds the text of its first pair, or the empty text.
class SavedTexts {
public:
    void Clear() { pairs_.clear(); }
    void Add(std::string_view name, std::string text);
    std::string Find(std::string_view name) const;

private:
    std::vector<std::pair<std::string, std::string>> pairs_;
};

class TranslationTables {
public:
    TranslationTables() = default;
    // From the contents of the three files; CR LF, CR and LF end a line.
    TranslationTables(std::string_view map, std::string_view keys, std::string_view texts);

    // Texts[i] for the first line i whose Map equals the dialog key and whose
    // Keys entry equals the control name (letter case ignored); none when no
    // line matches. A Keys or Texts file that ends before the matching line
    // is a ListIndexError.
    std::optional<std::string> DialogText(std::string_view dialogKey, std::string_view controlName) const;

    // Texts[i + n - 1] for the first line i whose Keys entry equals the
    // identifier (letter case ignored), n counting from 1 (most commands have
    // two texts, some up to five); none when no line does. An answer line past the end of Texts is a ListIndexError.
    std::optional<std::string> CommandText(std::string_view identifier, int textNumber) const;

private:
    std::vector<std::string> map_;
    std::vector<std::string> keys_;
    std::vector<std::string> texts_;
};

// The dialog lookup with its fall-back: the saved design text of the control
// when the tables hold no translation for it.
std::string TranslateDialogText(const TranslationTables& tables, std::string_view dialogKey,
                                std::string_view controlName, const SavedTexts& saved);

// The command lookup with its fall-back: the default text when the tables
// hold no entry for the identifier. Callers expand the answer.
std::string TranslateCommandText(const TranslationTables& tables, const std::string& defaultText,
                                 std::string_view identifier, int textNumber);

}  // namespace qv
