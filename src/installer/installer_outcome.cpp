#include "installer/installer_outcome.h"

namespace qv {

namespace {

constexpr std::uint32_t kSuccess = 0;
constexpr std::uint32_t kSuccessRebootInitiated = 1641;
constexpr std::uint32_t kSuccessRebootRequired = 3010;

}  // namespace

void RecordInstallerResult(InstallerRunResult& result, std::uint32_t code, const SystemMessageText& systemText) {
    if (code == kSuccess) return;
    if (code == kSuccessRebootRequired || code == kSuccessRebootInitiated) {
        result.reboot = true;
        return;
    }
    result.failed = true;
    result.errorText = TrimSystemMessage(systemText ? systemText(code) : std::string());
}

void RecordRemovalResult(InstallerRunResult& result, std::uint32_t code, bool rebootAtEnd, bool rebootNow,
                         const SystemMessageText& systemText) {
    if (code != kSuccess)
        RecordInstallerResult(result, code, systemText);
    else if (rebootAtEnd || rebootNow)
        result.reboot = true;
}

std::string TrimSystemMessage(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0) {
        unsigned char c = static_cast<unsigned char>(text[end - 1]);
        if (c > ' ' && c != '.' && c != 127) break;
        --end;
    }
    return std::string(text.substr(0, end));
}

void CompleteFailureText(InstallerRunResult& result, std::string_view lastInstallerError,
                         std::string_view generalFailure) {
    if (!result.failed || !result.errorText.empty()) return;
    std::string text(lastInstallerError.empty() ? generalFailure : lastInstallerError);
    std::size_t stop = text.find('.');
    if (stop != std::string::npos && stop + 1 == text.size()) text.pop_back();
    result.errorText = std::move(text);
}

InstallerOutcome RunOutcome(bool cancelled, const InstallerRunResult& result) {
    if (cancelled) return InstallerOutcome::Cancelled;
    if (result.failed) return InstallerOutcome::Failed;
    if (result.reboot) return InstallerOutcome::Reboot;
    return InstallerOutcome::Complete;
}

const char* OutcomeText(InstallerOutcome outcome) {
    switch (outcome) {
    case InstallerOutcome::Complete: return "COMPLETE";
    case InstallerOutcome::Reboot: return "REBOOT";
    case InstallerOutcome::Cancelled: return "CANCEL";
    case InstallerOutcome::Failed: break;
    }
    return "ERROR";
}

}  // namespace qv
