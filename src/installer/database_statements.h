// The SQL that completes the workspace copy of the installer database before
// the installer runs. Names and values go between single quotes as they are:
// a text with a quote makes its statement fail, and the installer database
// then keeps its row unchanged, which is the intended outcome.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qv {

// A recorded value as the Property table takes it: "$NEWLINE$" back to CR LF.
std::string RestoreNewlines(std::string_view storedValue);

// The INSERT that adds the property, then the UPDATE that sets it where the
// database already has the row (the INSERT then fails). The value is taken
// as recorded and restored here.
std::vector<std::string> PropertyStatements(std::string_view name, std::string_view storedValue);

// Gives a new instance its own product code.
std::string ProductCodeStatement(std::string_view productCode);

// Name then Description of every shortcut row with that Directory_ key, for
// each complete triple (key, name, description); a trailing incomplete
// triple is left out.
std::vector<std::string> ShortcutUpdateStatements(const std::vector<std::string>& updates);

// Per triple (authored, new, description): the Description first, while the
// row can still be found under its authored ProgId, then the ProgId itself.
std::vector<std::string> ProgIdUpdateStatements(const std::vector<std::string>& updates);

inline constexpr const char* kComponentIdQuery = "SELECT `ComponentId` FROM `Component`";

// Summary information property 9 (PID_REVNUMBER) holds the package code,
// stored as a string (VT_LPSTR, 30).
inline constexpr unsigned kSummaryPackageCode = 9;
inline constexpr unsigned kSummaryStringType = 30;

}  // namespace qv
