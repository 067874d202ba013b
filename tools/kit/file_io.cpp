#include "file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "bootstrap/package.h"
#include "kit_error.h"

namespace qv::kit {

std::string ReadWholeFile(const std::filesystem::path& file, std::string_view what) {
    std::error_code ec;
    if (std::filesystem::is_directory(file, ec))
        throw KitError(file.string() + ": cannot read " + std::string(what) + ": it is a folder");
    std::ifstream in(file, std::ios::binary);
    if (!in) throw KitError(file.string() + ": cannot read " + std::string(what) + ": " + std::strerror(errno));
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (in.bad()) throw KitError(file.string() + ": cannot read " + std::string(what));
    return bytes.str();
}

void WriteWholeFile(const std::filesystem::path& file, std::string_view bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (out) out.write(bytes.data(), std::streamsize(bytes.size()));
    if (out) out.close();
    if (!out) throw KitError(file.string() + ": cannot write: " + std::strerror(errno));
}

std::string ImageBytes(const std::filesystem::path& file, std::string_view what) {
    std::string bytes = ReadWholeFile(file, what);
    std::size_t headers = std::min<std::size_t>(bytes.size(), 4096);
    std::uint32_t image = ImageSizeFromHeaders(reinterpret_cast<const unsigned char*>(bytes.data()), headers);
    if (image == 0) throw KitError(file.string() + ": " + std::string(what) + " is not a Windows executable image");
    if (image > bytes.size())
        throw KitError(file.string() + ": " + std::string(what) + " is truncated (its image ends at byte " +
                       std::to_string(image) + ")");
    bytes.resize(image);
    return bytes;
}

}  // namespace qv::kit
