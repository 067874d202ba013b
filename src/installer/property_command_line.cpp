#include "installer/property_command_line.h"

namespace qv {

namespace {

std::string Quoted(std::string_view value, bool quoted) {
    return quoted ? "\"" + std::string(value) + "\"" : std::string(value);
}

}  // namespace

std::string PropertyItem(std::string_view name, std::string_view value, bool quoted) {
    return std::string(name) + "=" + Quoted(value, quoted) + " ";
}

std::string AllUsersPart(bool allUsers) { return allUsers ? "ALLUSERS=1 " : "ALLUSERS=\"\" "; }

std::string InstallCommandLine(bool installed, bool advertise, bool allUsers, const DerivedFolders& folders) {
    std::string line;
    if (installed)
        line = "REINSTALL=ALL REINSTALLMODE=vomus ";
    else if (advertise)
        line = "ADVERTISE=ALL ";
    else
        line = "ADDLOCAL=ALL ";
    line += AllUsersPart(allUsers);
    line += "ARPSYSTEMCOMPONENT=1 ARPNOREMOVE=1 ARPNOMODIFY=1 ARPNOREPAIR=1 ";
    line += PropertyItem("SRCDIR", folders.dataFolder, folders.quoteData);
    line += PropertyItem("SOURCELIST", folders.sourceList, false);
    line += PropertyItem("MEDIAPACKAGEPATH", folders.mediaPath, folders.quoteData);
    line += "REBOOT=R ";
    return line;
}

std::string PatchCommandLine(bool allUsers, const DerivedFolders& folders) {
    return "ADDLOCAL=ALL " + AllUsersPart(allUsers) +
           PropertyItem("SRCDIR", folders.patchSourceFolder, folders.quoteData) +
           PropertyItem("SRCDIREX", folders.patchSourceFolder, folders.quoteData);
}

NameValueList RemovalSessionProperties(bool allUsers, const DerivedFolders& folders) {
    return {
        {"ALLUSERS", allUsers ? "1" : ""},
        {"REMOVE", "ALL"},
        {"SRCDIR", Quoted(folders.dataFolder, folders.quoteData)},
        {"SOURCELIST", folders.sourceList},
        {"MEDIAPACKAGEPATH", Quoted(folders.mediaPath, folders.quoteData)},
        {"REBOOT", "R"},
    };
}

InstallerCall PlanInstallerCall(const InstallerRunRequest& request, const RunSettings& settings,
                                const DerivedFolders& folders, bool installed) {
    InstallerCall call;
    call.packagePath = request.packagePath;
    if (request.patch) {
        call.kind = InstallerCallKind::ApplyPatch;
        call.commandLine = PatchCommandLine(settings.allUsers, folders);
        call.sourceFolder = folders.patchSourceFolder;
    } else if (request.installs()) {
        call.kind = InstallerCallKind::InstallProduct;
        call.commandLine = InstallCommandLine(installed, request.advertise, settings.allUsers, folders);
    } else {
        call.kind = InstallerCallKind::RemoveProduct;
        call.sessionProperties = RemovalSessionProperties(settings.allUsers, folders);
        call.sessionAction = "INSTALL";
    }
    return call;
}

}  // namespace qv
