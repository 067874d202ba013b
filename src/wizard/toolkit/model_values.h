// Short reads of a control's model for the window layer. The model holds
// every property the window layer reads (the class defaults fill the gaps),
// so these never fall back except for properties of unknown classes.
#pragma once

#include <string>
#include <string_view>

#include "common/text.h"
#include "wizard/form_properties.h"
#include "wizard/toolkit/layout.h"
#include "wizard/toolkit/win_text.h"

namespace qv::toolkit {

inline bool Flag(const FormObject& m, std::string_view name, bool fallback = false) {
    return BoolProperty(m, name, fallback);
}
inline int Number(const FormObject& m, std::string_view name, int fallback = 0) {
    return int(IntegerProperty(m, name, fallback));
}
inline std::string Ident(const FormObject& m, std::string_view name, std::string_view fallback = {}) {
    const FormProperty* p = FindProperty(m, name);
    if (!p || p->value.kind == FormValueKind::Nil) return std::string(fallback);
    return IdentifierProperty(m, name, fallback);
}
inline bool Is(const FormObject& m, std::string_view name, std::string_view identifier) {
    return EqualsIgnoreCaseAscii(Ident(m, name), identifier);
}
// A string property as the window shows it.
inline std::wstring WideText(const FormObject& m, std::string_view name) {
    const FormProperty* p = FindProperty(m, name);
    return p ? WideOf(p->value) : std::wstring();
}
// The items of a string list as the window shows them.
inline std::vector<std::wstring> WideLines(const FormObject& m, std::string_view name) {
    std::vector<std::wstring> lines;
    const FormProperty* p = FindProperty(m, name);
    if (!p) p = FindProperty(m, std::string(name) + ".Strings");
    if (p && p->value.kind == FormValueKind::List)
        for (const FormValue& item : p->value.items) lines.push_back(WideOf(item));
    return lines;
}
// Strings of a string-or-binary property (file names, masks) in 8 bits.
inline std::string AnsiText(const FormObject& m, std::string_view name) {
    const FormProperty* p = FindProperty(m, name);
    if (!p || !p->value.isString()) return {};
    return p->value.kind == FormValueKind::String ? p->value.text : WideToAnsi(Utf8ToWide(p->value.text));
}
inline void SetAnsiText(FormObject& m, std::string_view name, const std::string& text) {
    FormProperty* p = FindProperty(m, name);
    if (!p) {
        m.properties.push_back({std::string(name), FormValue::Str(text)});
    } else if (p->value.kind == FormValueKind::WideString || p->value.kind == FormValueKind::Utf8String) {
        p->value.text = WideToUtf8(AnsiToWide(text));
    } else {
        p->value = FormValue::Str(text);
    }
}

}  // namespace qv::toolkit
