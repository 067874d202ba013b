// Registry calls of the stub. The stub is a 32-bit program and works in the
// registry view a 32-bit program sees; no key is opened with a view flag.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace qv::win {

std::optional<std::string> ReadRegistryString(HKEY root, const std::string& key, const std::string& value);
// Opens (creating it) the key and writes a string value.
bool WriteRegistryString(HKEY root, const std::string& key, const std::string& value, const std::string& data);
// A REG_DWORD value.
bool WriteRegistryNumber(HKEY root, const std::string& key, const std::string& value, unsigned long data);
bool DeleteRegistryValue(HKEY root, const std::string& key, const std::string& value);
// Deletes a key that has no subkeys.
bool DeleteRegistryKey(HKEY root, const std::string& key);

}  // namespace qv::win
