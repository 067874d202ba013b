#include "platform/module_image.h"

#include <vector>

#include "bootstrap/package.h"

namespace qv::win {

namespace {

bool FixedVersion(const std::string& path, VS_FIXEDFILEINFO& out) {
    DWORD handle = 0;
    DWORD size = ::GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0) return false;
    std::vector<char> data(size);
    if (!::GetFileVersionInfoA(path.c_str(), 0, size, data.data())) return false;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (!::VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length) || !info ||
        length < sizeof(VS_FIXEDFILEINFO))
        return false;
    out = *info;
    return true;
}

}  // namespace

std::string ModuleFileName(HMODULE module) {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        DWORD n = ::GetModuleFileNameA(module, buffer.data(), DWORD(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return std::string(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

std::uint32_t ImageSize(HMODULE module) {
    // The headers and the section table are mapped at the module's base.
    const auto* base = reinterpret_cast<const unsigned char*>(module);
    MEMORY_BASIC_INFORMATION mbi;
    if (!base || !::VirtualQuery(base, &mbi, sizeof mbi)) return 0;
    std::size_t readable = reinterpret_cast<const unsigned char*>(mbi.BaseAddress) + mbi.RegionSize - base;
    return ImageSizeFromHeaders(base, readable);
}

std::string FileVersionText(const std::string& path) {
    VS_FIXEDFILEINFO info;
    if (!FixedVersion(path, info)) return "0.0.0.0";
    return std::to_string(HIWORD(info.dwFileVersionMS)) + "." + std::to_string(LOWORD(info.dwFileVersionMS)) + "." +
           std::to_string(HIWORD(info.dwFileVersionLS)) + "." + std::to_string(LOWORD(info.dwFileVersionLS));
}

bool FileVersion(const std::string& path, unsigned& major, unsigned& minor) {
    VS_FIXEDFILEINFO info;
    if (!FixedVersion(path, info)) return false;
    major = HIWORD(info.dwFileVersionMS);
    minor = LOWORD(info.dwFileVersionMS);
    return true;
}

}  // namespace qv::win
