// The system facts that the session start publishes, and the Windows host's
// file and registry operations, on a real system.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "scratch_folder.h"
#include "bootstrap/win_host.h"
#include "common/errors.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "platform/system_facts.h"

using namespace qv;
using namespace qv::win;

namespace {

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

std::string Environment(const char* name) {
    char buffer[MAX_PATH] = {};
    DWORD n = ::GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return n && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

std::string Upper(std::string text) {
    ::CharUpperBuffA(text.data(), DWORD(text.size()));
    return text;
}

class HostFiles : public qv::testing::ScratchFolder {
protected:
    WinHost host_;
};

}  // namespace

TEST(SystemFacts, FoldersExistAndEndWithABackslash) {
    for (const std::string& folder : {ProgramFilesFolder(), ProfileFolder()}) {
        SCOPED_TRACE(folder);
        EXPECT_TRUE(EndsWith(folder, "\\"));
        EXPECT_TRUE(DirectoryExists(folder));
    }
    EXPECT_EQ(ProgramFilesFolder(), Environment("ProgramFiles") + "\\");
    EXPECT_EQ(ProfileFolder(), Environment("USERPROFILE") + "\\");
}

TEST(SystemFacts, ApplicationDataRootsLieInTheProfileAndTheAllUsersFolder) {
    // The roots themselves appear with the first cached product; their
    // parents are the folders of the two desktops.
    std::string perUser = ApplicationDataRoot(false), allUsers = ApplicationDataRoot(true);
    EXPECT_EQ(perUser, ProfileFolder() + "Application Data\\");
    EXPECT_EQ(allUsers, Environment("PUBLIC") + "\\Application Data\\");
    for (const std::string& root : {perUser, allUsers}) {
        SCOPED_TRACE(root);
        EXPECT_TRUE(DirectoryExists(ParentFolder(root)));
    }
}

TEST(SystemFacts, ParentFolderKeepsTheTrailingBackslash) {
    EXPECT_EQ(ParentFolder("C:\\users\\Public\\Desktop\\"), "C:\\users\\Public\\");
    EXPECT_EQ(ParentFolder("C:\\users\\Public\\Desktop"), "C:\\users\\Public\\");
    EXPECT_EQ(ParentFolder("C:\\"), "C:\\");
}

TEST(SystemFacts, TheUserIsAnAdministratorOnAnNtSystem) {
    EXPECT_TRUE(IsNtFamily());
    EXPECT_TRUE(IsAdministrator());
}

TEST(SystemFacts, RegisteredOwnerIsTheRegistryValue) {
    const char* key = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
    EXPECT_EQ(RegisteredOwner(), ReadRegistryString(HKEY_LOCAL_MACHINE, key, "RegisteredOwner").value_or(""));
    EXPECT_EQ(RegisteredOrganization(),
              ReadRegistryString(HKEY_LOCAL_MACHINE, key, "RegisteredOrganization").value_or(""));
}

TEST(SystemFacts, DateAndTimeTextsShowNow) {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    std::string date = ShortDateText(), time = LongTimeText();
    EXPECT_NE(date.find(std::to_string(now.wYear % 100)), std::string::npos) << date;
    EXPECT_NE(time.find_first_of("0123456789"), std::string::npos) << time;
}

TEST_F(HostFiles, CreateTempFileMakesNewEmptyFilesWithThePrefix) {
    std::string first = host_.CreateTempFile(folder_, "zor");
    std::string second = host_.CreateTempFile(folder_, "zor");
    EXPECT_NE(first, second);
    for (const std::string& path : {first, second}) {
        SCOPED_TRACE(path);
        ASSERT_EQ(Upper(path.substr(0, folder_.size() + 3)), Upper(folder_ + "zor"));
        EXPECT_TRUE(EndsWith(Upper(path), ".TMP"));
        EXPECT_EQ(FileSize(path).value_or(1), 0u);
    }
}

TEST_F(HostFiles, CreateTempFileInAMissingFolderIsAnError) {
    EXPECT_THROW(host_.CreateTempFile(folder_ + "missing\\", "zor"), ScriptError);
}

TEST_F(HostFiles, ShortPathNamesTheSameFileAndFindFileNameGivesTheLongNameBack) {
    std::string folder = folder_ + "A Folder With A Long Name";
    std::string file = folder + "\\Some Long File Name.text";
    ASSERT_TRUE(ForceDirectories(folder));
    ASSERT_TRUE(WriteWholeFile(file, "content"));

    std::string shortPath = host_.ShortPath(file);
    ASSERT_FALSE(shortPath.empty());
    EXPECT_NE(shortPath, file);
    EXPECT_EQ(shortPath.find(' '), std::string::npos) << shortPath;
    EXPECT_EQ(ReadWholeFile(shortPath).value_or(""), "content");
    std::string shortName = shortPath.substr(shortPath.find_last_of('\\') + 1);
    EXPECT_LE(shortName.size(), 12u) << shortName;

    EXPECT_EQ(host_.FindFileName(shortPath).value_or(""), "Some Long File Name.text");
    EXPECT_EQ(host_.FindFileName(Upper(file)).value_or(""), "Some Long File Name.text");
    EXPECT_EQ(host_.FindFileName(Upper(folder)).value_or(""), "A Folder With A Long Name");
}

TEST_F(HostFiles, MissingPathsHaveNoShortFormAndNoName) {
    EXPECT_EQ(host_.ShortPath(folder_ + "No Such File.text"), "");
    EXPECT_FALSE(host_.FindFileName(folder_ + "No Such File.text"));
    EXPECT_FALSE(host_.FindFileName(folder_ + "no such folder\\file.txt"));
}

TEST_F(HostFiles, WriteTextFileReplacesAReadOnlyFile) {
    std::string path = folder_ + "readonly.txt";
    ASSERT_TRUE(WriteWholeFile(path, "old\r\n"));
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(host_.WriteTextFile(path, "new\r\n"));
    EXPECT_EQ(host_.ReadTextFile(path).value_or(""), "new\r\n");
    EXPECT_EQ(::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_FALSE(host_.ReadTextFile(folder_ + "missing.txt"));
}

TEST(HostRegistry, RunEntryRoundTripInTheCurrentUsersHive) {
    const char* key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\";
    const std::string name = "QVHOST01";
    WinHost host;
    host.DeleteRunEntry(false, name);
    host.WriteRunEntry(false, name, "C:\\Setup Folder\\Setup.exe /s A=1");
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, key, name).value_or(""), "C:\\Setup Folder\\Setup.exe /s A=1");
    host.DeleteRunEntry(false, name);
    EXPECT_FALSE(ReadRegistryString(HKEY_CURRENT_USER, key, name));
    // Deleting what is not there is no error.
    host.DeleteRunEntry(false, name);
}

TEST(HostInstaller, AProductThatIsNotInstalledHasNoState) {
    WinHost host;
    const std::string code = "{4E8B2F6D-1A3C-4B5E-9F70-2C4D6E8FA0EE}";
    EXPECT_FALSE(host.ProductIsInstalled(code));
    EXPECT_FALSE(host.InstalledPackageCode(code));
    EXPECT_EQ(host.UninstallString("Quorvex Host Test Without Entry", false), "");
    EXPECT_EQ(host.UninstallString("Quorvex Host Test Without Entry", true), "");
}
