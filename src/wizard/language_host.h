// What the language selection needs from the system beyond the engine's
// host: the workspace's translation files, the user's language and the
// selection form. The stub implements it over Win32; tests with plain data.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace qv {

class LanguageHost {
public:
    virtual ~LanguageHost() = default;

    // The full paths of the files (not folders) in the folder whose names
    // match "translations.*", ordered by name without regard to letter case.
    virtual std::vector<std::string> FindTranslationFiles(const std::string& folder) = 0;
    // The user default locale's default-language value: hexadecimal text
    // such as "0409".
    virtual std::string UserDefaultLanguageText() = 0;
    // Shows the selection form (`TSetLanguage`) with the items, one of them
    // preselected, and waits for the user: the chosen item's index, or
    // nothing when the form was cancelled or closed.
    virtual std::optional<std::size_t> ShowLanguageForm(const std::vector<std::string>& items,
                                                        std::size_t preselected) = 0;
};

}  // namespace qv
