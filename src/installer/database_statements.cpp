#include "installer/database_statements.h"

#include "engine/variable_store.h"

namespace qv {

namespace {

std::string Quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

std::string Update(std::string_view table, std::string_view column, std::string_view value, std::string_view keyColumn,
                   std::string_view key) {
    return "UPDATE `" + std::string(table) + "` SET `" + std::string(column) + "`=" + Quoted(value) + " WHERE `" +
           std::string(keyColumn) + "`=" + Quoted(key);
}

}  // namespace

std::string RestoreNewlines(std::string_view storedValue) {
    return ReplaceText(storedValue, "$NEWLINE$", "\r\n", true, false);
}

std::vector<std::string> PropertyStatements(std::string_view name, std::string_view storedValue) {
    std::string value = RestoreNewlines(storedValue);
    return {
        "INSERT INTO `Property` ( `Property` , `Value` ) VALUES ( " + Quoted(name) + " , " + Quoted(value) + " )",
        Update("Property", "Value", value, "Property", name),
    };
}

std::string ProductCodeStatement(std::string_view productCode) {
    return Update("Property", "Value", productCode, "Property", "ProductCode");
}

std::vector<std::string> ShortcutUpdateStatements(const std::vector<std::string>& updates) {
    std::vector<std::string> statements;
    for (std::size_t i = 0; i + 2 < updates.size(); i += 3) {
        const std::string &key = updates[i], &name = updates[i + 1], &description = updates[i + 2];
        statements.push_back(Update("Shortcut", "Name", name, "Directory_", key));
        statements.push_back(Update("Shortcut", "Description", description, "Directory_", key));
    }
    return statements;
}

std::vector<std::string> ProgIdUpdateStatements(const std::vector<std::string>& updates) {
    std::vector<std::string> statements;
    for (std::size_t i = 0; i + 2 < updates.size(); i += 3) {
        const std::string &authored = updates[i], &progId = updates[i + 1], &description = updates[i + 2];
        statements.push_back(Update("ProgId", "Description", description, "ProgId", authored));
        statements.push_back(Update("ProgId", "ProgId", progId, "ProgId", authored));
    }
    return statements;
}

}  // namespace qv
