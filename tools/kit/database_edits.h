// Changes the kit makes to the installer database after wixl has built it:
// rows that WiX source cannot express here (component conditions) and any
// statement a project needs, such as a custom action that fails on purpose.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "bootstrap/package.h"

namespace qv::kit {

// The project's "database" object as SQL statements, in this order:
//  - per "activate" entry {"component": C, "command": N}: component C gets
//    the condition AQV<N>="TRUE" OR REMOVE~="ALL", so that the deferred
//    command at 0-based script position N switches it on and a removal still
//    takes it away (the installer leaves a component whose condition is
//    false alone);
//  - the "sql" texts as written.
// Throws KitError when N is not the position of a deferred command.
std::vector<std::string> DatabaseEdits(const nlohmann::json& database, const SetupScript& script);

// Runs each statement on the database with msibuild.
void ApplyDatabaseEdits(const std::filesystem::path& msi, const std::vector<std::string>& statements);

}  // namespace qv::kit
