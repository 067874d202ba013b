// The property command line of an installer run, and for a removal the
// session properties that stand in for it. The installer reads the sources
// from SRCDIR, SOURCELIST and MEDIAPACKAGEPATH; the add/remove programs
// entry of the product is the setup's own, so the installer's is hidden.
#pragma once

#include <string>
#include <string_view>

#include "engine/variable_store.h"
#include "installer/derived_folders.h"
#include "installer/installer_plan.h"

namespace qv {

// name=value followed by a space; quoted puts the value in double quotes.
std::string PropertyItem(std::string_view name, std::string_view value, bool quoted);

// "ALLUSERS=1 " for a per-machine run, else ALLUSERS="" and a space: the
// empty quoted value makes the installer decide per user.
std::string AllUsersPart(bool allUsers);

// Install, maintenance or advertisement. Over an installed product every
// feature is reinstalled whatever the request says; otherwise all features
// are advertised or installed locally.
std::string InstallCommandLine(bool installed, bool advertise, bool allUsers, const DerivedFolders& folders);

// A patch gets its sources from the installed copy's folder.
std::string PatchCommandLine(bool allUsers, const DerivedFolders& folders);

// A removal runs in an installer session whose properties are set one by
// one, in this order, before its "INSTALL" action runs. SRCDIR and
// MEDIAPACKAGEPATH carry their double quotes inside the value when the data
// folder needs them.
NameValueList RemovalSessionProperties(bool allUsers, const DerivedFolders& folders);

enum class InstallerCallKind {
    InstallProduct,  // install the package with the command line
    RemoveProduct,   // open the package as a session, set its properties, run the action
    ApplyPatch,      // add the source folder to the product's source list, apply the patch
};

struct InstallerCall {
    InstallerCallKind kind = InstallerCallKind::InstallProduct;
    std::string packagePath;
    std::string commandLine;          // InstallProduct and ApplyPatch
    NameValueList sessionProperties;  // RemoveProduct
    std::string sessionAction;        // RemoveProduct: "INSTALL"
    // ApplyPatch: added to the product's source list for no named user, then
    // for the current user, before the patch is applied.
    std::string sourceFolder;
};

// `installed`: the installer reports the product installed (state 5).
InstallerCall PlanInstallerCall(const InstallerRunRequest& request, const RunSettings& settings,
                                const DerivedFolders& folders, bool installed);

}  // namespace qv
