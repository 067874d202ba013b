// The property hand-over file: how the run passes the script's variables and
// recorded properties to the installer database's own reader, which sets
// them as installer properties. It lives in the system's temporary folder
// under the product code (HandoverFilePath) only while the installer runs.
//
// Format, in the system code page, lines ending in CR LF: a sequence of
// blocks, each a name line, one or more value lines (a value with line
// breaks spans several), and a line "$ex" that closes the block.
#pragma once

#include <string>

#include "installer/derived_folders.h"
#include "installer/installer_plan.h"

namespace qv {

// The blocks in order:
//  1. the source folders: SourceDir with the data folder and MEDIAPACKAGEPATH
//     with the media path; for a patch SourceDir and SRCDIREX, both with the
//     patch source folder (their values as they are);
//  2. every name/value pair of the recorded properties, in recording order;
//  3. every variable of the snapshot, in store order, whose name is not a
//     reserved property name.
// Values of 2 and 3 are written as expanded paths against the snapshot's
// variables: references and "$NEWLINE$" expanded, doubled backslashes
// reduced (a leading pair kept). The command-line tail in CMDLINE shows
// the value of a "/k=" or "-k=" argument as "***".
std::string PropertyHandoverText(const InstallerRunRequest& request, const DerivedFolders& folders);

}  // namespace qv
