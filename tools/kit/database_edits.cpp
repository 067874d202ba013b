#include "database_edits.h"

#include <nlohmann/json.hpp>

#include "ansi_text.h"
#include "json_fields.h"
#include "kit_error.h"
#include "run_tool.h"

namespace qv::kit {

namespace {

std::string HeaderKeyAt(const SetupScript& script, std::int64_t position, const std::string& where) {
    for (const CommandHeader& header : script.commandHeaders)
        if (header.position == std::to_string(position)) return header.key;
    throw KitError(where + ": \"command\" " + std::to_string(position) +
                   " is not the 0-based position of a deferred command");
}

}  // namespace

std::vector<std::string> DatabaseEdits(const nlohmann::json& database, const SetupScript& script) {
    JsonFields f(database, "database");
    std::vector<std::string> statements;
    std::size_t n = 0;
    for (const auto& item : f.array("activate")) {
        JsonFields a(item, "database: activation " + std::to_string(++n));
        std::string component = a.text("component");
        if (component.empty()) throw KitError(a.where() + ": \"component\" is required");
        if (!a.has("command")) throw KitError(a.where() + ": \"command\" is required");
        std::string key = HeaderKeyAt(script, a.integer("command", -1), a.where());
        a.finish();
        statements.push_back("UPDATE `Component` SET `Condition`='A" + key + "=\"TRUE\" OR REMOVE~=\"ALL\"' WHERE `Component`='" +
                             component + "'");
    }
    n = 0;
    for (const auto& sql : f.array("sql")) {
        ++n;
        if (!sql.is_string()) throw KitError("database: \"sql\" entry " + std::to_string(n) + " must be a text");
        statements.push_back(Utf8ToAnsi(sql.get<std::string>(), "database: \"sql\" entry " + std::to_string(n)));
    }
    f.finish();
    return statements;
}

void ApplyDatabaseEdits(const std::filesystem::path& msi, const std::vector<std::string>& statements) {
    for (const std::string& sql : statements) RunTool({"msibuild", msi.string(), "-q", sql}, msi.parent_path());
}

}  // namespace qv::kit
