#include "installer/installer_log.h"

#include <gtest/gtest.h>

#include "bootstrap/command_line.h"
#include "engine/variable_store.h"

using namespace qv;

namespace {

InstallerRunRequest Request(const std::string& commandLineTail) {
    InstallerRunRequest r;
    r.packagePath = "C:\\Temp\\zor1\\Setup.msi";
    r.productCode = "{11111111-2222-3333-4444-555555555555}";
    r.variables = EncodeList({"TITLE", "App", "CMDLINE", commandLineTail});
    r.properties = EncodeList({"A0001", "TRUE"});
    return r;
}

DerivedFolders Folders() {
    DerivedFolders f;
    f.dataFolder = "C:\\SETUP\\data\\";
    f.mediaPath = "\\SETUP\\";
    f.msiFolder = "C:\\TEMP\\ZOR1\\";
    return f;
}

}  // namespace

TEST(InstallerLog, HeaderLinesInOrder) {
    EXPECT_EQ(InstallerLogHeader(Request("/s"), Folders(), "24.12.2026 13:45:10"),
              "=== Quorvex: Applying Changes @24.12.2026 13:45:10 ===\r\n"
              "\r\n"
              "*** Variables ***\r\nTITLE,App,CMDLINE,/s\r\n\r\n"
              "*** Properties ***\r\nA0001,TRUE\r\n\r\n"
              "*** MSI Database ***\r\nC:\\Temp\\zor1\\Setup.msi\r\n\r\n"
              "*** GUID ***\r\n{11111111-2222-3333-4444-555555555555}\r\n\r\n"
              "*** Data Directory ***\r\nC:\\SETUP\\data\\\r\n\r\n"
              "*** Media Directory ***\r\n\\SETUP\\\r\n\r\n"
              "*** MSI Directory ***\r\nC:\\TEMP\\ZOR1\\\r\n\r\n"
              "\r\n");
}

TEST(InstallerLog, TheDownloadPasswordNeverAppears) {
    const char* tails[] = {
        "/s /k=Secret42 TARGETDIR=C:\\App",
        "-K=Secret42",
        "\"/k=Secret42 with blanks\" /s",
        "/k=\"Secret42 with blanks\"",
        "/k=Secret42 -k=Secret42 /l=c:\\log.txt",
        "/k=\"Secret42",  // an unclosed quote runs to the end
    };
    for (const char* tail : tails) {
        SCOPED_TRACE(tail);
        // The stub takes the password from the same text.
        ASSERT_NE(ParseCommandLine(std::string("setup.exe ") + tail).password.find("Secret42"), std::string::npos);
        InstallerRunRequest request = Request(tail);
        // A script may have copied the command line into a property too.
        request.properties = EncodeList({"P0001_1", tail});
        std::string header = InstallerLogHeader(request, Folders(), "now");
        EXPECT_EQ(header.find("Secret42"), std::string::npos) << header;
        EXPECT_NE(header.find("=***"), std::string::npos);
    }
}

TEST(InstallerLog, MaskingKeepsEverythingButThePassword) {
    const std::pair<const char*, const char*> cases[] = {
        {"/s /k=abc TARGETDIR=C:\\App", "/s /k=*** TARGETDIR=C:\\App"},
        {"  -K=abc\t/s", "  -K=***\t/s"},
        {"\"/k=a b\" x", "/k=*** x"},
        {"/k= /s", "/k=*** /s"},
        {"/kx=abc a/k=b /key", "/kx=abc a/k=b /key"},  // only arguments that begin with the switch
        {"", ""},
    };
    for (const auto& [text, masked] : cases) EXPECT_EQ(MaskPasswordArguments(text), masked) << text;
}

TEST(InstallerLog, VariablesTextIsShownAsGivenWhenNothingIsMasked) {
    InstallerRunRequest request = Request("/s");
    request.variables = "TITLE,\"My App\",  CMDLINE,/s";  // not in the form EncodeList would write
    std::string header = InstallerLogHeader(request, Folders(), "now");
    EXPECT_NE(header.find("\r\nTITLE,\"My App\",  CMDLINE,/s\r\n"), std::string::npos);
}

TEST(InstallerLog, NtHeaderIsUtf16LittleEndianWithoutByteOrderMark) {
    EXPECT_EQ(InstallerLogHeaderBytes("A\r\n", false), "A\r\n");
    EXPECT_EQ(InstallerLogHeaderBytes("A\r\n", true), std::string("A\0\r\0\n\0", 6));
    // Western code page: the euro sign, an unassigned code, a Latin-1 letter.
    EXPECT_EQ(InstallerLogHeaderBytes("\x80\x81\xE9", true), std::string("\xAC\x20\x81\x00\xE9\x00", 6));
    EXPECT_EQ(InstallerLogHeaderBytes("", true), "");
}
