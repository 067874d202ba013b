#include "wizard/toolkit/win_text.h"

#include <windows.h>

namespace qv::toolkit {

namespace {

std::wstring ToWide(UINT codePage, std::string_view text) {
    if (text.empty()) return {};
    int n = ::MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring wide(std::size_t(n), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), wide.data(), n);
    return wide;
}

std::string FromWide(UINT codePage, std::wstring_view text) {
    if (text.empty()) return {};
    int n = ::WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(std::size_t(n), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}

}  // namespace

std::wstring AnsiToWide(std::string_view text) { return ToWide(CP_ACP, text); }
std::string WideToAnsi(std::wstring_view text) { return FromWide(CP_ACP, text); }
std::wstring Utf8ToWide(std::string_view text) { return ToWide(CP_UTF8, text); }
std::string WideToUtf8(std::wstring_view text) { return FromWide(CP_UTF8, text); }

std::wstring WideOf(const FormValue& value) {
    if (value.kind == FormValueKind::String) return AnsiToWide(value.text);
    if (value.isString() || value.kind == FormValueKind::Identifier) return Utf8ToWide(value.text);
    return {};
}

FormValue ValueOfWide(std::wstring_view text, const FormValue& like) {
    if (like.kind == FormValueKind::WideString || like.kind == FormValueKind::Utf8String)
        return FormValue::Wide(WideToUtf8(text), like.kind);
    return FormValue::Str(WideToAnsi(text));
}

std::wstring WindowText(void* window) {
    HWND w = static_cast<HWND>(window);
    int n = ::GetWindowTextLengthW(w);
    std::wstring text(std::size_t(n) + 1, L'\0');
    n = ::GetWindowTextW(w, text.data(), n + 1);
    text.resize(std::size_t(n < 0 ? 0 : n));
    return text;
}

}  // namespace qv::toolkit
