// The kit's dialogs: text forms compiled into the dialog files the stub
// pre-loads, with their rules files, and the mistakes it names.
#include "dialogs.h"

#include <fstream>
#include <map>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "kit_error.h"
#include "wizard/form_file.h"

using namespace qv;
using namespace qv::kit;
using nlohmann::json;

namespace {

class KitDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("qv-kit-dialogs-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_ / "forms");
        Write("forms/welcome.txt", "object Welcome: TPoolTemplate\n  Caption = 'Hi'\n  object Label1: TLabel\n"
                                   "    Caption = 'Welcome'\n  end\nend\n");
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }
    void Write(const std::string& name, const std::string& text) {
        std::ofstream(folder_ / name, std::ios::binary) << text;
    }
    std::vector<KitDialog> Map(const std::string& text) { return DialogsFromJson(json::parse(text), folder_); }

    std::filesystem::path folder_;
};

TEST_F(KitDialogs, FormsAndRulesBecomeTheFilesTheStubLoads) {
    auto dialogs = Map(R"([{"name": "Welcome", "form": "forms/welcome.txt",
                            "rules": ["IF (A.B = 1)  THEN  C.D := 2;", "IF (E.F <> 3)  THEN  G.H := 4;"]},
                           {"name": "Plain", "form": "forms/welcome.txt"}])");
    std::map<std::string, std::string> files;
    for (auto& [name, bytes] : DialogFiles(dialogs)) files[name] = bytes;
    ASSERT_EQ(files.size(), 4u);
    const FormObject form = ReadForm(files["Welcome.dfm"]);
    EXPECT_EQ(form.className, "TPoolTemplate");
    ASSERT_EQ(form.children.size(), 1u);
    EXPECT_EQ(form.children[0].name, "Label1");
    EXPECT_EQ(files["Welcome.dfm.zorf"], "IF (A.B = 1)  THEN  C.D := 2;\r\nIF (E.F <> 3)  THEN  G.H := 4;\r\n");
    EXPECT_EQ(files["Plain.dfm.zorf"], "");  // the stub needs the rules file even when it is empty
}

TEST_F(KitDialogs, MistakesAreNamed) {
    Write("forms/broken.txt", "object Broken: TPoolTemplate\n  Caption = 'unterminated\nend\n");
    struct Case {
        const char* dialogs;
        const char* message;
    } cases[] = {
        {R"([{"form": "forms/welcome.txt"}])", "dialog 1: \"name\" must be a plain file name"},
        {R"([{"name": "a\\b", "form": "forms/welcome.txt"}])", "dialog 1: \"name\" must be a plain file name"},
        {R"([{"name": "W"}])", "dialog 1: \"form\" is required"},
        {R"([{"name": "W", "form": "x", "size": 3}])", "size"},
        {R"([{"name": "W", "form": "x"}, {"name": "w", "form": "x"}])", "dialog 2: a second dialog named w"},
        {R"([{"name": "W", "form": "x", "rules": ["a\nb"]}])", "dialog 1: a rule is one line"},
        {R"([{"name": "W", "form": "x", "rules": [1]}])", "dialog 1: \"rules\" holds texts only"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dialogs);
        try {
            Map(c.dialogs);
            ADD_FAILURE() << "accepted";
        } catch (const KitError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
    auto missing = Map(R"([{"name": "W", "form": "forms/none.txt"}])");
    EXPECT_THROW(DialogFiles(missing), KitError);
    auto broken = Map(R"([{"name": "B", "form": "forms/broken.txt"}])");
    try {
        DialogFiles(broken);
        ADD_FAILURE() << "compiled";
    } catch (const KitError& e) {
        EXPECT_NE(std::string(e.what()).find("broken.txt: line 2"), std::string::npos) << e.what();
    }
}

}  // namespace
