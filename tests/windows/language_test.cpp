// The language selection's system side on a real system: the workspace's
// translation files, the user's language, and the remembered language of a
// maintenance run read from the product cache under the real application
// data folders.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "scratch_folder.h"
#include "bootstrap/package.h"
#include "bootstrap/win_host.h"
#include "engine/run_context.h"
#include "platform/files.h"
#include "wizard/language_names.h"
#include "wizard/language_selection.h"
#include "wizard/language_win.h"

using namespace qv;
using namespace qv::win;

namespace {

using LanguageFiles = qv::testing::ScratchFolder;

void Write(const std::string& path, const std::string& text) { ASSERT_TRUE(WriteWholeFile(path, text)); }

}  // namespace

TEST_F(LanguageFiles, TranslationFilesAreListedByNameWithoutFolders) {
    for (const char* name : {"translations.German", "translations.french", "TRANSLATIONS.Map",
                             "shared.translations.German", "translation.Dutch", "Demo.mtx"})
        Write(folder_ + name, "");
    ASSERT_TRUE(ForceDirectories(folder_ + "translations.Italian\\"));
    WinLanguageHost host;
    EXPECT_EQ(host.FindTranslationFiles(folder_),
              (std::vector<std::string>{folder_ + "translations.french", folder_ + "translations.German",
                                        folder_ + "TRANSLATIONS.Map"}));
    EXPECT_TRUE(host.FindTranslationFiles(folder_ + "missing\\").empty());
}

TEST(LanguageSystem, TheUsersLanguageIsAHexadecimalIdentifier) {
    std::string text = WinLanguageHost().UserDefaultLanguageText();
    ASSERT_EQ(text.size(), 4u) << text;
    EXPECT_EQ(std::stoul(text, nullptr, 16), ::GetUserDefaultLangID());
    EXPECT_EQ(LanguageNameOfLocaleValue(text), LanguageName(::GetUserDefaultLangID()));
}

// A maintenance session of a setup named Setup whose workspace holds German
// and French tables.
class RememberedLanguage : public qv::testing::ScratchFolder {
protected:
    void SetUp() override {
        ScratchFolder::SetUp();
        script_.title = "Remembered";
        script_.defaultLanguage = "German";
        script_.languageDialog = true;
        script_.revisionCode = "{7A1E0C55-3B2D-4C6E-9F10-2B3C4D5E6F70}";
        for (const char* name : {"translations.Map", "Remembered.mtx", "translations.German", "translations.French"})
            Write(folder_ + name, "");
        for (bool allUsers : {false, true}) {
            caches_[allUsers] = host_.ApplicationDataRoot(allUsers) + script_.revisionCode + "\\";
            ASSERT_TRUE(ForceDirectories(caches_[allUsers]));
        }
    }
    void TearDown() override {
        for (const auto& cache : caches_) {
            DeleteTree(cache);
            RemoveFolder(cache.substr(0, cache.size() - 1));
        }
        ScratchFolder::TearDown();
    }

    std::string Language() {
        StartupValues values;
        values.setupName = "Setup";
        values.workspace = folder_;
        Trace trace;
        RunContext cx(script_, values, host_, trace);
        cx.languageHost = &languages_;
        cx.revisionCode = script_.revisionCode;
        cx.title = script_.title;
        cx.vars.Define("MAINTENANCE", "TRUE", "test");
        // In maintenance the form is never shown, so nothing waits here.
        EXPECT_TRUE(SelectLanguage(cx));
        return cx.vars.Get("LANGUAGE");
    }

    SetupScript script_;
    WinHost host_;
    WinLanguageHost languages_;
    std::string caches_[2];
};

TEST_F(RememberedLanguage, FromTheUsersCacheWhenItHoldsTheSelectionElseFromAllUsers) {
    EXPECT_EQ(Language(), "German");  // nothing remembered: the default
    Write(caches_[true] + "Setup.lan", "French\r\n");
    EXPECT_EQ(Language(), "French");
    // The user's remembered language counts only beside the user's selection.
    Write(caches_[false] + "Setup.lan", "German\r\n");
    EXPECT_EQ(Language(), "French");
    Write(caches_[false] + "Setup.dat", "$\r\n$\r\n\r\n\r\n\r\n");
    EXPECT_EQ(Language(), "German");
    // An empty file remembers no language.
    Write(caches_[false] + "Setup.lan", "");
    EXPECT_EQ(Language(), "");
}
