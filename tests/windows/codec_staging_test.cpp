// Staging of the format and codec libraries from the resources of the built
// stub (staging_stub.exe beside the test program, loaded as a data file):
// the files and their order, the "Path" value, read-only files from an
// earlier staging, and the stop at the first file that cannot be written.
#include <windows.h>

#include <gtest/gtest.h>

#include "archive_libraries.h"
#include "media/codec_staging.h"

namespace qv::testing {
namespace {

// In staging order.
const char* const kFiles[] = {"Codecs\\Aes.dll",  "Codecs\\7zAes.dll", "Codecs\\Branch.dll", "Codecs\\Copy.dll",
                              "Codecs\\LZMA.dll", "Codecs\\Swap.dll",  "Formats\\7z.dll"};

class CodecStaging : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        stub_ = LoadLibraryExW((ExeFolder() + L"staging_stub.exe").c_str(), nullptr,
                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }
    static void TearDownTestSuite() { FreeLibrary(stub_); }

    void SetUp() override {
        ASSERT_NE(stub_, nullptr) << "staging_stub.exe beside the test program";
        SetLibrariesPath(std::nullopt);
    }

    bool IsFile(const std::string& path) {
        const DWORD a = GetFileAttributesA(path.c_str());
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
    }

    static HMODULE stub_;
    SavedLibrariesPath savedPath_;
    TempFolder scratch_{"staging"};
    const std::string folder_ = scratch_.path() + "deeper\\Seven Zip\\";
};
HMODULE CodecStaging::stub_ = nullptr;

TEST_F(CodecStaging, WritesTheBuiltLibrariesAndThenNamesTheirFolder) {
    ASSERT_TRUE(win::StageArchiveCodecsFrom(stub_, folder_));
    for (const char* file : kFiles) {
        SCOPED_TRACE(file);
        const std::optional<std::string> staged = ReadFileBytes(folder_ + file);
        ASSERT_TRUE(staged.has_value());
        EXPECT_EQ(staged, ReadFileBytes(BuiltLibrariesFolder() + file));
    }
    EXPECT_EQ(LibrariesPath(), folder_);
}

TEST_F(CodecStaging, ReadOnlyFilesOfAnEarlierStagingAreReplaced) {
    ASSERT_TRUE(win::StageArchiveCodecsFrom(stub_, folder_));
    for (const char* file : kFiles) {
        WriteFileBytes(folder_ + file, "old");
        SetFileAttributesA((folder_ + file).c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    }
    ASSERT_TRUE(win::StageArchiveCodecsFrom(stub_, folder_));
    for (const char* file : kFiles) {
        SCOPED_TRACE(file);
        EXPECT_EQ(ReadFileBytes(folder_ + file), ReadFileBytes(BuiltLibrariesFolder() + file));
    }
}

// A folder in the place of a library cannot be deleted or written.
TEST_F(CodecStaging, TheFirstFileThatCannotBeWrittenStopsTheStaging) {
    CreateDirectoryA((scratch_.path() + "deeper").c_str(), nullptr);
    CreateDirectoryA((folder_ + ".").c_str(), nullptr);
    CreateDirectoryA((folder_ + "Codecs").c_str(), nullptr);
    CreateDirectoryA((folder_ + "Codecs\\Branch.dll").c_str(), nullptr);
    WriteFileBytes(folder_ + "Codecs\\Branch.dll\\inside.txt", "keeps the folder");
    EXPECT_FALSE(win::StageArchiveCodecsFrom(stub_, folder_));
    EXPECT_TRUE(IsFile(folder_ + "Codecs\\Aes.dll"));
    EXPECT_TRUE(IsFile(folder_ + "Codecs\\7zAes.dll"));
    for (const char* later : {"Codecs\\Copy.dll", "Codecs\\LZMA.dll", "Codecs\\Swap.dll", "Formats\\7z.dll"})
        EXPECT_FALSE(IsFile(folder_ + later)) << later;
    EXPECT_EQ(LibrariesPath(), std::nullopt);
}

TEST_F(CodecStaging, AModuleWithoutTheLibrariesStagesNothing) {
    EXPECT_FALSE(win::StageArchiveCodecsFrom(GetModuleHandleA(nullptr), folder_));
    for (const char* file : kFiles) EXPECT_FALSE(IsFile(folder_ + file)) << file;
    EXPECT_EQ(LibrariesPath(), std::nullopt);
}

TEST_F(CodecStaging, AFolderThatCannotBeMadeStagesNothing) {
    WriteFileBytes(scratch_.path() + "file", "a file where a folder should be");
    EXPECT_FALSE(win::StageArchiveCodecsFrom(stub_, scratch_.path() + "file\\Seven Zip\\"));
    EXPECT_EQ(LibrariesPath(), std::nullopt);
}

}  // namespace
}  // namespace qv::testing
