// "Display Dialog", "Hide Dialog" and "MessageBox" run by the real engine
// over a page host that scripts the user's answers and logs every call.
#include <gtest/gtest.h>

#include <deque>

#include "engine/control_flow.h"
#include "engine/core_commands.h"
#include "engine/script_engine.h"
#include "fake_host.h"
#include "script_builder.h"
#include "wizard/dialog_commands.h"

namespace qv {
namespace {

using testing::FakeHost;
using testing::ScriptBuilder;

class FakePages : public PageHost {
public:
    std::vector<std::string> calls;
    std::deque<ShownPage> answers;  // for waiting pages; Next when empty
    std::string current;

    void PreparePage(const std::string& id) override { calls.push_back("prepare " + id); }
    void RestorePage(const std::string& id) override { calls.push_back("restore " + id); }
    ShownPage ShowPage(const std::string& id, bool wait) override {
        calls.push_back(std::string(wait ? "wait " : "show ") + id);
        current = wait ? "" : id;
        if (!wait) return ShownPage{PageOutcome::Pending, "", 0x4242};
        ShownPage next = answers.empty() ? ShownPage{PageOutcome::Next, "", 0} : answers.front();
        if (!answers.empty()) answers.pop_front();
        return next;
    }
    void HidePage(const std::string& id) override { calls.push_back("hide " + id); }
    std::string CurrentPageId() const override { return current; }
    void FreezeWindow(std::uintptr_t window, bool frozen) override {
        calls.push_back((frozen ? "freeze " : "thaw ") + std::to_string(window));
    }
};

struct DialogRun {
    FakeHost host;
    FakePages pages;
    Trace trace;
    std::vector<std::pair<std::string, std::string>> variables;
    std::vector<std::string> recorded;

