// What the deferred commands record for the installer run: installer
// properties as name/value pairs, the same pairs as alternating lines in the
// parameter log that the product cache keeps for maintenance runs, the texts
// of shortcut and ProgId rows to rewrite, and whether this run installs a new
// instance of the product under fresh codes.
#pragma once

#include <string>
#include <vector>

namespace qv {

struct DeferredProperty {
    std::string name;
    std::string value;  // a CR LF is kept as "$NEWLINE$"
};

struct InstallerRecords {
    std::vector<DeferredProperty> properties;  // the DeferredPropertyList, in recording order
    std::vector<std::string> parameterLog;     // name, value, name, value, ...

    // Triples: the shortcut's Directory_ key, its new Name (short|long), its
    // new Description.
    std::vector<std::string> shortcutUpdates;
    // Triples: the ProgId as authored, the ProgId to write, its Description.
    std::vector<std::string> progIdUpdates;

    // Set by "Transform Instance" for the rest of the run.
    bool newInstanceMode = false;
    // The product code before "Transform Instance" replaced it: the setup's
    // sources are still marked with it. Empty while the code is unchanged.
    std::string originalProductCode;
    // The database that received the new product code; the product cache
    // keeps this one instead of the database beside the setup.
    std::string newInstanceDatabasePath;

    void RecordDeferredProperty(const std::string& name, const std::string& value);
    void AppendParameterLog(const std::string& name, const std::string& value);
};

}  // namespace qv
