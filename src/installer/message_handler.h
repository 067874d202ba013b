// The setup's handler for the installer's user-interface messages: the
// installer runs without its own interface, sends every message here, and
// continues, retries or stops by the number the handler returns. Progress
// messages move the wizard's progress bar; errors, warnings and questions
// become message boxes unless the run is silent.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qv {

// The message kind is the top byte of the installer's message type; its low
// 24 bits are the message-box style (buttons, icon, default button) the
// installer asks for.
enum class InstallerMessageKind : std::uint32_t {
    FatalExit = 0,
    Error = 1,
    Warning = 2,
    User = 3,
    Info = 4,
    FilesInUse = 5,
    ResolveSource = 6,
    OutOfDiskSpace = 7,
    ActionStart = 8,
    ActionData = 9,
    Progress = 10,
    CommonData = 11,
    Initialize = 12,
    Terminate = 13,
    ShowDialog = 14,
};

constexpr std::uint32_t InstallerMessageType(InstallerMessageKind kind, std::uint32_t style = 0) {
    return (static_cast<std::uint32_t>(kind) << 24) | (style & 0x00FFFFFF);
}

// The progress of the current installer script, in the installer's own
// units; a reset message starts it anew.
struct InstallerProgressState {
    std::int64_t total = 0;
    std::int64_t done = 0;
    std::int32_t step = 0;     // added to done by every action-data message
    int direction = 1;         // +1 forward, -1 when the installer counts down (rollback)
    std::int64_t minimum = 0;
    std::string actionText;
};

// What the progress display receives after every message.
struct ProgressReport {
    std::string text;
    std::int64_t minimum = 0;
    std::int64_t maximum = 0;
    std::int64_t position = 0;
};

struct InstallerMessageBox {
    std::string caption;
    std::string text;
    std::uint32_t style = 0;  // the installer's style bits with the kind's icon
};

// The four numbers of a progress message "1: a 2: b 3: c 4: d": after each
// colon and the character behind it, the number up to the next blank.
// Missing fields are 0; a field that is not a decimal number makes all four 0.
struct ProgressFields {
    std::int64_t field[4] = {0, 0, 0, 0};
};
ProgressFields ReadProgressFields(std::string_view text);

// Applies one progress message to the state:
//   0 reset: total := |2nd| unless it is 0, done := 0, direction from the 3rd (0 forward, 1 backward);
//   1 action information: step := 2nd when the 3rd is 1, 0 when it is 0;
//   2 progress: done += direction * 2nd;
//   3 addition: total += |2nd|.
// Sums wrap instead of overflowing, whatever numbers the installer sends.
void ApplyProgressMessage(InstallerProgressState& state, std::string_view text);

// Answers that the installer understands.
inline constexpr int kInstallerAnswerUnhandled = 0;
inline constexpr int kInstallerAnswerOk = 1;
inline constexpr int kInstallerAnswerCancel = 2;

class InstallerMessageHandler {
public:
    // Shows the box over the run's owner window; returns the button pressed.
    using ShowMessageBox = std::function<int(const InstallerMessageBox& box)>;
    // Publishes the progress; false when the user has cancelled the run.
    using ReportProgress = std::function<bool(const ProgressReport& report)>;

    // `caption` titles every box; in a silent run no box is shown and each
    // kind gives its fixed silent answer instead.
    InstallerMessageHandler(bool silent, std::string caption, ShowMessageBox showBox, ReportProgress report);

    // One installer message (an absent text passed as empty); returns the
    // answer for the installer: the box's button, the kind's fixed answer, or
    // cancel once the progress report says the user cancelled, which makes
    // the installer stop and roll back.
    int Handle(std::uint32_t messageType, std::string_view text);

    const InstallerProgressState& progress() const { return progress_; }
    // The text of the last error or fatal-exit message: the run's error text
    // when the installer's result code has none of its own.
    const std::string& lastInstallerError() const { return lastError_; }

private:
    int Box(std::uint32_t messageType, std::string text, std::uint32_t icon, int silentAnswer);

    bool silent_;
    std::string caption_;
    ShowMessageBox showBox_;
    ReportProgress report_;
    InstallerProgressState progress_;
    std::string lastError_;
};

}  // namespace qv
