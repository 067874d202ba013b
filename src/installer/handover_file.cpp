#include "installer/handover_file.h"

#include "engine/variable_store.h"
#include "installer/reserved_properties.h"

namespace qv {

namespace {

void AppendBlock(std::string& out, const std::string& name, const std::string& value) {
    out += name;
    out += "\r\n";
    out += value;
    out += "\r\n$ex\r\n";
}

}  // namespace

std::string PropertyHandoverText(const InstallerRunRequest& request, const DerivedFolders& folders) {
    std::string out;
    if (request.patch) {
        AppendBlock(out, "SourceDir", folders.patchSourceFolder);
        AppendBlock(out, "SRCDIREX", folders.patchSourceFolder);
    } else {
        AppendBlock(out, "SourceDir", folders.dataFolder);
        AppendBlock(out, "MEDIAPACKAGEPATH", folders.mediaPath);
    }

    VariableStore snapshot;
    snapshot.SetListText(request.variables);

    // A log whose last name lost its value still sets that property, empty.
    std::vector<std::string> log = DecodeList(request.properties);
    for (std::size_t i = 0; i < log.size(); i += 2)
        AppendBlock(out, log[i], snapshot.ExpandPath(i + 1 < log.size() ? log[i + 1] : std::string()));

    for (const auto& [name, value] : snapshot.Snapshot())
        if (!IsReservedPropertyName(name)) AppendBlock(out, name, snapshot.ExpandPath(value));
    return out;
}

}  // namespace qv