    void Run(const SetupScript& script, const std::string& commandLine = "setup.exe") {
        StartupValues v = testing::TestStartupValues(commandLine);
        host.files[v.databasePath] = "";
        RunContext cx(script, v, host, trace);
        cx.pages = &pages;
        CommandTable table;
        RegisterCoreCommands(table);
        RegisterControlFlowCommands(table);
        RegisterDialogCommands(table);
        table.Add("Record", [this](RunContext& c, const ScriptCommand& cmd) {
            recorded.push_back(c.ParamText(cmd, 1) + (c.cancelRequested ? " (cancelled)" : ""));
        });
        RunScript(cx, table);
        variables = cx.vars.Snapshot();
    }
    std::string var(const std::string& name) const {
        for (const auto& [n, v] : variables)
            if (n == name) return v;
        return "<undefined>";
    }
};

TEST(DisplayDialog, ResultTextsAndWindowHandle) {
    struct Case {
        const char* what;
        ShownPage answer;
        const char* text;
    } cases[] = {
        {"next", {PageOutcome::Next, "", 0}, "NEXT"},
        {"back", {PageOutcome::Back, "", 0}, "BACK"},
        {"cancel", {PageOutcome::Cancel, "", 0}, "CANCEL"},
        {"named", {PageOutcome::Named, "btnRepair", 0}, "BTNREPAIR"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DialogRun run;
        run.pages.answers = {c.answer};
        run.Run(ScriptBuilder().Add("Display Dialog", {"Welcome", "PageResult", "TRUE"}).Build());
        EXPECT_TRUE(run.host.errors.empty()) << run.host.errors[0];
        EXPECT_EQ(run.var("PAGERESULT"), c.text);  // created when missing
        EXPECT_EQ(run.var("WINDOWHANDLE"), "0");
        EXPECT_EQ(run.pages.calls, (std::vector<std::string>{"prepare 0", "wait 0"}));
    }
}

TEST(DisplayDialog, ShowConditionSkipsThePage) {
    struct Case {
        const char* condition;
        const char* skipValue;
        bool shown;
    } cases[] = {
        {"SKIPIT", "TRUE", false}, {"$SKIPIT$", "TRUE", false}, {"SKIPIT", "FALSE", true},
        {"OTHER", "TRUE", true},   {"OTHER", "false", false},   {"", "TRUE", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.condition) + " / " + c.skipValue);
        DialogRun run;
        run.Run(ScriptBuilder()
                    .Add("Set Variable", {"SKIPIT", "true"})
                    .Add("Set Variable", {"OTHER", "1"})
                    .Add("Display Dialog", {"Page", "R", "TRUE", c.condition, "", c.skipValue})
                    .Build());
        EXPECT_TRUE(run.host.errors.empty());
        EXPECT_EQ(!run.pages.calls.empty(), c.shown);
        EXPECT_EQ(run.var("R"), c.shown ? "NEXT" : "<undefined>");
    }
}

TEST(DisplayDialog, NonWaitingPageOwnsMessageBoxesUntilHidden) {
    DialogRun run;
    run.host.messageBoxAnswer = 7;
    run.Run(ScriptBuilder()
                .Add("Display Dialog", {"Progress", "R", "FALSE"})
                .Add("Record", {"$WINDOWHANDLE$"})
                .Add("MessageBox", {"Cap $R$", "Text", "3", "4", "Answer"})
                .Add("Display Dialog", {"Next", "R2", "TRUE"})
                .Add("Hide Dialog")
                .Add("Record", {"$WINDOWHANDLE$"})
                .Build());
    EXPECT_TRUE(run.host.errors.empty()) << run.host.errors[0];
    EXPECT_EQ(run.var("R"), "NOTMODAL");
    EXPECT_EQ(run.recorded, (std::vector<std::string>{std::to_string(0x4242), "0"}));
    ASSERT_EQ(run.host.messageBoxes.size(), 1u);
    EXPECT_EQ(run.host.messageBoxes[0].owner, 0x4242u);
    EXPECT_EQ(run.host.messageBoxes[0].caption, "Cap NOTMODAL");
    EXPECT_EQ(run.host.messageBoxes[0].style, 0x10u + 0x4u);  // error icon, Yes and No
    EXPECT_EQ(run.var("ANSWER"), "NO");
    // The non-waiting page is frozen while the next is prepared and is not
    // restored; the waiting one ended, so Hide Dialog has nothing to hide.
    EXPECT_EQ(run.pages.calls, (std::vector<std::string>{"prepare 0", "show 0", "freeze 16962", "prepare 3",
                                                         "thaw 16962", "wait 3", "hide "}));
}

TEST(DisplayDialog, WizardLoopRestoresThePreviousPageAndFollowsResults) {
    DialogRun run;
    run.pages.answers = {{PageOutcome::Next, "", 0}, {PageOutcome::Back, "", 0}, {PageOutcome::Next, "", 0},
                         {PageOutcome::Next, "", 0}};
    run.Run(ScriptBuilder()
                .Add("Wizard Loop")
                .Add("Display Dialog", {"One", "R", "FALSE"})  // waits inside a loop all the same
                .Add("Display Dialog", {"Two", "R"})
                .Add("End")
                .Add("Record", {"$R$ $WINDOWHANDLE$"})
                .Build());
    EXPECT_TRUE(run.host.errors.empty()) << run.host.errors[0];
    EXPECT_EQ(run.pages.calls,
              (std::vector<std::string>{"prepare 1", "wait 1", "restore 1", "prepare 2", "wait 2", "restore 2",
                                        "prepare 1", "wait 1", "restore 1", "prepare 2", "wait 2"}));
    EXPECT_EQ(run.recorded, (std::vector<std::string>{"NEXT 0"}));
}

TEST(DisplayDialog, SilentModeShowsNothing) {
    DialogRun run;
    run.Run(ScriptBuilder()
                .Add("Set Variable", {"ANSWER", "unchanged"})
                .Add("Display Dialog", {"One", "R1", "TRUE"})
                .Add("Display Dialog", {"Two", "R2", "FALSE"})
                .Add("MessageBox", {"c", "t", "1", "4", "ANSWER"})
                .Add("Hide Dialog")
                .Build(),
            "setup.exe /s");
    EXPECT_TRUE(run.host.errors.empty());
    EXPECT_TRUE(run.pages.calls.empty());
    EXPECT_TRUE(run.host.messageBoxes.empty());
    EXPECT_EQ(run.var("R1"), "NEXT");
    EXPECT_EQ(run.var("R2"), "NOTMODAL");
    EXPECT_EQ(run.var("WINDOWHANDLE"), "0");
    EXPECT_EQ(run.var("ANSWER"), "unchanged");
}

TEST(MessageBoxCommand, StylesAnswersAndBadKinds) {
    EXPECT_EQ(MessageBoxStyle(0, 1), 0x40u);
    EXPECT_EQ(MessageBoxStyle(1, 5), 0x20u + 0x3u);
    EXPECT_EQ(MessageBoxStyle(2, 0), 0x30u + 0x2u);
    EXPECT_EQ(MessageBoxStyle(3, 2), 0x10u + 0x1u);
    EXPECT_EQ(MessageBoxStyle(0, 3), 0x40u + 0x5u);
    EXPECT_EQ(MessageBoxStyle(9, 9), 0u);
    EXPECT_EQ(MessageBoxAnswerText(1), "OK");
    EXPECT_EQ(MessageBoxAnswerText(7), "NO");
    EXPECT_FALSE(MessageBoxAnswerText(0));

    DialogRun run;
    run.Run(ScriptBuilder().Add("MessageBox", {"c", "t", "warn", "1", "A"}).Build());
    ASSERT_EQ(run.host.errors.size(), 1u);
    EXPECT_NE(run.host.errors[0].find("'warn' is not a valid integer value"), std::string::npos);
    EXPECT_TRUE(run.host.messageBoxes.empty());
}

}  // namespace
}  // namespace qv
