// The product cache and the uninstall entry on the real file system and
// registry: what an install leaves, what a removal takes away (also while
// the cached setup is in use), and what an advertise run does.
#include <windows.h>
#include <aclapi.h>

#include <gtest/gtest.h>

#include "command_runner.h"
#include "common/text.h"
#include "installer/product_queries.h"
#include "installer/product_registration.h"
#include "platform/files.h"
#include "platform/registry.h"
#include "scratch_folder.h"

using namespace qv;
using namespace qv::win;
using qv::testing::CommandRunner;
using qv::testing::ScriptBuilder;

namespace {

const CommandTable& NoCommands() {
    static const CommandTable table;
    return table;
}

std::string Read(const std::string& path) { return ReadWholeFile(path).value_or("<missing>"); }

class Registration : public qv::testing::ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        setup_ = folder_ + "setup\\";
        ASSERT_TRUE(ForceDirectories(setup_));
        for (const char* name : {"Setup.exe", "Setup.msi", "Setup.res", "zor.dll", "setup.bmp"})
            ASSERT_TRUE(WriteWholeFile(setup_ + name, std::string("content of ") + name));
        script_ = ScriptBuilder().Build();
        script_.publisher = "Quorvex Test Publisher";
        script_.contact = "contact@example.com";
        script_.helpLink = "https://example.com/help";
        script_.updateLink = "https://example.com/update";
        script_.comments = "No comment";
        title_ = "Quorvex Registration " + NewGuidText();
    }
    void TearDown() override {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            DeleteRegistryKey(root, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + title_);
            DeleteRegistryKey(root, "SOFTWARE\\Zembrot\\Quorvex\\Ident.Cache\\" + productCode_);
        }
        for (const std::string& c : cleanUp_) {
            DeleteTree(c);
            RemoveFolder(WithoutBackslash(c));
        }
        ScratchFolder::TearDown();
    }
    static std::string WithoutBackslash(std::string p) {
        if (!p.empty() && p.back() == '\\') p.pop_back();
        return p;
    }

    // A context as Apply Changes leaves it: the run's codes, the product
    // variables, the components and the parameter log.
    std::unique_ptr<CommandRunner> Context(bool allUsers, const std::string& exe = "") {
        auto runner = std::make_unique<CommandRunner>(script_, exe.empty() ? setup_ + "Setup.exe" : exe, NoCommands());
        RunContext& cx = runner->context();
        cx.productCode = productCode_;
        cx.revisionCode = revisionCode_;
        auto& v = cx.vars;
        v.Define("ALLUSERS", BoolText(allUsers), "test");
        v.Define("TITLE", title_, "test");
        v.Define("TARGETDIR", "C:\\Program Files\\Reg Test\\", "test");
        v.Define("STARTMENU", "Reg Test", "test");
        v.Define("LANGUAGE", "German", "test");
        v.Define("ROOTDIR", setup_, "test");
        v.Define("DATADIR", setup_, "test");
        cx.components.Define("Core", "", true, cx.componentSizes);
        cx.records.AppendParameterLog("AKEY", "TRUE");
        cx.records.AppendParameterLog("PKEY_1", "line one\r\nline two");
        cache_ = cx.host.ApplicationDataRoot(allUsers) + revisionCode_ + "\\";
        cleanUp_.push_back(cache_);
        return runner;
    }

    std::string setup_, title_, cache_;
    std::string productCode_ = NewGuidText(), revisionCode_ = NewGuidText();
    SetupScript script_;
    std::vector<std::string> cleanUp_;
};

std::string Uninstall(const std::string& title) { return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + title; }

}  // namespace

