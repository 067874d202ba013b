// The language selection's system side on Windows.
#pragma once

#include "wizard/language_host.h"

namespace qv::win {

class WinLanguageHost : public LanguageHost {
public:
    std::vector<std::string> FindTranslationFiles(const std::string& folder) override;
    std::string UserDefaultLanguageText() override;
    std::optional<std::size_t> ShowLanguageForm(const std::vector<std::string>& items,
                                                std::size_t preselected) override;
};

}  // namespace qv::win
