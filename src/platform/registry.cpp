#include "platform/registry.h"

#include <vector>

#include "platform/handles.h"

namespace qv::win {

std::optional<std::string> ReadRegistryString(HKEY root, const std::string& key, const std::string& value) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS) return std::nullopt;
    UniqueKey k(raw);
    DWORD type = 0, size = 0;
    if (::RegQueryValueExA(k.get(), value.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return std::nullopt;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return std::nullopt;
    std::vector<char> buffer(size + 1, '\0');
    if (::RegQueryValueExA(k.get(), value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return std::string(buffer.data());
}

bool WriteRegistryString(HKEY root, const std::string& key, const std::string& value, const std::string& data) {
    HKEY raw = nullptr;
    if (::RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr) != ERROR_SUCCESS)
        return false;
    UniqueKey k(raw);
    return ::RegSetValueExA(k.get(), value.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                            DWORD(data.size() + 1)) == ERROR_SUCCESS;
}

bool WriteRegistryNumber(HKEY root, const std::string& key, const std::string& value, unsigned long data) {
    HKEY raw = nullptr;
    if (::RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr) != ERROR_SUCCESS)
        return false;
    UniqueKey k(raw);
    const DWORD number = data;
    return ::RegSetValueExA(k.get(), value.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                            sizeof number) == ERROR_SUCCESS;
}

bool DeleteRegistryValue(HKEY root, const std::string& key, const std::string& value) {
    HKEY raw = nullptr;
    if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_SET_VALUE, &raw) != ERROR_SUCCESS) return false;
    UniqueKey k(raw);
    return ::RegDeleteValueA(k.get(), value.c_str()) == ERROR_SUCCESS;
}

bool DeleteRegistryKey(HKEY root, const std::string& key) { return ::RegDeleteKeyA(root, key.c_str()) == ERROR_SUCCESS; }

}  // namespace qv::win
