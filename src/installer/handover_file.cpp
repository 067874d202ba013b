#include "installer/handover_file.h"

#include "common/text.h"
#include "engine/variable_store.h"
#include "installer/installer_log.h"
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

    // The installer turns every block into a property and logs its value, and
    // the file itself lies in the temporary folder: the download password of
    // the command line is not the installer's business.
    for (const auto& [name, value] : snapshot.Snapshot()) {
        if (IsReservedPropertyName(name)) continue;
        std::string text = snapshot.ExpandPath(value);
        AppendBlock(out, name, UpperAscii(name) == "CMDLINE" ? MaskPasswordArguments(text) : text);
    }
    return out;
}

}  // namespace qv
