#include "installer/handover_file.h"

#include <gtest/gtest.h>

#include "engine/variable_store.h"
#include "installer/deferred_properties.h"

using namespace qv;

namespace {

std::string VariablesText() {
    VariableStore v;
    v.Define("TARGETDIR", "C:\\Program Files\\App\\", "test");
    v.Define("BINDIR", "$TARGETDIR$\\bin", "test");  // the doubled backslash is reduced
    v.Define("NOTES", "one$NEWLINE$two", "test");
    v.Define("SHARE", "\\\\server\\\\share", "test");
    v.Define("Date", "today", "test");             // reserved, letter case ignored
    v.Define("SourceDir", "C:\\elsewhere", "test");  // reserved
    v.Define("mediasourcedir", "x", "test");       // reserved in mixed case
    v.Define("SRCDIREX", "kept", "test");          // not reserved
    v.Define("EMPTY", "", "test");
    return v.ListText();
}

std::string PropertiesText() {
    InstallerRecords r;
    r.AppendParameterLog("A0001", "TRUE");
    r.AppendParameterLog("P0001_2", "$TARGETDIR$readme.txt");
    r.AppendParameterLog("P0001_3", "first\r\nsecond");
    return EncodeList(r.parameterLog);
}

}  // namespace

TEST(PropertyHandoverFile, NormalRunWritesSourcesPropertiesAndUnreservedVariables) {
    InstallerRunRequest request;
    request.variables = VariablesText();
    request.properties = PropertiesText();
    DerivedFolders folders;
    folders.dataFolder = "C:\\MYSETU~1\\data\\";
    folders.mediaPath = "\\MYSETU~1\\";
    EXPECT_EQ(PropertyHandoverText(request, folders),
              "SourceDir\r\nC:\\MYSETU~1\\data\\\r\n$ex\r\n"
              "MEDIAPACKAGEPATH\r\n\\MYSETU~1\\\r\n$ex\r\n"
              "A0001\r\nTRUE\r\n$ex\r\n"
              "P0001_2\r\nC:\\Program Files\\App\\readme.txt\r\n$ex\r\n"
              "P0001_3\r\nfirst\r\nsecond\r\n$ex\r\n"
              "TARGETDIR\r\nC:\\Program Files\\App\\\r\n$ex\r\n"
              "BINDIR\r\nC:\\Program Files\\App\\bin\r\n$ex\r\n"
              "NOTES\r\none\r\ntwo\r\n$ex\r\n"
              "SHARE\r\n\\\\server\\share\r\n$ex\r\n"
              "SRCDIREX\r\nkept\r\n$ex\r\n"
              "EMPTY\r\n\r\n$ex\r\n");
}

TEST(PropertyHandoverFile, PatchRunNamesThePatchSourceTwice) {
    InstallerRunRequest request;
    request.patch = true;
    request.variables = EncodeList({"TITLE", "App"});
    DerivedFolders folders;
    folders.dataFolder = "C:\\ignored\\";
    folders.patchSourceFolder = "C:\\PROGRA~1\\App\\";
    EXPECT_EQ(PropertyHandoverText(request, folders),
              "SourceDir\r\nC:\\PROGRA~1\\App\\\r\n$ex\r\n"
              "SRCDIREX\r\nC:\\PROGRA~1\\App\\\r\n$ex\r\n"
              "TITLE\r\nApp\r\n$ex\r\n");
}

TEST(PropertyHandoverFile, APropertyLogCutShortStillSetsItsLastName) {
    InstallerRunRequest request;
    request.properties = EncodeList({"A0001", "TRUE", "A0002"});
    std::string text = PropertyHandoverText(request, DerivedFolders{});
    EXPECT_NE(text.find("A0001\r\nTRUE\r\n$ex\r\nA0002\r\n\r\n$ex\r\n"), std::string::npos);
}

TEST(PropertyHandoverFile, TheDownloadPasswordStaysOutOfCmdline) {
    InstallerRunRequest request;
    request.variables = EncodeList({"CMDLINE", "/s /k=secret TARGETDIR=C:\\x", "NOTE", "/k=kept"});
    std::string text = PropertyHandoverText(request, DerivedFolders{});
    EXPECT_NE(text.find("CMDLINE\r\n/s /k=*** TARGETDIR=C:\\x\r\n$ex\r\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("secret"), std::string::npos);
    // Only the command-line tail is masked; other values go to the installer as they are.
    EXPECT_NE(text.find("NOTE\r\n/k=kept\r\n$ex\r\n"), std::string::npos);
}