TEST_F(Registration, InstallFillsTheCacheAndWritesTheUninstallEntry) {
    auto run = Context(false);
    // A read-only leftover of an earlier run is replaced.
    ASSERT_TRUE(ForceDirectories(cache_));
    ASSERT_TRUE(WriteWholeFile(cache_ + "zor.dll", "old"));
    ::SetFileAttributesA((cache_ + "zor.dll").c_str(), FILE_ATTRIBUTE_READONLY);
    CacheAndRegisterProduct(run->context(), true, false);

    for (const char* name : {"Setup.exe", "Setup.msi", "Setup.res", "zor.dll", "setup.bmp"})
        EXPECT_EQ(Read(cache_ + name), std::string("content of ") + name) << name;
    std::vector<std::string> dat = SplitLines(Read(cache_ + "Setup.dat"));
    ASSERT_EQ(dat.size(), 8u) << Read(cache_ + "Setup.dat");
    EXPECT_EQ(dat[0], "Core");
    EXPECT_EQ(dat[2], "TRUE");
    EXPECT_EQ(dat[4], "C:\\Program Files\\Reg Test\\");
    EXPECT_EQ(dat[5], "FALSE");
    EXPECT_EQ(dat[6], "Reg Test");
    EXPECT_EQ(Read(cache_ + "Setup.par"), "AKEY\r\nTRUE\r\nPKEY_1\r\nline one$NEWLINE$line two\r\n");
    EXPECT_EQ(Read(cache_ + "Setup.lan"), "German\r\n");
    EXPECT_EQ(Read(cache_ + "instance.dat"), productCode_ + "\r\n" + revisionCode_ + "\r\n" + title_ + "\r\n");
    EXPECT_FALSE(DirectoryExists(cache_ + "__ad"));

    std::string key = Uninstall(title_);
    std::string exe = cache_ + "Setup.exe";
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, key, "DisplayName"), title_);
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, key, "DisplayIcon"), exe);
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, key, "UninstallString"), "\"" + exe + "\" REMOVE=TRUE MODIFY=FALSE");
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, key, "ModifyPath"), "\"" + exe + "\"");
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, key, "Publisher"), "Quorvex Test Publisher");
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, key, "URLUpdateInfo"), "https://example.com/update");
    EXPECT_EQ(ReadRegistryString(HKEY_CURRENT_USER, "SOFTWARE\\Zembrot\\Quorvex\\Ident.Cache\\" + productCode_, ""),
              cache_);
    EXPECT_FALSE(ReadRegistryString(HKEY_LOCAL_MACHINE, key, "DisplayName"));

    // A run without a language drops the remembered one; a maintenance run
    // started from the cached copy keeps its files intact.
    auto again = Context(false, exe);
    again->context().vars.Define("LANGUAGE", "", "test");
    again->context().vars.Define("ROOTDIR", cache_, "test");
    CacheAndRegisterProduct(again->context(), true, false);
    EXPECT_FALSE(FileExists(cache_ + "Setup.lan"));
    EXPECT_EQ(Read(cache_ + "Setup.exe"), "content of Setup.exe");
    EXPECT_EQ(Read(cache_ + "Setup.msi"), "content of Setup.msi");

    auto removal = Context(false);
    CacheAndRegisterProduct(removal->context(), false, true);
    EXPECT_FALSE(DirectoryExists(cache_));
    EXPECT_FALSE(ReadRegistryString(HKEY_CURRENT_USER, key, "DisplayName"));
    EXPECT_FALSE(ReadRegistryString(HKEY_CURRENT_USER, "SOFTWARE\\Zembrot\\Quorvex\\Ident.Cache\\" + productCode_, ""));
}

TEST_F(Registration, TheNewInstanceDatabaseAndTheMediaMarker) {
    script_.mediaMode = 2;
    auto run = Context(false);
    ASSERT_TRUE(WriteWholeFile(folder_ + "fresh.msi", "new instance"));
    run->context().records.newInstanceDatabasePath = folder_ + "fresh.msi";
    CacheAndRegisterProduct(run->context(), true, false);
    EXPECT_EQ(Read(cache_ + "Setup.msi"), "new instance");
    EXPECT_EQ(Read(cache_ + productCode_), "");
    auto removal = Context(false);
    CacheAndRegisterProduct(removal->context(), false, true);
    EXPECT_FALSE(DirectoryExists(cache_));
}

