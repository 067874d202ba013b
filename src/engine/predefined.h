// Names of the variables every script may use without defining them.
#pragma once

namespace qv {

// Defined (empty) for the validation pass, in this order.
inline constexpr const char* kValidationPredefined[] = {
    "TIME", "DATE", "NEWINSTANCE", "SELECTED", "WINDOWHANDLE", "EXEDIR", "EXEFILE", "UNINSTALLLINK", "ABORT",
    "SILENT", "LOGGED", "CMDLINE", "SFXPATH", "SFXFILE", "LASTERROR", "PROGRESSMODE", "PROGRESSTEXT", "PROGRESS",
    "LICENSE", "USERNAME", "USERCOMPANY", "REBOOTCOMPUTER", "RUNAPP", "WIZARD", "VERSION", "TARGETDIR", "STARTMENU",
    "ADVERTISE", "ALLUSERS", "COMPLETE", "MINIMUM", "PERSONALIZED", "MODIFY", "REPAIR", "REMOVE", "DATADIR",
    "PRODUCTCODE", "REVISIONCODE", "ROOTDIR", "MAINTENANCE", "NEEDSUPGRADE", "TITLE", "COMPANY", "TEMPDIR",
    "SUPPORTDIR", "MSIFILE", "LANGUAGE",
};

}  // namespace qv
