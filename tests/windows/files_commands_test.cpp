// The file and folder commands on the real file system: tests of paths,
// searches, deletions of read-only and busy files, volume space and
// version resources.
#include <windows.h>

#include <gtest/gtest.h>

#include "actions/file_commands.h"
#include "command_runner.h"
#include "common/errors.h"
#include "platform/file_facts.h"
#include "platform/files.h"
#include "scratch_folder.h"

using namespace qv;
using namespace qv::win;
using qv::testing::CommandRunner;
using qv::testing::ScriptBuilder;

namespace {

const CommandTable& FileTable() {
    static const CommandTable table = [] {
        CommandTable t;
        RegisterFileCommands(t);
        return t;
    }();
    return table;
}

class FileCommands : public qv::testing::ScratchFolder {
protected:
    void Make(const std::string& relative, const std::string& content = "x") {
        std::string path = folder_ + relative;
        if (path.back() == '\\') {
            ASSERT_TRUE(ForceDirectories(path));
        } else {
            ASSERT_TRUE(WriteWholeFile(path, content));
        }
    }
    bool Exists(const std::string& relative) const {
        return ::GetFileAttributesA((folder_ + relative).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    // Runs the commands with F set to the scratch folder (trailing backslash).
    std::unique_ptr<CommandRunner> Run(const ScriptBuilder& b) {
        script_ = b.Build();
        auto runner = std::make_unique<CommandRunner>(script_, folder_ + "setup.exe", FileTable());
        runner->context().vars.Define("F", folder_, "test");
        runner->context().silent = true;
        runner->RunAll();
        return runner;
    }
    SetupScript script_;
};

}  // namespace

TEST_F(FileCommands, DoesFileFolderExist) {
    Make("sub\\");
    Make("sub\\a.txt");
    Make("only\\");
    Make("only\\inner\\");
    ScriptBuilder b;
    struct Case {
        std::string path, fileTest, expected;
    } cases[] = {
        {"$F$sub\\a.txt", "TRUE", "TRUE"},  {"$F$sub\\a.txt", "FALSE", "FALSE"},
        {"$F$sub", "TRUE", "FALSE"},        {"$F$sub", "FALSE", "TRUE"},
        {"$F$sub\\", "FALSE", "TRUE"},      {"$F$sub\\*.txt", "TRUE", "TRUE"},
        {"$F$only\\*", "TRUE", "FALSE"},    // the first match is a folder
        {"$F$missing.txt", "TRUE", "FALSE"}, {"$F$missing", "FALSE", "FALSE"},
        {"$F$sub\\\\a.txt", "TRUE", "TRUE"},  // doubled backslashes reduced
    };
    for (std::size_t i = 0; i < std::size(cases); ++i)
        b.Add("Does File/Folder Exist", {"R" + std::to_string(i), cases[i].path, cases[i].fileTest});
    auto run = Run(b);
    for (std::size_t i = 0; i < std::size(cases); ++i)
        EXPECT_EQ(run->var("R" + std::to_string(i)), cases[i].expected) << cases[i].path << " " << cases[i].fileTest;
}

TEST_F(FileCommands, CheckDiskSpace) {
    auto run = Run(ScriptBuilder()
                       .Add("Check Disk Space", {"$FREE$", "$F$", "TRUE"})
                       .Add("Check Disk Space", {"TOTAL", "$F$", "FALSE"})
                       .Add("Check Disk Space", {"GONE", "Q:\\nowhere\\", "TRUE"}));
    long long free = std::stoll(run->var("FREE")), total = std::stoll(run->var("TOTAL"));
    EXPECT_GT(free, 0);
    EXPECT_GE(total, free);
    EXPECT_EQ(run->var("GONE"), "0");
    EXPECT_EQ(FreeDiskSpace(folder_ + "sub\\deeper\\not-there"), std::uint64_t(free))
        << "the drive of the path is asked, whether the folder exists or not";
}

TEST_F(FileCommands, FindAllFilesOrderAndQuoting) {
    Make("a\\");
    Make("a\\x.txt");
    Make("a\\b\\");
    Make("a\\b\\y.txt");
    Make("a\\b\\skip.log");
    auto run = Run(ScriptBuilder()
                       .Add("Find All Files", {"$F$a\\*.txt", "TRUE", "TRUE", "$ALL$"})
                       .Add("Find All Files", {"$F$a\\*.txt", "FALSE", "FALSE", "TOP"})
                       .Add("Find All Files", {"$F$none\\*.*", "TRUE", "TRUE", "NONE"}));
    std::string f = folder_;
    bool quoted = f.find(' ') != std::string::npos;
    auto entry = [&](const std::string& rel) { return quoted ? "\"" + f + rel + "\"" : f + rel; };
    EXPECT_EQ(run->var("ALL"), entry("a\\b\\y.txt") + "|" + entry("a\\b") + "|" + entry("a\\x.txt"));
    EXPECT_EQ(run->var("TOP"), entry("a\\x.txt"));
    EXPECT_EQ(run->var("NONE"), "");
    EXPECT_FALSE(run->context().longOperationActive);
}

TEST_F(FileCommands, FindAllFilesQuotesAPathWithABlank) {
    Make("with space\\");
    Make("with space\\k.txt");
    auto run = Run(ScriptBuilder().Add("Find All Files", {"$F$with space\\*.txt", "FALSE", "FALSE", "R"}));
    EXPECT_EQ(run->var("R"), "\"" + folder_ + "with space\\k.txt\"");
}

TEST_F(FileCommands, DeleteFilesRecursiveTakesReadOnlyFilesAndLeavesBusyOnes) {
    for (const char* p : {"t\\", "t\\keep.txt", "t\\top.log", "t\\empty\\", "t\\logs\\", "t\\logs\\a.log",
                          "t\\logs\\deep\\", "t\\logs\\deep\\b.log", "t\\mixed\\", "t\\mixed\\c.log",
                          "t\\mixed\\note.txt", "t\\busy\\", "t\\busy\\held.log"})
        Make(p);
    ::SetFileAttributesA((folder_ + "t\\logs\\a.log").c_str(), FILE_ATTRIBUTE_READONLY);
    ::SetFileAttributesA((folder_ + "t\\logs\\deep").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY);
    {
        // Held open without sharing deletion: it stays, and so does its folder.
        HANDLE held = ::CreateFileA((folder_ + "t\\busy\\held.log").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        Run(ScriptBuilder().Add("Delete Files Recursive", {"$F$t\\*.log"}));
        ::CloseHandle(held);
    }
    EXPECT_TRUE(Exists("t\\keep.txt"));
    EXPECT_TRUE(Exists("t\\mixed\\note.txt"));
    EXPECT_TRUE(Exists("t\\busy\\held.log"));
    for (const char* gone : {"t\\top.log", "t\\empty", "t\\logs\\a.log", "t\\logs", "t\\mixed\\c.log"})
        EXPECT_FALSE(Exists(gone)) << gone;
    EXPECT_TRUE(Exists("t"));
}

TEST_F(FileCommands, FileVersions) {
    char system[MAX_PATH];
    ::GetSystemDirectoryA(system, MAX_PATH);
    std::string versioned = std::string(system) + "\\kernel32.dll";
    auto known = ReadFileVersion(versioned);
    ASSERT_TRUE(known);
    std::string text = VersionText(*known);
    Make("plain.txt");
    ASSERT_TRUE(CopyFileA(versioned.c_str(), (folder_ + "copy.dll").c_str(), FALSE));
    auto run = Run(ScriptBuilder()
                       .Add("Get File Version", {versioned, "$V$"})
                       .Add("Get File Version", {"$F$plain.txt", "PLAIN"})
                       .Add("Get File Version", {"$F$missing.dll", "MISSING"})
                       .Add("Check File Version", {"SAME", versioned, "FALSE", "", text})
                       .Add("Check File Version", {"LOWER", versioned, "FALSE", "", "0.1"})
                       .Add("Check File Version", {"FILES", versioned, "TRUE", "$F$copy.dll", ""})
                       .Add("Check File Version", {"OVERPLAIN", versioned, "TRUE", "$F$plain.txt", ""}));
    EXPECT_EQ(run->var("V"), text);
    EXPECT_EQ(run->var("PLAIN"), "0.0.0.0");
    EXPECT_EQ(run->var("MISSING"), "0.0.0.0");
    EXPECT_EQ(run->var("SAME"), "FALSE");
    EXPECT_EQ(run->var("LOWER"), "TRUE");
    EXPECT_EQ(run->var("FILES"), "FALSE");
    EXPECT_EQ(run->var("OVERPLAIN"), "TRUE");
    EXPECT_THROW(Run(ScriptBuilder().Add("Check File Version", {"BAD", versioned, "FALSE", "", "1.x.3"})),
                 ScriptError);
}

TEST_F(FileCommands, DeferredFileCommandsNeedTheirHeaderKey) {
    ScriptBuilder b;
    b.Add("Create Folder", {"$F$made"});
    SetupScript s = b.Build();
    CommandRunner without(s, folder_ + "setup.exe", FileTable());
    EXPECT_THROW(without.RunAll(), ScriptError);
    s.commandHeaders = {{"KEY", "0"}};
    CommandRunner with(s, folder_ + "setup.exe", FileTable());
    with.context().vars.Define("F", folder_, "test");
    with.RunAll();
    ASSERT_EQ(with.context().records.properties.size(), 2u);
    EXPECT_EQ(with.context().records.properties[1].value, folder_ + "made");
    EXPECT_FALSE(Exists("made")) << "nothing happens before the installer runs";
}

TEST_F(FileCommands, DeleteOnRestartOnTheNtFamilyPendsARename) {
    Make("later.tmp");
    ASSERT_TRUE(DeleteOnRestart(folder_ + "later.tmp"));
    HKEY key;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SYSTEM\\CurrentControlSet\\Control\\Session Manager", 0,
                              KEY_QUERY_VALUE, &key),
              ERROR_SUCCESS);
    DWORD size = 0;
    LONG status = ::RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr, nullptr, &size);
    std::string data(size, '\0');
    if (status == ERROR_SUCCESS)
        ::RegQueryValueExA(key, "PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                           &size);
    ::RegCloseKey(key);
    ASSERT_EQ(status, ERROR_SUCCESS);
    EXPECT_NE(data.find("later.tmp"), std::string::npos);
    EXPECT_TRUE(Exists("later.tmp"));
}

TEST_F(FileCommands, DeleteTreeWithAndWithoutSubfolders) {
    for (const char* p : {"d\\", "d\\top.txt", "d\\sub\\", "d\\sub\\inner.txt"}) Make(p);
    ::SetFileAttributesA((folder_ + "d\\top.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    DeleteTree(folder_ + "d", false);
    EXPECT_FALSE(Exists("d\\top.txt"));
    EXPECT_TRUE(Exists("d\\sub\\inner.txt"));
    DeleteTree(folder_ + "d\\", true);
    EXPECT_FALSE(Exists("d\\sub"));
    EXPECT_TRUE(Exists("d")) << "the folder itself stays";
}
