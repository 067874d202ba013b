// Dialog texts of a form file's tree and their translations: the texts a
// page shows (captions, edit texts, list items) looked up by the dialog key
// and the control's Name, applied to the tree before a page is made from it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "wizard/form_file.h"
#include "wizard/translation_tables.h"

namespace qv {

// Which text of an object the translations replace.
enum class DialogTextKind { None, Caption, Text, Items };

// By class: the page (the root) and labels, group boxes, static texts,
// buttons, check and radio boxes show a Caption; edits a Text; list, check
// list and combo boxes their Items.
DialogTextKind DialogTextKindOf(const FormObject& object, bool isRoot);

// The object's text of that kind; items as lines ended by CR LF.
std::string DialogTextOf(const FormObject& object, DialogTextKind kind);

// Replaces the texts of the tree by their translations for the dialog key:
// the root's caption by the entry (key, key), every other object's text by
// the entry (key, Name); a text without an entry keeps its design text.
// Translated texts are 8-bit strings of the system code page; items come one
// per line. A table that ends before a matching line is a ListIndexError.
void TranslateFormTree(FormObject& root, std::string_view dialogKey, const TranslationTables& tables);

}  // namespace qv
