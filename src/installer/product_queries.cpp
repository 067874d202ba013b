#include "installer/product_queries.h"

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

}  // namespace qv::win
