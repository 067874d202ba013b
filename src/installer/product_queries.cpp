#include "installer/product_queries.h"

#include <objbase.h>

#include <cstdio>

#include "common/errors.h"
#include "common/text.h"
#include "installer/msi_library.h"

namespace qv::win {

namespace {

constexpr int kInstallStateDefault = 5;

using QueryProductStateFn = int(WINAPI*)(const char*);
using GetProductInfoFn = UINT(WINAPI*)(const char*, const char*, char*, DWORD*);

}  // namespace

bool ProductIsInstalled(const std::string& productCode) {
    return Msi<QueryProductStateFn>("MsiQueryProductStateA")(productCode.c_str()) == kInstallStateDefault;
}

std::optional<std::string> InstalledPackageCode(const std::string& productCode) {
    char buffer[260] = {};
    DWORD length = sizeof buffer;
    if (Msi<GetProductInfoFn>("MsiGetProductInfoA")(productCode.c_str(), "PackageCode", buffer, &length) != 0)
        return std::nullopt;
    return std::string(buffer);
}

bool PackageCodeMatches(const std::string& productCode, const std::string& revisionCode) {
    auto code = InstalledPackageCode(productCode);
    return code && EqualsIgnoreCaseAscii(*code, revisionCode);
}

std::string NewGuidText() {
    GUID g;
    if (FAILED(::CoCreateGuid(&g))) throw ScriptError("Cannot create a GUID");
    char text[40];
    std::snprintf(text, sizeof text, "{%08lX-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", (unsigned long)g.Data1,
                  g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
                  g.Data4[7]);
    return text;
}

}  // namespace qv::win
