#include "bootstrap/stub_commands.h"

#include "actions/file_commands.h"
#include "engine/control_flow.h"
#include "engine/core_commands.h"
#include "engine/termination.h"
#include "engine/value_commands.h"
#include "installer/component_commands.h"
#include "installer/installer_commands.h"
#include "media/archive_commands.h"
#include "wizard/dialog_commands.h"

namespace qv::win {

const CommandTable& StubCommands() {
    static const CommandTable table = [] {
        CommandTable t;
        RegisterCoreCommands(t);
        RegisterControlFlowCommands(t);
        RegisterValueCommands(t);
        RegisterTerminationCommands(t);
        RegisterArchiveCommands(t);
        RegisterDialogCommands(t);
        RegisterFileCommands(t);
        RegisterComponentCommands(t);
        RegisterInstallerCommands(t);
        return t;
    }();
    return table;
}

}  // namespace qv::win
