#include "installer/property_command_line.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

#include "installer/derived_folders.h"

using namespace qv;

namespace {

// The machine as DeriveFolders sees it: which folders exist and which have a
// short form.
struct FakeFolders {
    std::set<std::string> existing;
    std::map<std::string, std::string> shortForms;

    FolderQueries queries() const {
        return {[this](const std::string& f) { return existing.count(f) > 0; },
                [this](const std::string& p) -> std::optional<std::string> {
                    auto it = shortForms.find(p);
                    if (it == shortForms.end()) return std::nullopt;
                    return it->second;
                }};
    }
};

constexpr const char* kPackage = "C:\\Temp\\zor1\\Setup.msi";
constexpr const char* kMsiFolder = "C:\\Temp\\zor1\\";
constexpr const char* kData = "C:\\My Setup\\data\\";

InstallerRunRequest NormalRequest(bool install, bool advertise) {
    InstallerRunRequest r;
    r.packagePath = kPackage;
    r.dialogFile = "C:\\Temp\\zor1\\Progress.dfm";
    r.productCode = "{11111111-2222-3333-4444-555555555555}";
    r.install = install;
    r.advertise = advertise;
    r.dataFolder = kData;
    return r;
}

std::string AllUsersVariables(const char* value) {
    return EncodeList({"TITLE", "App", "ALLUSERS", value});
}

}  // namespace

