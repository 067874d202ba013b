// Questions about installed products that several commands share.
#pragma once

#include <optional>
#include <string>

namespace qv::win {

// True when the installer reports the product installed (state 5) for this
// user or the machine.
bool ProductIsInstalled(const std::string& productCode);
// The installed product's package code, when the installer can tell it.
std::optional<std::string> InstalledPackageCode(const std::string& productCode);
// True when the installed product's package code equals the revision code
// (letter case ignored).
bool PackageCodeMatches(const std::string& productCode, const std::string& revisionCode);
// A fresh GUID as text: "{" 8-4-4-4-12 upper-case hexadecimal digits "}".
std::string NewGuidText();

}  // namespace qv::win
