#include "installer/product_registration_values.h"

namespace qv {

std::string UninstallKey(const std::string& title) {
    return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + title;
}

std::string IdentCacheKey(const std::string& productCode) { return "SOFTWARE\\Zembrot\\Quorvex\\Ident.Cache\\" + productCode; }

namespace {

std::string UninstallCommand(const std::string& cachedSetup) {
    return "\"" + cachedSetup + "\" REMOVE=TRUE MODIFY=FALSE";
}

}  // namespace

std::vector<std::pair<std::string, std::string>> UninstallEntryValues(const std::string& cachedSetup,
                                                                       const std::string& title,
                                                                       const SetupScript& script) {
    return {
        {"DisplayIcon", cachedSetup},
        {"DisplayName", title},
        {"UninstallString", UninstallCommand(cachedSetup)},
        // Quoted as the uninstall string is: the system runs this command,
        // and an unquoted path with blanks could start a program planted at
        // one of its prefixes.
        {"ModifyPath", "\"" + cachedSetup + "\""},
        {"Publisher", script.publisher},
        {"Contact", script.contact},
        {"HelpLink", script.helpLink},
        {"URLUpdateInfo", script.updateLink},
        {"Comments", script.comments},
    };
}

std::vector<std::pair<std::string, std::string>> ManagedUninstallValues(const std::string& cachedSetup,
                                                                         const std::string& productVersion,
                                                                         const std::string& installLocation) {
    std::vector<std::pair<std::string, std::string>> values = {{"QuietUninstallString", UninstallCommand(cachedSetup) + " /s"}};
    if (!productVersion.empty()) values.push_back({"DisplayVersion", productVersion});
    if (!installLocation.empty()) values.push_back({"InstallLocation", installLocation});
    return values;
}

std::uint32_t EstimatedSizeKb(std::int64_t bytes) {
    if (bytes <= 0) return 0;
    std::int64_t kb = bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0);
    return kb > 0xFFFFFFFFLL ? 0xFFFFFFFFu : static_cast<std::uint32_t>(kb);
}

std::string InstanceText(const std::string& productCode, const std::string& revisionCode, const std::string& title) {
    return productCode + "\r\n" + revisionCode + "\r\n" + title + "\r\n";
}

std::string ParameterLogText(const std::vector<std::string>& parameterLog) {
    std::string out;
    for (const auto& line : parameterLog) out += line + "\r\n";
    return out;
}

std::string RetiredCacheFolder(const std::string& cacheFolder, int n) {
    std::string folder = cacheFolder;
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    std::size_t slash = folder.rfind('\\');
    std::string parent = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
    return parent + "~" + std::to_string(n) + "\\";
}

}  // namespace qv
