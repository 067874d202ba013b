#include "archive/zor/win_text.h"

#include <windows.h>

#include <algorithm>

namespace qv::zor {
namespace {

std::wstring ToWide(UINT codePage, std::string_view text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

}  // namespace

std::wstring AnsiToWide(std::string_view text) { return ToWide(CP_ACP, text); }

std::wstring Utf8ToWide(std::string_view text) { return ToWide(CP_UTF8, text); }

std::string WideToAnsi(std::wstring_view text) {
    if (text.empty()) return {};
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string ansi(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), ansi.data(), n, nullptr, nullptr);
    return ansi;
}

std::string ListedName(std::string_view utf8Path) {
    std::string name = WideToAnsi(Utf8ToWide(utf8Path));
    std::replace(name.begin(), name.end(), '/', '\\');
    return name;
}

}  // namespace qv::zor
