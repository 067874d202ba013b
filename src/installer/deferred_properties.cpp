#include "installer/deferred_properties.h"

#include "engine/variable_store.h"

namespace qv {

void InstallerRecords::RecordDeferredProperty(const std::string& name, const std::string& value) {
    properties.push_back({name, EncodeNewlines(value)});
}

void InstallerRecords::AppendParameterLog(const std::string& name, const std::string& value) {
    parameterLog.push_back(EncodeNewlines(name));
    parameterLog.push_back(EncodeNewlines(value));
}

}  // namespace qv
