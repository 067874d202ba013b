#include "wizard/translation_form.h"

#include "common/text.h"
#include "wizard/form_properties.h"

namespace qv {

namespace {

bool IsOneOf(const std::string& className, std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (EqualsIgnoreCaseAscii(className, name)) return true;
    return false;
}

void SetText(FormObject& object, const char* property, const std::string& text) {
    if (FormProperty* p = FindProperty(object, property)) {
        p->value = FormValue::Str(text);
        return;
    }
    object.properties.push_back({property, FormValue::Str(text)});
}

void SetItems(FormObject& object, const std::string& text) {
    std::vector<FormValue> items;
    for (auto& line : SplitLines(text)) items.push_back(FormValue::Str(std::move(line)));
    FormValue list = FormValue::ListOf(std::move(items));
    for (const char* name : {"Items.Strings", "Items"}) {
        if (FormProperty* p = FindProperty(object, name)) {
            p->value = std::move(list);
            return;
        }
    }
    object.properties.push_back({"Items.Strings", std::move(list)});
}

void Apply(FormObject& object, DialogTextKind kind, const std::string& text) {
    switch (kind) {
    case DialogTextKind::Caption: SetText(object, "Caption", text); break;
    case DialogTextKind::Text: SetText(object, "Text", text); break;
    case DialogTextKind::Items: SetItems(object, text); break;
    case DialogTextKind::None: break;
    }
}

}  // namespace

DialogTextKind DialogTextKindOf(const FormObject& object, bool isRoot) {
    if (isRoot) return DialogTextKind::Caption;
    const std::string& c = object.className;
    if (IsOneOf(c, {"TLabel", "TGroupBox", "TStaticText", "TButton", "TRzBmpButton", "TSpeedButton", "TBitBtn",
                    "TRzCheckBox", "TRzRadioButton"}))
        return DialogTextKind::Caption;
    if (IsOneOf(c, {"TEdit", "TMaskEdit"})) return DialogTextKind::Text;
    if (IsOneOf(c, {"TListBox", "TCheckListBox", "TComboBox"})) return DialogTextKind::Items;
    return DialogTextKind::None;
}

std::string DialogTextOf(const FormObject& object, DialogTextKind kind) {
    switch (kind) {
    case DialogTextKind::Caption: return StringProperty(object, "Caption");
    case DialogTextKind::Text: return StringProperty(object, "Text");
    case DialogTextKind::Items: {
        std::string text;
        for (const auto& item : StringListProperty(object, "Items")) text += item + "\r\n";
        return text;
    }
    case DialogTextKind::None: break;
    }
    return {};
}

void TranslateFormTree(FormObject& root, std::string_view dialogKey, const TranslationTables& tables) {
    for (FormObject* object : Components(root)) {
        DialogTextKind kind = DialogTextKindOf(*object, false);
        if (kind == DialogTextKind::None) continue;
        if (auto text = tables.DialogText(dialogKey, object->name)) Apply(*object, kind, *text);
    }
    if (auto caption = tables.DialogText(dialogKey, dialogKey)) Apply(root, DialogTextKind::Caption, *caption);
}

}  // namespace qv
