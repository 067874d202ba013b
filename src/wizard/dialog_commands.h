// "Display Dialog", "Hide Dialog" and "MessageBox": the commands that reach
// the user directly, over the run's PageHost.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "wizard/page_host.h"

namespace qv {

class CommandTable;

// The result text of a page: "NOTMODAL", "CANCEL", "NEXT", "BACK" or the
// upper-cased name of the control that ended it.
std::string PageResultText(const ShownPage& shown);

// The system message box style for an icon kind (0 information, 1 question,
// 2 warning, 3 error) and a button kind (0 Abort/Retry/Ignore, 1 OK,
// 2 OK/Cancel, 3 Retry/Cancel, 4 Yes/No, 5 Yes/No/Cancel); other kinds add
// nothing.
std::uint32_t MessageBoxStyle(std::int32_t iconKind, std::int32_t buttonKind);

// "OK", "CANCEL", "ABORT", "RETRY", "IGNORE", "YES", "NO" for the system's
// button identifiers 1 to 7; nothing for any other answer.
std::optional<std::string> MessageBoxAnswerText(int answer);

void RegisterDialogCommands(CommandTable& table);

}  // namespace qv
