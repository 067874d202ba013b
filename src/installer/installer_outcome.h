// How an installer run ends: the installer's result code, the run's error
// text, and the outcome that the script sees in its result variable.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qv {

// What the run reports back to the command; the numbers are the outcome codes.
enum class InstallerOutcome : int {
    Failed = -1,
    Cancelled = 0,
    Complete = 1,
    Reboot = 2,  // done, and the machine must restart to finish
};

// Written by the worker while the installer runs; read after it is done.
struct InstallerRunResult {
    bool failed = false;
    bool reboot = false;
    std::string errorText;
};

// The system's text for an error code (its message table, inserts ignored).
using SystemMessageText = std::function<std::string(std::uint32_t code)>;

// Takes the result of an install, removal or patch call: 0 succeeds; 3010
// and 1641 succeed and ask for a restart; anything else fails, with the
// system's text for the code, trimmed by TrimSystemMessage, as error text.
void RecordInstallerResult(InstallerRunResult& result, std::uint32_t code, const SystemMessageText& systemText);

// Takes the result of the "INSTALL" action of a removal session: a non-zero
// code as RecordInstallerResult; success asks for a restart when the session
// is in its reboot-at-end or reboot-now run mode.
void RecordRemovalResult(InstallerRunResult& result, std::uint32_t code, bool rebootAtEnd, bool rebootNow,
                         const SystemMessageText& systemText);

// System texts end in a full stop and a line break; the script wants the bare
// sentence. Removes trailing control characters, spaces and full stops.
std::string TrimSystemMessage(std::string_view text);

// A failed run always carries a text: when it has none yet, the last error
// the installer sent, else `generalFailure` (the "General setup failure"
// message); a text whose only full stop ends it loses that full stop.
void CompleteFailureText(InstallerRunResult& result, std::string_view lastInstallerError,
                         std::string_view generalFailure);

// A cancel wins over the failure that the installer reports for the
// interrupted run; a failure wins over a restart request.
InstallerOutcome RunOutcome(bool cancelled, const InstallerRunResult& result);

// "COMPLETE", "REBOOT", "CANCEL" or "ERROR". A Reboot outcome also sets
// REBOOTCOMPUTER to "TRUE", which the command does itself.
const char* OutcomeText(InstallerOutcome outcome);

}  // namespace qv