TEST(InstallerCommandLine, EveryRunKindBuildsItsExactText) {
    struct Case {
        const char* what;
        bool install, advertise, installed;
        const char* allUsers;
        const char* dataShort;  // null: the system gives no short form
        const char* msiShort;
        const char* expected;
    };
    const Case cases[] = {
        {"fresh install, per machine", true, false, false, "TRUE", "C:\\MYSETU~1\\data\\", "C:\\TEMP\\ZOR1\\",
         "ADDLOCAL=ALL ALLUSERS=1 ARPSYSTEMCOMPONENT=1 ARPNOREMOVE=1 ARPNOMODIFY=1 ARPNOREPAIR=1 "
         "SRCDIR=C:\\MYSETU~1\\data\\ SOURCELIST=C:\\MYSETU~1\\data\\;C:\\TEMP\\ZOR1\\ "
         "MEDIAPACKAGEPATH=\\MYSETU~1\\ REBOOT=R "},
        {"maintenance: an installed product is reinstalled; lower-case true is not per machine", true, false, true,
         "true", "C:\\MYSETU~1\\data\\", "C:\\TEMP\\ZOR1\\",
         "REINSTALL=ALL REINSTALLMODE=vomus ALLUSERS=\"\" ARPSYSTEMCOMPONENT=1 ARPNOREMOVE=1 ARPNOMODIFY=1 "
         "ARPNOREPAIR=1 SRCDIR=C:\\MYSETU~1\\data\\ SOURCELIST=C:\\MYSETU~1\\data\\;C:\\TEMP\\ZOR1\\ "
         "MEDIAPACKAGEPATH=\\MYSETU~1\\ REBOOT=R "},
        {"advertise", false, true, false, "FALSE", "C:\\MYSETU~1\\data\\", "C:\\TEMP\\ZOR1\\",
         "ADVERTISE=ALL ALLUSERS=\"\" ARPSYSTEMCOMPONENT=1 ARPNOREMOVE=1 ARPNOMODIFY=1 ARPNOREPAIR=1 "
         "SRCDIR=C:\\MYSETU~1\\data\\ SOURCELIST=C:\\MYSETU~1\\data\\;C:\\TEMP\\ZOR1\\ "
         "MEDIAPACKAGEPATH=\\MYSETU~1\\ REBOOT=R "},
        {"advertise over an installed product reinstalls", false, true, true, "TRUE", "C:\\MYSETU~1\\data\\",
         "C:\\TEMP\\ZOR1\\",
         "REINSTALL=ALL REINSTALLMODE=vomus ALLUSERS=1 ARPSYSTEMCOMPONENT=1 ARPNOREMOVE=1 ARPNOMODIFY=1 "
         "ARPNOREPAIR=1 SRCDIR=C:\\MYSETU~1\\data\\ SOURCELIST=C:\\MYSETU~1\\data\\;C:\\TEMP\\ZOR1\\ "
         "MEDIAPACKAGEPATH=\\MYSETU~1\\ REBOOT=R "},
        {"data folder without short form: its items and the source list quoted", true, false, false, "TRUE",
         nullptr, "C:\\TEMP\\ZOR1\\",
         "ADDLOCAL=ALL ALLUSERS=1 ARPSYSTEMCOMPONENT=1 ARPNOREMOVE=1 ARPNOMODIFY=1 ARPNOREPAIR=1 "
         "SRCDIR=\"C:\\My Setup\\data\\\" SOURCELIST=\"C:\\My Setup\\data\\;C:\\TEMP\\ZOR1\\\" "
         "MEDIAPACKAGEPATH=\"\\My Setup\\\" REBOOT=R "},
        {"MSI folder still with a space: only the source list quoted", true, false, false, "TRUE",
         "C:\\MYSETU~1\\data\\", "C:\\Temp Files\\zor1\\",
         "ADDLOCAL=ALL ALLUSERS=1 ARPSYSTEMCOMPONENT=1 ARPNOREMOVE=1 ARPNOMODIFY=1 ARPNOREPAIR=1 "
         "SRCDIR=C:\\MYSETU~1\\data\\ SOURCELIST=\"C:\\MYSETU~1\\data\\;C:\\Temp Files\\zor1\\\" "
         "MEDIAPACKAGEPATH=\\MYSETU~1\\ REBOOT=R "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeFolders fs;
        fs.existing = {kData};
        if (c.dataShort) fs.shortForms[kData] = c.dataShort;
        if (c.msiShort) fs.shortForms[kMsiFolder] = c.msiShort;
        InstallerRunRequest request = NormalRequest(c.install, c.advertise);
        request.variables = AllUsersVariables(c.allUsers);
        DerivedFolders folders = DeriveFolders(request, fs.queries());
        InstallerCall call = PlanInstallerCall(request, ReadRunSettings(request.variables), folders, c.installed);
        EXPECT_EQ(call.kind, InstallerCallKind::InstallProduct);
        EXPECT_EQ(call.packagePath, kPackage);
        EXPECT_EQ(call.commandLine, c.expected);
    }
}

TEST(InstallerCommandLine, RemovalSetsSessionPropertiesInsteadOfACommandLine) {
    FakeFolders fs;
    fs.existing = {kData};
    fs.shortForms[kMsiFolder] = "C:\\TEMP\\ZOR1\\";  // the data folder has no short form
    InstallerRunRequest request = NormalRequest(false, false);
    request.variables = AllUsersVariables("FALSE");
    InstallerCall call = PlanInstallerCall(request, ReadRunSettings(request.variables),
                                           DeriveFolders(request, fs.queries()), true);
    EXPECT_EQ(call.kind, InstallerCallKind::RemoveProduct);
    EXPECT_TRUE(call.commandLine.empty());
    EXPECT_EQ(call.sessionAction, "INSTALL");
    NameValueList expected = {
        {"ALLUSERS", ""},
        {"REMOVE", "ALL"},
        {"SRCDIR", "\"C:\\My Setup\\data\\\""},
        {"SOURCELIST", "\"C:\\My Setup\\data\\;C:\\TEMP\\ZOR1\\\""},
        {"MEDIAPACKAGEPATH", "\"\\My Setup\\\""},
        {"REBOOT", "R"},
    };
    EXPECT_EQ(call.sessionProperties, expected);

    request.variables = AllUsersVariables("TRUE");
    fs.shortForms[kData] = "C:\\MYSETU~1\\data\\";
    call = PlanInstallerCall(request, ReadRunSettings(request.variables), DeriveFolders(request, fs.queries()), true);
    EXPECT_EQ(call.sessionProperties[0].second, "1");
    EXPECT_EQ(call.sessionProperties[2].second, "C:\\MYSETU~1\\data\\");
    EXPECT_EQ(call.sessionProperties[4].second, "\\MYSETU~1\\");
}

TEST(InstallerCommandLine, PatchTakesItsSourcesFromThePatchSourceFolder) {
    const std::string source = "C:\\Program Files\\App\\";
    FakeFolders fs;
    fs.existing = {source};
    fs.shortForms = {{source, "C:\\PROGRA~1\\App\\"}, {kMsiFolder, "C:\\TEMP\\ZOR1\\"}};
    InstallerRunRequest request;
    request.patch = true;
    request.packagePath = "C:\\Temp\\zor1\\Setup.msp";
    request.productCode = "{11111111-2222-3333-4444-555555555555}";
    request.dataFolder = source;
    request.patchSourceFolder = source;
    request.variables = AllUsersVariables("TRUE");
    InstallerCall call = PlanInstallerCall(request, ReadRunSettings(request.variables),
                                           DeriveFolders(request, fs.queries()), true);
    EXPECT_EQ(call.kind, InstallerCallKind::ApplyPatch);
    EXPECT_EQ(call.packagePath, "C:\\Temp\\zor1\\Setup.msp");
    EXPECT_EQ(call.commandLine, "ADDLOCAL=ALL ALLUSERS=1 SRCDIR=C:\\PROGRA~1\\App\\ SRCDIREX=C:\\PROGRA~1\\App\\ ");
    EXPECT_EQ(call.sourceFolder, "C:\\PROGRA~1\\App\\");

    fs.shortForms.erase(source);
    call = PlanInstallerCall(request, ReadRunSettings(AllUsersVariables("no")), DeriveFolders(request, fs.queries()),
                             false);
    EXPECT_EQ(call.commandLine,
              "ADDLOCAL=ALL ALLUSERS=\"\" SRCDIR=\"C:\\Program Files\\App\\\" SRCDIREX=\"C:\\Program Files\\App\\\" ");
}

TEST(InstallerFolders, ShortFormsAndQuoteFlags) {
    const std::string source = "C:\\Old Copy\\";
    struct Case {
        const char* what;
        bool patch;
        bool dataExists, sourceExists;
        const char* dataShort;
        const char* sourceShort;
        const char* msiShort;
        std::string data, patchSource, msi;
        bool quoteData, quoteMsi;
    };
    const Case cases[] = {
        {"all shortened", false, true, false, "C:\\MYSETU~1\\data\\", nullptr, "C:\\TEMP\\ZOR1\\",
         "C:\\MYSETU~1\\data\\", source, "C:\\TEMP\\ZOR1\\", false, false},
        {"a missing data folder is neither shortened nor flagged", false, false, false, "C:\\MYSETU~1\\data\\",
         nullptr, "C:\\TEMP\\ZOR1\\", kData, source, "C:\\TEMP\\ZOR1\\", false, false},
        {"an MSI folder without short form is flagged even without a space", false, true, false,
         "C:\\MYSETU~1\\data\\", nullptr, nullptr, "C:\\MYSETU~1\\data\\", source, kMsiFolder, false, true},
        {"a short data folder that keeps a space is flagged", false, true, false, "C:\\My Setup\\data\\", nullptr,
         "C:\\TEMP\\ZOR1\\", kData, source, "C:\\TEMP\\ZOR1\\", true, false},
        {"a normal run leaves the patch source folder alone", false, true, true, "C:\\MYSETU~1\\data\\", nullptr,
         "C:\\TEMP\\ZOR1\\", "C:\\MYSETU~1\\data\\", source, "C:\\TEMP\\ZOR1\\", false, false},
        {"patch: the source folder without short form flags the data", true, true, true, "C:\\MYSETU~1\\data\\",
         nullptr, "C:\\TEMP\\ZOR1\\", "C:\\MYSETU~1\\data\\", source, "C:\\TEMP\\ZOR1\\", true, false},
        {"patch: both shortened", true, true, true, "C:\\MYSETU~1\\data\\", "C:\\OLDCOP~1\\", "C:\\TEMP\\ZOR1\\",
         "C:\\MYSETU~1\\data\\", "C:\\OLDCOP~1\\", "C:\\TEMP\\ZOR1\\", false, false},
        {"patch: a missing source folder is not shortened", true, true, false, "C:\\MYSETU~1\\data\\",
         "C:\\OLDCOP~1\\", "C:\\TEMP\\ZOR1\\", "C:\\MYSETU~1\\data\\", source, "C:\\TEMP\\ZOR1\\", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakeFolders fs;
        if (c.dataExists) fs.existing.insert(kData);
        if (c.sourceExists) fs.existing.insert(source);
        if (c.dataShort) fs.shortForms[kData] = c.dataShort;
        if (c.sourceShort) fs.shortForms[source] = c.sourceShort;
        if (c.msiShort) fs.shortForms[kMsiFolder] = c.msiShort;
        InstallerRunRequest request = NormalRequest(true, false);
        request.patch = c.patch;
        request.patchSourceFolder = source;
        DerivedFolders f = DeriveFolders(request, fs.queries());
        EXPECT_EQ(f.dataFolder, c.data);
        EXPECT_EQ(f.patchSourceFolder, c.patchSource);
        EXPECT_EQ(f.msiFolder, c.msi);
        EXPECT_EQ(f.quoteData, c.quoteData);
        EXPECT_EQ(f.quoteMsi, c.quoteMsi);
        std::string list = c.data + ";" + c.msi;
        EXPECT_EQ(f.sourceList, c.quoteData || c.quoteMsi ? "\"" + list + "\"" : list);
    }
}

TEST(InstallerFolders, MediaPathIsTheDataFoldersParentWithoutItsDrive) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\Setup\\data\\", "\\Setup\\"},
        {"C:\\Setup\\data", "\\Setup\\"},
        {"C:\\data\\", "\\"},
        {"D:\\A\\B\\data\\", "\\A\\B\\"},
        {"\\\\server\\share\\Setup\\data\\", "\\Setup\\"},
        {"\\\\server\\share\\data\\", "\\"},
        {"data\\", ""},
        {"", ""},
    };
    for (const auto& [data, media] : cases) EXPECT_EQ(MediaPathOf(data), media) << data;
}
