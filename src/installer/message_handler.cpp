#include "installer/message_handler.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "wizard/message_table.h"

namespace qv {

namespace {

constexpr std::uint32_t kIconError = 0x10;
constexpr std::uint32_t kIconQuestion = 0x20;
constexpr std::uint32_t kIconExclamation = 0x30;
constexpr std::uint32_t kIconMask = 0xF0;

// Optional sign and decimal digits, within 64 bits.
std::optional<std::int64_t> ParseDecimal64(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    const std::uint64_t limit = negative ? std::uint64_t(INT64_MAX) + 1 : std::uint64_t(INT64_MAX);
    std::uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        std::uint64_t digit = std::uint64_t(c - '0');
        if (value > (limit - digit) / 10) return std::nullopt;
        value = value * 10 + digit;
    }
    return negative ? static_cast<std::int64_t>(0 - value) : static_cast<std::int64_t>(value);
}

// The installer's numbers are not trusted to stay in range: two's-complement
// wrapping, never undefined overflow.
std::int64_t WrapAdd(std::int64_t a, std::int64_t b) {
    return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) + static_cast<std::uint64_t>(b));
}

std::int64_t WrapNegate(std::int64_t a) { return static_cast<std::int64_t>(0 - static_cast<std::uint64_t>(a)); }

std::int64_t WrapAbs(std::int64_t a) { return a < 0 ? WrapNegate(a) : a; }

}  // namespace

ProgressFields ReadProgressFields(std::string_view text) {
    ProgressFields fields;
    for (std::int64_t& field : fields.field) {
        std::size_t colon = text.find(':');
        if (colon == std::string_view::npos) break;
        text.remove_prefix(std::min(colon + 2, text.size()));
        std::optional<std::int64_t> number = ParseDecimal64(text.substr(0, text.find(' ')));
        if (!number) return ProgressFields{};
        field = *number;
    }
    return fields;
}

void ApplyProgressMessage(InstallerProgressState& state, std::string_view text) {
    if (text.empty()) return;
    const ProgressFields fields = ReadProgressFields(text);
    const std::int64_t f2 = fields.field[1], f3 = fields.field[2];
    switch (fields.field[0]) {
    case 0:
        state.minimum = 0;
        if (f2 != 0) state.total = WrapAbs(f2);
        state.done = 0;
        if (f3 == 0) state.direction = 1;
        if (f3 == 1) state.direction = -1;
        break;
    case 1:
        if (f3 == 0) state.step = 0;
        if (f3 == 1) state.step = static_cast<std::int32_t>(static_cast<std::uint32_t>(f2));
        break;
    case 2:
        state.done = WrapAdd(state.done, state.direction < 0 ? WrapNegate(f2) : f2);
        break;
    case 3:
        state.total = WrapAdd(state.total, WrapAbs(f2));
        break;
    default:
        break;
    }
}

InstallerMessageHandler::InstallerMessageHandler(bool silent, std::string caption, ShowMessageBox showBox,
                                                 ReportProgress report)
    : silent_(silent), caption_(std::move(caption)), showBox_(std::move(showBox)), report_(std::move(report)) {}

int InstallerMessageHandler::Box(std::uint32_t messageType, std::string text, std::uint32_t icon, int silentAnswer) {
    if (silent_ || !showBox_) return silentAnswer;
    InstallerMessageBox box;
    box.caption = caption_;
    box.text = std::move(text);
    box.style = (messageType & 0x00FFFFFF & ~kIconMask) | icon;
    return showBox_(box);
}

int InstallerMessageHandler::Handle(std::uint32_t messageType, std::string_view text) {
    auto prefixed = [&](Msg prefix) { return MessageText(prefix) + "\r\r" + std::string(text); };
    int answer = kInstallerAnswerUnhandled;
    switch (static_cast<InstallerMessageKind>(messageType >> 24)) {
    case InstallerMessageKind::FatalExit:
        lastError_ = std::string(text);
        answer = Box(messageType, prefixed(Msg::FatalError), kIconError, 0);
        break;
    case InstallerMessageKind::Error:
        lastError_ = std::string(text);
        answer = Box(messageType, prefixed(Msg::Error), kIconError, 1);
        break;
    case InstallerMessageKind::Warning:
        answer = Box(messageType, prefixed(Msg::Warning), kIconExclamation, 1);
        break;
    case InstallerMessageKind::User:
        answer = Box(messageType, std::string(text), kIconQuestion, 1);
        break;
    case InstallerMessageKind::FilesInUse:
        answer = Box(messageType, prefixed(Msg::FilesInUse), kIconExclamation, 0);
        break;
    case InstallerMessageKind::OutOfDiskSpace:
        answer = Box(messageType, prefixed(Msg::OutOfDiskSpace), kIconError, 1);
        break;
    case InstallerMessageKind::ActionStart: {
        // "Action 12:00:00: InstallFiles. Copying new files": the part after
        // the first full stop and its blank. Without a full stop only the
        // first character goes.
        std::size_t stop = text.find('.');
        std::size_t from = stop == std::string_view::npos ? 1 : stop + 2;
        progress_.actionText = std::string(text.substr(std::min(from, text.size())));
        answer = kInstallerAnswerOk;
        break;
    }
    case InstallerMessageKind::ActionData:
        progress_.actionText = std::string(text);
        progress_.done = WrapAdd(progress_.done, progress_.step);
        answer = kInstallerAnswerOk;
        break;
    case InstallerMessageKind::Progress:
        ApplyProgressMessage(progress_, text);
        answer = kInstallerAnswerOk;
        break;
    case InstallerMessageKind::Info:
    case InstallerMessageKind::CommonData:
    case InstallerMessageKind::Initialize:
    case InstallerMessageKind::Terminate:
    case InstallerMessageKind::ShowDialog:
        answer = kInstallerAnswerOk;
        break;
    case InstallerMessageKind::ResolveSource:  // left to the installer's own source resolution
    default:
        answer = kInstallerAnswerUnhandled;
        break;
    }
    ProgressReport report{progress_.actionText, progress_.minimum, progress_.total, progress_.done};
    if (report_ && !report_(report)) return kInstallerAnswerCancel;
    return answer;
}

}  // namespace qv
