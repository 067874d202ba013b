// zor.dll over the libraries staged from the stub's resources: archives of
// every codec library (branch converters, byte swap, copy, LZMA, AES) with
// progress and cancel, passwords right, wrong and missing, and libraries
// that are missing or broken.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "archive_libraries.h"
#include "media/codec_staging.h"

namespace qv::testing {
namespace {

const char* const kCodecFiles[] = {"code.bin", "words.txt", "noise.bin"};

std::string Fixture(const std::string& name) { return Ansi(ExeFolder()) + "zor_fixtures\\" + name; }

// The callbacks carry no context: what they see is kept here.
struct Seen {
    std::vector<std::uint64_t> done;
    std::uint64_t total = 0;
    std::size_t cancelAt = 0;  // 0: never
    int passwordAsked = 0;
    std::string password;
} seen;

std::int32_t ZOR_CALL Progress(const char*, std::uint64_t done, std::uint64_t total) {
    seen.done.push_back(done);
    seen.total = total;
    return seen.done.size() == seen.cancelAt ? 0 : 1;
}

std::int32_t ZOR_CALL AskPassword(char* buffer, std::int32_t size) {
    ++seen.passwordAsked;
    if (seen.password.empty() || size <= static_cast<std::int32_t>(seen.password.size())) return 0;
    memcpy(buffer, seen.password.c_str(), seen.password.size() + 1);
    return 1;
}

std::int32_t ZOR_CALL Notify(std::int32_t, std::int32_t) { return 1; }

std::int32_t ZOR_CALL ReplaceAll(std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t,
                                 std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t) {
    return 4;
}

class ZorCodecs : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        HMODULE stub = LoadLibraryExW((ExeFolder() + L"staging_stub.exe").c_str(), nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        staged_ = new TempFolder("staged");
        const SavedLibrariesPath keep;  // staging names the staged folder; each test does that itself
        stagedOk_ = stub != nullptr && win::StageArchiveCodecsFrom(stub, staged_->path() + "Seven Zip\\");
        FreeLibrary(stub);
    }
    static void TearDownTestSuite() {
        delete staged_;
        staged_ = nullptr;
    }

    void SetUp() override {
        seen = Seen();
        ASSERT_TRUE(stagedOk_) << "the libraries staged from staging_stub.exe";
        ASSERT_NE(Zor().module, nullptr);
        SetLibrariesPath(staged_->path() + "Seven Zip\\");
    }

    // ExtractArchive with the password argument and callback; the result.
    std::int32_t Extract(const std::string& archive, const std::string& password, bool withCallback = false) {
        return Zor().extract(archive.c_str(), 1, target_.path().c_str(), nullptr, 0, password.c_str(),
                             withCallback ? AskPassword : nullptr, Progress, Notify, ReplaceAll);
    }

    // OpenListArchive; the number of entries, or -1 when it failed.
    int List(const std::string& archive, const std::string& password, bool withCallback = false) {
        ZorArchiveEntry* entries = nullptr;
        std::int32_t count = 0;
        const std::intptr_t handle = Zor().open(archive.c_str(), 0, withCallback ? AskPassword : nullptr, 0, 0, 0,
                                                password.c_str(), &entries, &count);
        if (handle == 0) return -1;
        Zor().close(handle);
        return count;
    }

    void ExpectTheCodecFiles() {
        for (const char* name : kCodecFiles) {
            SCOPED_TRACE(name);
            const std::optional<std::string> out = ReadFileBytes(target_.path() + name);
            ASSERT_TRUE(out.has_value());
            EXPECT_EQ(out, ReadFileBytes(Fixture(std::string("codecs\\") + name)));
        }
    }

    bool TargetEmpty() {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((target_.path() + "*").c_str(), &found);
        bool empty = true;
        if (find == INVALID_HANDLE_VALUE) return true;
        do {
            const std::string name = found.cFileName;
            if (name != "." && name != "..") empty = false;
        } while (FindNextFileA(find, &found));
        FindClose(find);
        return empty;
    }

