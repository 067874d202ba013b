// The installer service calls of one installer run: its log, its user
// interface, and installing, removing or patching the product.
#pragma once

#include <cstdint>
#include <string>

#include "installer/message_handler.h"
#include "installer/property_command_line.h"

namespace qv::win {

// Appends the installer's own log, flushed line by line, to the file.
void EnableInstallerLog(const std::string& logPath);

// For its lifetime the installer shows nothing itself but source resolution
// and sends its messages to the handler; the previous handler and interface
// level come back afterwards, so the installer never calls a handler that
// is gone.
class ExternalUiRegistration {
public:
    explicit ExternalUiRegistration(InstallerMessageHandler& handler);
    ~ExternalUiRegistration();
    ExternalUiRegistration(const ExternalUiRegistration&) = delete;
    ExternalUiRegistration& operator=(const ExternalUiRegistration&) = delete;

private:
    void* previousHandler_ = nullptr;
    int previousLevel_ = 0;
};

// What the installer returned, and for a removal whether its session asked
// for a restart.
struct InstallerCallResult {
    std::uint32_t code = 0;
    bool rebootAtEnd = false;
    bool rebootNow = false;
};

InstallerCallResult CallInstaller(const InstallerCall& call, const std::string& productCode);

// The system's text for an error code, inserts ignored; empty when it has none.
std::string SystemErrorText(std::uint32_t code);

}  // namespace qv::win
