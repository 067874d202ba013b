// The package behind a setup's image is outside input: any bytes must either
// parse or fail with a PackageError, and what parses must validate and write
// back without crashing.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "bootstrap/package.h"
#include "engine/validate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    qv::ImageSizeFromHeaders(data, size);
    try {
        qv::SetupScript script = qv::ParsePackage(text);
        qv::ValidateScript(script);
        for (std::size_t i = 0; i < script.commandCount() && i < 64; ++i) {
            try {
                script.command(i);
            } catch (const std::exception&) {
            }
        }
    } catch (const qv::PackageError&) {
    }
    return 0;
}