    static TempFolder* staged_;
    static bool stagedOk_;
    SavedLibrariesPath savedPath_;
    TempFolder target_{"zor-codecs"};
};
TempFolder* ZorCodecs::staged_ = nullptr;
bool ZorCodecs::stagedOk_ = false;

TEST_F(ZorCodecs, ArchivesOfEveryCodecLibraryExtract) {
    struct Case {
        const char* archive;
        const char* password;
    };
    for (const Case& c : {Case{"bcj2.7z", ""}, Case{"bcj-lzma.7z", ""}, Case{"swap4.7z", ""}, Case{"copy.7z", ""},
                          Case{"aes-data.7z", "Secret"}, Case{"aes-bcj2.7z", "Secret"}}) {
        SCOPED_TRACE(c.archive);
        seen = Seen();
        RemoveTree(target_.path());
        ASSERT_EQ(Extract(Fixture(c.archive), c.password), 1) << "error " << Zor().lastError(0);
        ExpectTheCodecFiles();
        ASSERT_FALSE(seen.done.empty());
        EXPECT_EQ(seen.done.back(), seen.total);
        EXPECT_TRUE(std::is_sorted(seen.done.begin(), seen.done.end()));
    }
}

TEST_F(ZorCodecs, TheCallbackGivesThePasswordOnceWhenNoneIsPassed) {
    seen.password = "Secret";
    EXPECT_EQ(List(Fixture("aes-bcj2.7z"), "", true), 3);
    EXPECT_EQ(seen.passwordAsked, 1);
    seen.passwordAsked = 0;
    ASSERT_EQ(Extract(Fixture("aes-bcj2.7z"), "", true), 1) << "error " << Zor().lastError(0);
    EXPECT_EQ(seen.passwordAsked, 1);
    ExpectTheCodecFiles();
    // A password argument is used as it is: the callback is not asked.
    seen.passwordAsked = 0;
    ASSERT_EQ(Extract(Fixture("aes-data.7z"), "Secret", true), 1);
    EXPECT_EQ(seen.passwordAsked, 0);
}

TEST_F(ZorCodecs, WrongAndMissingPasswordsHaveTheirCodes) {
    struct Case {
        const char* archive;
        const char* password;
        bool callback;  // with a callback that gives no password
        int listed;     // entries, or -1 when listing fails
        std::int32_t code;
    };
    for (const Case& c : {Case{"aes-data.7z", "wrong", false, 3, kZorWrongPassword},
                          Case{"aes-data.7z", "", false, 3, kZorPasswordRequired},
                          Case{"aes-data.7z", "", true, 3, kZorPasswordRequired},
                          Case{"aes-bcj2.7z", "wrong", false, -1, kZorCannotOpen},
                          Case{"aes-bcj2.7z", "", true, -1, kZorCannotOpen}}) {
        SCOPED_TRACE(std::string(c.archive) + " with \"" + c.password + "\"");
        EXPECT_EQ(List(Fixture(c.archive), c.password, c.callback), c.listed);
        if (c.listed < 0) {
            EXPECT_EQ(Zor().lastError(0), kZorCannotOpen);
        }
        EXPECT_EQ(Extract(Fixture(c.archive), c.password, c.callback), 0);
        EXPECT_EQ(Zor().lastError(0), c.code);
        EXPECT_TRUE(TargetEmpty());
    }
}

TEST_F(ZorCodecs, CancelStopsTheDecodersAndLeavesNoPartialFile) {
    seen.cancelAt = 2;
    EXPECT_EQ(Extract(Fixture("aes-bcj2.7z"), "Secret"), 0);
    EXPECT_EQ(Zor().lastError(0), kZorCancelled);
    EXPECT_EQ(seen.done.size(), 2u);
    EXPECT_TRUE(TargetEmpty());
}

// Broken in one way each: the archive cannot be opened, and nothing crashes.
TEST_F(ZorCodecs, MissingOrBrokenLibrariesMakeArchivesUnopenable) {
    const std::string good = staged_->path() + "Seven Zip\\";
    TempFolder broken("broken-libraries");
    auto copyOfGood = [&](const std::string& name) {
        const std::string folder = broken.path() + name + "\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        CreateDirectoryA((folder + "Codecs").c_str(), nullptr);
        CreateDirectoryA((folder + "Formats").c_str(), nullptr);
        for (const char* file : {"Codecs\\Aes.dll", "Codecs\\7zAes.dll", "Codecs\\Branch.dll", "Codecs\\Copy.dll",
                                 "Codecs\\LZMA.dll", "Codecs\\Swap.dll", "Formats\\7z.dll"})
            CopyFileA((good + file).c_str(), (folder + file).c_str(), FALSE);
        return folder;
    };
    struct Case {
        const char* name;
        std::function<std::optional<std::string>()> path;
    };
    const Case cases[] = {
        {"no value", [] { return std::nullopt; }},
        {"empty folder", [&] { return copyOfGood("empty") + "nothing\\"; }},
        {"no Swap.dll",
         [&] {
             const std::string f = copyOfGood("noswap");
             DeleteFileA((f + "Codecs\\Swap.dll").c_str());
             return f;
         }},
        {"7z.dll not a library",
         [&] {
             const std::string f = copyOfGood("text7z");
             WriteFileBytes(f + "Formats\\7z.dll", "not a library");
             return f;
         }},
        {"LZMA.dll not a codec library",
         [&] {
             const std::string f = copyOfGood("wronglzma");
             CopyFileA((Ansi(ExeFolder()) + "zor.dll").c_str(), (f + "Codecs\\LZMA.dll").c_str(), FALSE);
             return f;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetLibrariesPath(c.path());
        EXPECT_EQ(List(Fixture("bcj2.7z"), ""), -1);
        EXPECT_EQ(Zor().lastError(0), kZorCannotOpen);
        EXPECT_EQ(Extract(Fixture("bcj2.7z"), ""), 0);
        EXPECT_EQ(Zor().lastError(0), kZorCannotOpen);
        // A missing archive is still reported as such.
        EXPECT_EQ(List(Fixture("missing.7z"), ""), -1);
        EXPECT_EQ(Zor().lastError(0), kZorArchiveNotFound);
    }
    EXPECT_TRUE(TargetEmpty());
}

}  // namespace
}  // namespace qv::testing
