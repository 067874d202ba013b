// The header that the setup writes at the top of the installer log before
// the installer appends its own log to the same file: what the run was
// given, so that a failed run can be understood from the log alone.
#pragma once

#include <string>
#include <string_view>

#include "installer/derived_folders.h"
#include "installer/installer_plan.h"

namespace qv {

// The header as 8-bit text in the system code page, lines ending in CR LF:
// the timestamp line, then one titled section each for the variables, the
// recorded properties, the package path, the product code, the data folder,
// the media path and the MSI folder, each followed by an empty line, and one
// more empty line. `timestamp` is the local date and time in the system's
// short date and long time formats.
//
// The download password given on the command line stays out of the log:
// every "/k=" or "-k=" argument inside a variable or property value (the
// command-line tail in CMDLINE, or a copy of it) shows its value as "***".
std::string InstallerLogHeader(const InstallerRunRequest& request, const DerivedFolders& folders,
                               std::string_view timestamp);

// The text with the value of every "/k=" or "-k=" argument (letter case
// ignored; arguments split as on the command line, double quotes grouping)
// replaced by "***". Everything else, blanks included, stays as it is.
std::string MaskPasswordArguments(std::string_view text);

// The bytes to write for the header: on the NT family the installer appends
// its log as UTF-16LE, so the header is converted from the Western code page
// (Windows-1252) to UTF-16LE without a byte-order mark; elsewhere the 8-bit
// text itself.
std::string InstallerLogHeaderBytes(std::string_view header, bool ntPlatform);

}  // namespace qv
