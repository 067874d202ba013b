// What the deferred commands record for the installer run: installer
// properties as name/value pairs, and the same pairs as alternating lines in
// the parameter log that the product cache keeps for maintenance runs.
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

    void RecordDeferredProperty(const std::string& name, const std::string& value);
    void AppendParameterLog(const std::string& name, const std::string& value);
};

}  // namespace qv