TEST_F(Registration, ARemovalWhileTheCachedSetupIsInUseMovesTheCacheAside) {
    auto run = Context(false);
    CacheAndRegisterProduct(run->context(), true, false);
    std::string exe = cache_ + "Setup.exe";
    HANDLE running = ::CreateFileA(exe.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(running, INVALID_HANDLE_VALUE);
    // Folders the numbering must pass over.
    std::string parent = cache_.substr(0, cache_.rfind('\\', cache_.size() - 2) + 1);
    auto removal = Context(false, exe);
    std::string firstFree;
    for (int n = 0;; ++n)
        if (!DirectoryExists(parent + "~" + std::to_string(n))) {
            firstFree = parent + "~" + std::to_string(n) + "\\";
            break;
        }
    cleanUp_.push_back(firstFree);
    CacheAndRegisterProduct(removal->context(), false, true);
    ::CloseHandle(running);
    EXPECT_FALSE(DirectoryExists(cache_));
    EXPECT_TRUE(FileExists(firstFree + "Setup.exe"));
    EXPECT_FALSE(FileExists(firstFree + "Setup.msi")) << "what could be deleted is gone";
    EXPECT_FALSE(ReadRegistryString(HKEY_CURRENT_USER, Uninstall(title_), "DisplayName"));
}

TEST_F(Registration, AnAdvertiseRunMarksTheCacheAndDropsTheEntry) {
    auto run = Context(false);
    CacheAndRegisterProduct(run->context(), true, false);
    ASSERT_TRUE(ReadRegistryString(HKEY_CURRENT_USER, Uninstall(title_), "DisplayName"));
    auto advertise = Context(false);
    CacheAndRegisterProduct(advertise->context(), false, false);
    EXPECT_TRUE(DirectoryExists(cache_ + "__ad"));
    EXPECT_FALSE(ReadRegistryString(HKEY_CURRENT_USER, Uninstall(title_), "DisplayName"));
    // The next install takes the mark away again.
    auto install = Context(false);
    CacheAndRegisterProduct(install->context(), true, false);
    EXPECT_FALSE(DirectoryExists(cache_ + "__ad"));
    EXPECT_TRUE(ReadRegistryString(HKEY_CURRENT_USER, Uninstall(title_), "DisplayName"));
}

TEST_F(Registration, AMachineWideCacheIsRegisteredForTheMachine) {
    auto run = Context(true);
    ASSERT_TRUE(run->context().host.IsAdministrator()) << "the test prefix's user is an administrator";
    CacheAndRegisterProduct(run->context(), true, false);
    EXPECT_TRUE(FileExists(cache_ + "Setup.exe"));
    EXPECT_EQ(ReadRegistryString(HKEY_LOCAL_MACHINE, Uninstall(title_), "DisplayName"), title_);
    EXPECT_FALSE(ReadRegistryString(HKEY_CURRENT_USER, Uninstall(title_), "DisplayName"));

    auto removal = Context(true);
    CacheAndRegisterProduct(removal->context(), false, true);
    EXPECT_FALSE(DirectoryExists(cache_));
    EXPECT_FALSE(ReadRegistryString(HKEY_LOCAL_MACHINE, Uninstall(title_), "DisplayName"));
}

TEST_F(Registration, AMachineWideCacheIsClosedToUsers) {
    // Wine reports a fixed access list for every file, whatever was set.
    if (::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version"))
        GTEST_SKIP() << "the system keeps no access lists of files";
    auto run = Context(true);
    CacheAndRegisterProduct(run->context(), true, false);
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    std::string path = cache_;
    ASSERT_EQ(::GetNamedSecurityInfoA(path.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                                      nullptr, &descriptor),
              DWORD(ERROR_SUCCESS));
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    ::GetSecurityDescriptorControl(descriptor, &control, &revision);
    EXPECT_TRUE(control & SE_DACL_PROTECTED);
    ASSERT_NE(dacl, nullptr);
    // No entry lets the users group write.
    BYTE usersSid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof usersSid;
    ASSERT_TRUE(::CreateWellKnownSid(WinBuiltinUsersSid, nullptr, usersSid, &sidSize));
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        ASSERT_TRUE(::GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
        if (ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE && ::EqualSid(&ace->SidStart, usersSid)) {
            EXPECT_EQ(ace->Mask & (FILE_WRITE_DATA | FILE_APPEND_DATA | DELETE | WRITE_DAC), 0u);
        }
    }
    ::LocalFree(descriptor);

    auto removal = Context(true);
    CacheAndRegisterProduct(removal->context(), false, true);
}
