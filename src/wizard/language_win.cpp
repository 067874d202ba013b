#include <windows.h>

#include "wizard/language_win.h"

#include <algorithm>

#include "common/text.h"
#include "platform/handles.h"
#include "wizard/language_form.h"

namespace qv::win {

std::vector<std::string> WinLanguageHost::FindTranslationFiles(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    UniqueFind find(::FindFirstFileA((folder + "translations.*").c_str(), &data));
    if (find) {
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
        } while (::FindNextFileA(find.get(), &data));
    }
    // The order of an NTFS listing, whatever the file system below.
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return Upper8Bit(a) < Upper8Bit(b); });
    for (auto& name : names) name = folder + name;
    return names;
}

std::string WinLanguageHost::UserDefaultLanguageText() {
    char buffer[16] = {};
    int n = ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IDEFAULTLANGUAGE, buffer, sizeof buffer);
    return n > 1 ? std::string(buffer, std::size_t(n - 1)) : std::string();
}

std::optional<std::size_t> WinLanguageHost::ShowLanguageForm(const std::vector<std::string>& items,
                                                             std::size_t preselected) {
    return TSetLanguage(items, preselected).ShowModal();
}

}  // namespace qv::win
