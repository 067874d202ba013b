// zor.dll as the stub uses it: loaded by full path from beside the test
// program, its four exports called with archives that 7zz made at build time
// (zor_fixtures\, with the files they hold in zor_fixtures\src\).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "archive/zor_api.h"
#include "archive_libraries.h"

namespace {

using qv::testing::Ansi;
using qv::testing::ExeFolder;

std::wstring Wide(const std::string& ansi) {
    const int n = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, text.data(), n);
    text.resize(static_cast<std::size_t>(n - 1));
    return text;
}

std::string Fixture(const std::wstring& name) { return Ansi(ExeFolder() + L"zor_fixtures\\" + name); }

std::vector<char> ReadAll(const std::wstring& path) {
    std::vector<char> bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char chunk[65536];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) bytes.insert(bytes.end(), chunk, chunk + got);
    CloseHandle(file);
    return bytes;
}

void WriteAll(const std::wstring& path, const std::string& text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

DWORD AttributesOf(const std::wstring& path) { return GetFileAttributesW(path.c_str()); }

std::uint64_t ModifiedOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data);
    return std::uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
}

void DeleteTree(const std::wstring& path) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring child = path + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                DeleteTree(child);
            else
                DeleteFileW(child.c_str());
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    RemoveDirectoryW(path.c_str());
}

