// The stub's own image, package wrapping and the workspace, on a real file
// system.
#include <windows.h>

#include <gtest/gtest.h>

#include "scratch_folder.h"
#include "bootstrap/package.h"
#include "bootstrap/workspace.h"
#include "bootstrap/wrap_package.h"
#include "platform/files.h"
#include "platform/module_image.h"

using namespace qv;
using namespace qv::win;

using qv::testing::ScratchFolder;

TEST(ImageSize, EqualsTheFileSizeOfThisPlainExecutable) {
    std::string self = ModuleFileName(nullptr);
    auto size = FileSize(self);
    ASSERT_TRUE(size);
    // The linker writes no bytes behind the last section.
    EXPECT_EQ(ImageSize(::GetModuleHandleA(nullptr)), *size);
}

TEST(ImageSize, FromTheFileHeadersAgreesWithTheLoadedModule) {
    auto bytes = ReadWholeFile(ModuleFileName(nullptr));
    ASSERT_TRUE(bytes);
    EXPECT_EQ(ImageSizeFromHeaders(reinterpret_cast<const unsigned char*>(bytes->data()), bytes->size()),
              ImageSize(::GetModuleHandleA(nullptr)));
}

using WrapPackageTest = ScratchFolder;

TEST_F(WrapPackageTest, LeavesARunnableFileAndTheOldPackageBesideIt) {
    std::string p = folder_ + "light.pkg";
    ASSERT_TRUE(WriteWholeFile(p, "PACKAGE TEXT"));
    ASSERT_TRUE(WrapPackage(p));
    auto wrapped = ReadWholeFile(p);
    auto kept = ReadWholeFile(p + ".nox");
    ASSERT_TRUE(wrapped && kept);
    EXPECT_EQ(*kept, "PACKAGE TEXT");
    std::uint32_t image = ImageSize(::GetModuleHandleA(nullptr));
    ASSERT_EQ(wrapped->size(), image + 12u);
    EXPECT_EQ(wrapped->substr(image), "PACKAGE TEXT");
    EXPECT_EQ(ImageSizeFromHeaders(reinterpret_cast<const unsigned char*>(wrapped->data()), wrapped->size()), image);
}

TEST_F(WrapPackageTest, MissingPackageLeavesTheImageAlone) {
    std::string p = folder_ + "absent.pkg";
    EXPECT_FALSE(WrapPackage(p));
    EXPECT_EQ(FileSize(p + ".to").value_or(0), ImageSize(::GetModuleHandleA(nullptr)));
    EXPECT_FALSE(FileExists(p));
}

TEST_F(WrapPackageTest, ExistingNoxStopsTheWrapAndKeepsThePackage) {
    std::string p = folder_ + "light.pkg";
    ASSERT_TRUE(WriteWholeFile(p, "NEW"));
    ASSERT_TRUE(WriteWholeFile(p + ".nox", "OLD"));
    EXPECT_FALSE(WrapPackage(p));
    EXPECT_EQ(ReadWholeFile(p).value_or(""), "NEW");
    EXPECT_EQ(ReadWholeFile(p + ".nox").value_or(""), "OLD");
}

using WorkspaceTest = ScratchFolder;

TEST_F(WorkspaceTest, TakesTheSmallestFreeNumber) {
    ASSERT_TRUE(CreateNewDirectory(folder_ + "zor1"));
    ASSERT_TRUE(CreateNewDirectory(folder_ + "zor2"));
    EXPECT_EQ(CreateWorkspace(folder_), folder_ + "zor3\\");
}

TEST_F(WorkspaceTest, AFileOfTheNameIsPassedOverNotShared) {
    ASSERT_TRUE(WriteWholeFile(folder_ + "zor1", "x"));
    EXPECT_EQ(CreateWorkspace(folder_), folder_ + "zor2\\");
    EXPECT_TRUE(FileExists(folder_ + "zor1"));
}

TEST_F(WorkspaceTest, RemovalTakesReadOnlyFilesAndSubfolders) {
    std::string ws = CreateWorkspace(folder_);
    ASSERT_TRUE(ForceDirectories(ws + "a\\b"));
    ASSERT_TRUE(WriteWholeFile(ws + "a\\b\\f.txt", "x"));
    ASSERT_TRUE(WriteWholeFile(ws + "top.txt", "y"));
    ::SetFileAttributesA((ws + "top.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    ::SetFileAttributesA((ws + "a").c_str(), FILE_ATTRIBUTE_READONLY);
    RemoveWorkspace(ws);
    EXPECT_FALSE(DirectoryExists(ws));
}
