// The kit's form compiler: the readable text form of a dialog to the binary
// dialog file the stub loads.
//
//   object Name: TClass [position]        (or "inherited", "inline"; the name
//     Property = value                     may be left out: "object TClass")
//     Font.Name = 'Tahoma'
//     object Child: TButton ... end        children follow the properties
//   end
//
// Values: integers (-12, $FF: 64-bit two's complement), floats (1.5, 2E10;
// a suffix s, c or d makes a single, currency or date: 22.5c), strings of
// quoted pieces and #n codes ('It''s'#13#10'done', joined by "+" across
// lines), identifiers (alClient, Form1.Edit1), True, False, nil, sets
// ([fsBold, fsItalic]), lists (( 'a' 'b' )), collections
// (<item Caption = 'x' end item [5] end>) and binary data ({ 0A1B }).
// Keywords and True/False/nil ignore letter case.
//
// The text is UTF-8. A string of characters below 128 only is an 8-bit
// string; any other character, written as itself or as a #n code from 128
// up, makes the whole string a wide string (#n codes are UTF-16 units, or
// code points above FFFF).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "wizard/form_file.h"

namespace qv::kit {

// Throws KitError "line L, column C: ..." for text that is not a form.
qv::FormObject ParseFormText(std::string_view text);

// The dialog file for a text form: a resource header named after the root
// class and the binary stream.
std::string CompileForm(std::string_view text);

// `quorvex-kit form IN OUT`: compiles a text form file. Errors name the input
// file; OUT is replaced only when compiling and writing succeeded.
void CompileFormFile(const std::filesystem::path& in, const std::filesystem::path& out);

}  // namespace qv::kit
