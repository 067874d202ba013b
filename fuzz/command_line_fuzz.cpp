// The command line is outside input.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "bootstrap/command_line.h"
#include "wizard/message_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    qv::ParseCommandLine(text);
    qv::LoadMessageText(text);
    return 0;
}
