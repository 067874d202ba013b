// The installer's message texts and the command line that the log header
// shows are outside input. Any text must be handled without a crash, and the
// masked command line must never give the download password back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "bootstrap/command_line.h"
#include "installer/handover_file.h"
#include "installer/installer_log.h"
#include "installer/message_handler.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) return 0;
    std::uint32_t type;
    std::memcpy(&type, data, 4);
    std::string_view text(reinterpret_cast<const char*>(data) + 4, size - 4);

    qv::InstallerMessageHandler handler(
        (type & 1) != 0, "caption", [](const qv::InstallerMessageBox&) { return 1; },
        [](const qv::ProgressReport&) { return true; });
    for (int i = 0; i < 3; ++i) handler.Handle(type + (std::uint32_t(i) << 24), text);

    std::string masked = qv::MaskPasswordArguments(text);
    if (qv::MaskPasswordArguments(masked) != masked) std::abort();
    std::string password = qv::ParseCommandLine("setup.exe " + masked).password;
    if (!password.empty() && password != "***") std::abort();

    qv::InstallerRunRequest request;
    request.variables = std::string(text);
    request.properties = std::string(text);
    qv::DerivedFolders folders;
    qv::InstallerLogHeader(request, folders, "now");
    qv::PropertyHandoverText(request, folders);
    return 0;
}