// Names below a folder, as relative paths with backslashes, sorted.
std::vector<std::wstring> TreeOf(const std::wstring& root, const std::wstring& prefix = L"") {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((root + L"\\" + prefix + L"*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        names.push_back(prefix + name);
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            const auto inner = TreeOf(root, prefix + name + L"\\");
            names.insert(names.end(), inner.begin(), inner.end());
        }
    } while (FindNextFileW(find, &found));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

class TempFolder {
public:
    TempFolder() {
        wchar_t base[MAX_PATH];
        GetTempPathW(MAX_PATH, base);
        static int counter = 0;
        path_ = std::wstring(base) + L"zor-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter);
        DeleteTree(path_);
        CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~TempFolder() { DeleteTree(path_); }
    const std::wstring& path() const { return path_; }
    std::string ansi() const { return Ansi(path_); }

private:
    std::wstring path_;
};

// Callbacks keep what they were given here: the library's callbacks carry
// no context of their own.
struct Calls {
    std::vector<std::string> names;
    std::vector<std::uint64_t> done;
    std::uint64_t total = 0;
    int cancelAt = -1;
    std::int32_t answer = 1;
    std::vector<std::string> asked;
} calls;

std::int32_t ZOR_CALL Progress(const char* entry, std::uint64_t done, std::uint64_t total) {
    calls.names.push_back(entry);
    calls.done.push_back(done);
    calls.total = total;
    return static_cast<int>(calls.done.size()) == calls.cancelAt ? 0 : 1;
}

std::int32_t ZOR_CALL Notify(std::int32_t, std::int32_t) { return 1; }

std::int32_t ZOR_CALL Answer(std::intptr_t question, std::intptr_t existing, std::intptr_t entry, std::intptr_t,
                            std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t, std::intptr_t) {
    EXPECT_EQ(question, 1);
    calls.asked.push_back(reinterpret_cast<const char*>(entry));
    EXPECT_EQ(AttributesOf(Wide(reinterpret_cast<const char*>(existing))) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    return calls.answer;
}

class ZorArchive : public ::testing::Test {
protected:
    void SetUp() override {
        calls = Calls();
        const qv::testing::ZorFunctions& z = qv::testing::Zor();
        ASSERT_NE(z.module, nullptr) << "zor.dll beside the test program";
        ASSERT_TRUE(z.open && z.extract && z.close && z.lastError) << "the four exports by their plain names";
    }

    // The names OpenListArchive gives for an archive.
    std::vector<std::string> List(const std::string& archive) {
        ZorArchiveEntry* entries = nullptr;
        std::int32_t count = 0;
        const std::intptr_t handle = qv::testing::Zor().open(archive.c_str(), 0, nullptr, 0, 0, 0, "", &entries, &count);
        EXPECT_NE(handle, 0) << "error " << qv::testing::Zor().lastError(0);
        std::vector<std::string> names;
        for (std::int32_t i = 0; i < count; ++i) names.push_back(entries[i].path);
        if (handle != 0) qv::testing::Zor().close(handle);
        return names;
    }

    std::int32_t Extract(const std::string& archive, const std::string& target, const std::vector<std::string>* names,
                         std::int32_t flat = 0, ZorAnswerCallback answer = Answer) {
        std::vector<const char*> pointers;
        if (names)
            for (const auto& n : *names) pointers.push_back(n.c_str());
        const ZorFileList list{pointers.data(), static_cast<std::int32_t>(pointers.size())};
        return qv::testing::Zor().extract(archive.c_str(), 1, target.c_str(), names ? &list : nullptr, flat, "", nullptr,
                                  Progress, Notify, answer);
    }

    std::wstring Source(const std::wstring& name) { return ExeFolder() + L"zor_fixtures\\src\\" + name; }

    const std::string basic_ = Fixture(L"basic.7z");
    const std::wstring umlauts_ = L"Gr\u00FC\u00DFe.txt";
};

TEST_F(ZorArchive, ListsEveryEntryWithItsDetails) {
    ASSERT_EQ(sizeof(void*) != 4 || sizeof(ZorArchiveEntry) == 48, true);
    ZorArchiveEntry* entries = nullptr;
    std::int32_t count = 0;
    const std::intptr_t handle = qv::testing::Zor().open(basic_.c_str(), 0, nullptr, 0, 0, 0, "", &entries, &count);
    ASSERT_NE(handle, 0);
    std::set<std::string> names;
    for (std::int32_t i = 0; i < count; ++i) {
        const ZorArchiveEntry& e = entries[i];
        names.insert(e.path);
        const std::wstring source = Source(Wide(e.path));
        SCOPED_TRACE(e.path);
        EXPECT_EQ(e.attributes & FILE_ATTRIBUTE_DIRECTORY, AttributesOf(source) & FILE_ATTRIBUTE_DIRECTORY);
        EXPECT_EQ(e.attributes & FILE_ATTRIBUTE_READONLY, std::string(e.path) == "readonly.txt" ? 1u : 0u);
        EXPECT_EQ(std::uint64_t(e.modifiedHigh) << 32 | e.modifiedLow, ModifiedOf(source));
        if ((e.attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            EXPECT_EQ(e.size, ReadAll(source).size());
        }
    }
    EXPECT_EQ(names, (std::set<std::string>{"readme.txt", "sub", "sub\\data.bin", "zero.txt", "readonly.txt",
                                            Ansi(umlauts_), "empty"}));
    qv::testing::Zor().close(handle);
    EXPECT_EQ(qv::testing::Zor().lastError(0), kZorOk);
}

TEST_F(ZorArchive, ArchivesThatCannotBeOpenedGiveTheirCodes) {
    struct Case {
        std::string archive;
        std::int32_t code;
    };
    for (const Case& c : {Case{Fixture(L"missing.7z"), kZorArchiveNotFound},
                          Case{Fixture(L"no such folder\\missing.7z"), kZorArchiveNotFound},
                          Case{Fixture(L"notarchive.7z"), kZorCannotOpen},
                          Case{Fixture(L"encrypted.7z"), kZorCannotOpen}}) {
        SCOPED_TRACE(c.archive);
        ZorArchiveEntry* entries = nullptr;
        std::int32_t count = -1;
        EXPECT_EQ(qv::testing::Zor().open(c.archive.c_str(), 0, nullptr, 0, 0, 0, "", &entries, &count), 0);
        EXPECT_EQ(qv::testing::Zor().lastError(0), c.code);
        TempFolder target;
        EXPECT_EQ(Extract(c.archive, target.ansi(), nullptr), 0);
        EXPECT_EQ(qv::testing::Zor().lastError(0), c.code);
    }
}

TEST_F(ZorArchive, ExtractsTheListedEntriesWithAttributesAndTimes) {
    TempFolder target;
    const std::vector<std::string> names = List(basic_);
    ASSERT_EQ(Extract(basic_, target.ansi(), &names), 1) << "error " << qv::testing::Zor().lastError(0);
    EXPECT_EQ(TreeOf(target.path()), TreeOf(ExeFolder() + L"zor_fixtures\\src"));
    for (const std::wstring& name : TreeOf(target.path())) {
        SCOPED_TRACE(Ansi(name));
        const std::wstring out = target.path() + L"\\" + name;
        EXPECT_EQ(ModifiedOf(out), ModifiedOf(Source(name)));
        EXPECT_EQ(AttributesOf(out) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY),
                  AttributesOf(Source(name)) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
        if ((AttributesOf(out) & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            EXPECT_EQ(ReadAll(out), ReadAll(Source(name)));
        }
    }
}

TEST_F(ZorArchive, WithoutAListEverythingIsExtractedIntoANewFolder) {
    TempFolder target;
    const std::wstring deep = target.path() + L"\\new\\deeper";
    ASSERT_EQ(Extract(basic_, Ansi(deep), nullptr), 1);
    EXPECT_EQ(TreeOf(deep), TreeOf(ExeFolder() + L"zor_fixtures\\src"));
}

TEST_F(ZorArchive, ChosenEntriesOnlyAndFlatMode) {
    TempFolder target;
    const std::vector<std::string> chosen = {"sub\\data.bin", "readme.txt"};
    ASSERT_EQ(Extract(basic_, target.ansi() + "\\tree", &chosen), 1);
    EXPECT_EQ(TreeOf(target.path() + L"\\tree"), (std::vector<std::wstring>{L"readme.txt", L"sub", L"sub\\data.bin"}));
    ASSERT_EQ(Extract(basic_, target.ansi() + "\\flat", &chosen, 1), 1);
    EXPECT_EQ(TreeOf(target.path() + L"\\flat"), (std::vector<std::wstring>{L"data.bin", L"readme.txt"}));
    EXPECT_EQ(ReadAll(target.path() + L"\\flat\\data.bin"), ReadAll(Source(L"sub\\data.bin")));
}

TEST_F(ZorArchive, ANameNotInTheArchiveFailsBeforeWriting) {
    TempFolder target;
    const std::vector<std::string> chosen = {"readme.txt", "nothere.txt"};
    EXPECT_EQ(Extract(basic_, target.ansi(), &chosen), 0);
    EXPECT_EQ(qv::testing::Zor().lastError(0), kZorExtractFailed);
    EXPECT_TRUE(TreeOf(target.path()).empty());
}

TEST_F(ZorArchive, ProgressNamesEachFileAndCountsItsBytes) {
    TempFolder target;
    ASSERT_EQ(Extract(basic_, target.ansi(), nullptr), 1);
    std::uint64_t sum = 0;
    for (const std::wstring& name : TreeOf(ExeFolder() + L"zor_fixtures\\src")) {
        if ((AttributesOf(Source(name)) & FILE_ATTRIBUTE_DIRECTORY) == 0) sum += ReadAll(Source(name)).size();
    }
    EXPECT_EQ(calls.total, sum);
    ASSERT_FALSE(calls.done.empty());
    EXPECT_EQ(calls.done.back(), sum);
    EXPECT_TRUE(std::is_sorted(calls.done.begin(), calls.done.end()));
    const std::set<std::string> named(calls.names.begin(), calls.names.end());
    EXPECT_EQ(named, (std::set<std::string>{"readme.txt", "sub\\data.bin", "zero.txt", "readonly.txt", Ansi(umlauts_)}));
}

TEST_F(ZorArchive, ProgressCanCancel) {
    TempFolder target;
    calls.cancelAt = 3;
    EXPECT_EQ(Extract(Fixture(L"big.7z"), target.ansi(), nullptr), 0);
    EXPECT_EQ(qv::testing::Zor().lastError(0), kZorCancelled);
    EXPECT_EQ(calls.done.size(), 3u);
    EXPECT_TRUE(TreeOf(target.path()).empty()) << "the file being written is removed";
}

TEST_F(ZorArchive, ExistingFilesAreReplacedOnlyWhenTheAnswerSaysSo) {
    TempFolder target;
    const std::wstring readme = target.path() + L"\\readme.txt";
    const std::wstring zero = target.path() + L"\\zero.txt";
    const std::vector<std::string> chosen = {"readme.txt", "zero.txt"};
    WriteAll(readme, "old");
    WriteAll(zero, "old");

    calls.answer = 0;  // keep
    ASSERT_EQ(Extract(basic_, target.ansi(), &chosen), 1);
    EXPECT_EQ(std::set<std::string>(calls.asked.begin(), calls.asked.end()),
              (std::set<std::string>{"zero.txt", "readme.txt"}));
    EXPECT_EQ(ReadAll(readme), (std::vector<char>{'o', 'l', 'd'}));

    calls.asked.clear();
    calls.answer = 1;  // replace this one; asked again for the next
    ASSERT_EQ(Extract(basic_, target.ansi(), &chosen), 1);
    EXPECT_EQ(calls.asked.size(), 2u);
    EXPECT_EQ(ReadAll(readme), ReadAll(Source(L"readme.txt")));

    // A read-only file is replaced too; "yes to all" asks only once.
    WriteAll(zero, "old");
    SetFileAttributesW(readme.c_str(), FILE_ATTRIBUTE_READONLY);
    calls.asked.clear();
    calls.answer = 4;
    ASSERT_EQ(Extract(basic_, target.ansi(), &chosen), 1);
    EXPECT_EQ(calls.asked.size(), 1u);
    EXPECT_EQ(ReadAll(readme), ReadAll(Source(L"readme.txt")));
    EXPECT_TRUE(ReadAll(zero).empty());
}

TEST_F(ZorArchive, AnEntryLeavingTheTargetFolderStopsEverything) {
    TempFolder box;
    const std::wstring target = box.path() + L"\\target";
    CreateDirectoryW(target.c_str(), nullptr);
    EXPECT_EQ(Extract(Fixture(L"evil.7z"), Ansi(target), nullptr), 0);
    EXPECT_EQ(qv::testing::Zor().lastError(0), kZorUnsafePath);
    EXPECT_EQ(TreeOf(box.path()), std::vector<std::wstring>{L"target"});
}

TEST_F(ZorArchive, AnUnknownMethodListsButDoesNotExtract) {
    TempFolder target;
    EXPECT_EQ(List(Fixture(L"ppmd.7z")), std::vector<std::string>{"readme.txt"});
    EXPECT_EQ(Extract(Fixture(L"ppmd.7z"), target.ansi(), nullptr), 0);
    EXPECT_EQ(qv::testing::Zor().lastError(0), kZorUnsupportedMethod);
    EXPECT_TRUE(TreeOf(target.path()).empty());
}

TEST_F(ZorArchive, StaleHandlesAreIgnored) {
    ZorArchiveEntry* entries = nullptr;
    std::int32_t count = 0;
    const std::intptr_t handle = qv::testing::Zor().open(basic_.c_str(), 0, nullptr, 0, 0, 0, "", &entries, &count);
    ASSERT_NE(handle, 0);
    qv::testing::Zor().close(handle);
    qv::testing::Zor().close(handle);
    qv::testing::Zor().close(12345);
}

}  // namespace
