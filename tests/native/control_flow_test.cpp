#include "engine/control_flow.h"

#include <gtest/gtest.h>

#include "engine_harness.h"
#include "script_builder.h"

using namespace qv;
using qv::testing::EngineRun;
using qv::testing::ScriptBuilder;

using Lines = std::vector<std::string>;

TEST(Condition, CompareValuesTable) {
    struct Case {
        const char* left;
        const char* op;
        const char* right;
        bool expected;
    } cases[] = {
        {"10", "2", "9", true},      // numeric
        {"10a", "2", "9", false},    // text: "10a" sorts before "9"
        {"123", "1", "2", false},    // both numbers: equality
        {"a123", "1", "2", true},    // text: contains
        {"abc", "1", "", false},     // an empty text never occurs
        {"", "0", "", true},
        {"abc", "0", "ABC", false},
        {"010", "0", "10", true},
        {"$1F", "0", "31", true},
        {"0x1f", "0", "x1F", true},
        {"FFFFFFFF", "0", "-1", false},   // no prefix: text
        {"$FFFFFFFF", "0", "-1", true},   // eight hex digits above 7FFFFFFF are negative
        {"$100000000", "0", "0", false},  // nine digits: text
        {" 5", "0", "5", true},           // leading blanks allowed
        {"5 ", "0", "5", false},
        {"-3", "2", "-4", true},
        {"ab", "2", "a", true},           // a prefix sorts first
        {"\xE9", "2", "z", true},         // 8-bit codes compare unsigned
        {"1", "3", "1", false},           // unknown operator
    };
    for (const auto& c : cases)
        EXPECT_EQ(CompareValues(c.left, c.op, c.right), c.expected) << c.left << " " << c.op << " " << c.right;
}

TEST(Condition, NegateAndReferences) {
    EngineRun run(ScriptBuilder()
                      .Add("Set Variable", {"X", "abc"})
                      .Add("Set Variable", {"Y", "ABC"})
                      .Add("If", {"X", "0", "$Y$", "TRUE"})
                      .Add("Record", {"negated"})
                      .Add("End")
                      .Add("If", {"$X$", "0", "x$Y$"})
                      .Add("Record", {"literal"})
                      .Add("Else")
                      .Add("Record", {"compared literally"})
                      .Add("End")
                      .Build());
    EXPECT_EQ(run.recorded, (Lines{"negated", "compared literally"}));
}

// A variable that a skipped branch would have defined: validation accepts it,
// the run does not.
ScriptBuilder DefinedOnlyInASkippedBranch() {
    return ScriptBuilder()
        .Add("If", {"TITLE", "0", "other"})
        .Add("Set Variable", {"LATER", "1"})
        .Add("End");
}

TEST(Condition, UndefinedVariablesAreRuntimeErrors) {
    EngineRun right(DefinedOnlyInASkippedBranch().Add("If", {"TITLE", "0", "$LATER$"}).Add("End").Build());
    ASSERT_EQ(right.host.errors.size(), 1u);
    EXPECT_EQ(right.host.errors[0],
              "Runtime error in setup script:\r\rLine 4: Attempting to get value of undefined variable LATER");
    EngineRun left(DefinedOnlyInASkippedBranch().Add("If", {"$LATER$", "0", "x"}).Add("End").Build());
    ASSERT_EQ(left.host.errors.size(), 1u);
}

TEST(IfChains, Table) {
    struct Case {
        const char* what;
        ScriptBuilder script;
        Lines expected;
    };
    auto cond = [](bool v) { return std::vector<std::string>{"TITLE", "0", v ? "Test Product" : "other"}; };
    const Case cases[] = {
        {"false, else-if true, else",
         ScriptBuilder()
             .Add("If", cond(false)).Add("Record", {"if"})
             .Add("Else If", cond(true)).Add("Record", {"elseif"})
             .Add("Else").Add("Record", {"else"})
             .Add("End").Add("Record", {"after"}),
         {"elseif", "after"}},
        {"true: else-if after it is skipped, not evaluated",
         DefinedOnlyInASkippedBranch()
             .Add("If", cond(true)).Add("Record", {"if"})
             .Add("Else If", {"LATER"}).Add("Record", {"elseif"})
             .Add("End"),
         {"if"}},
        {"all false",
         ScriptBuilder()
             .Add("If", cond(false)).Add("Record", {"if"})
             .Add("Else If", cond(false)).Add("Record", {"elseif"})
             .Add("End").Add("Record", {"after"}),
         {"after"}},
        {"nested false with else inside a true branch",
         ScriptBuilder()
             .Add("If", cond(true))
             .Add("If", cond(false)).Add("Record", {"inner if"})
             .Add("Else").Add("Record", {"inner else"})
             .Add("End")
             .Add("Record", {"outer continues"})
             .Add("Else If", cond(true)).Add("Record", {"outer elseif"})
             .Add("End").Add("Record", {"after"}),
         {"inner else", "outer continues", "after"}},
        {"nested blocks inside a skipped branch",
         ScriptBuilder()
             .Add("If", cond(false))
             .Add("If", cond(true)).Add("Record", {"x"}).Add("Else").Add("End")
             .Add("Wizard Loop").Add("Display Dialog", {"p"}).Add("End")
             .Add("Else").Add("Record", {"else"})
             .Add("End"),
         {"else"}},
        {"disabled End, Else and If are ignored by every scan",
         ScriptBuilder()
             .Add("If", cond(false))
             .Disabled("End").Disabled("Else").Disabled("If", cond(true)).Add("Record", {"hidden"})
             .Add("Else").Add("Record", {"else"})
             .Add("End"),
         {"else"}},
        // Validation compares counts only, so these stand in balanced scripts.
        {"an Else without a chain skips to the next End",
         ScriptBuilder().Add("Else").Add("Record", {"skipped"}).Add("End").Add("Record", {"after"})
             .Add("If", cond(true)).Add("Record", {"x"}),
         {"after", "x"}},
        {"an End without a block does nothing",
         ScriptBuilder().Add("End").Add("Record", {"a"}).Add("If", cond(true)).Add("Record", {"b"}),
         {"a", "b"}},
        {"goto out of a branch forgets the chain",
         ScriptBuilder()
             .Add("If", cond(true)).Add("GoTo Label", {"out"}).Add("Record", {"never"}).Add("End")
             .Add("Label", {"OUT"}).Add("End").Add("Record", {"after"})
             .Add("If", cond(true)).Add("Record", {"last"}),
         {"after", "last"}},
        {"goto jumps back",
         ScriptBuilder()
             .Add("Set Variable", {"N", "x"})
             .Add("Label", {"again"})
             .Add("Record", {"$N$"})
             .Add("If", {"N", "0", "xxx"}).Add("GoTo Label", {"done"}).Add("End")
             .Add("Set Variable", {"N", "$N$x"})
             .Add("GoTo Label", {"again"})
             .Add("Label", {"done"}),
         {"x", "xx", "xxx"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetupScript script = c.script.Build();
        EngineRun run(script);
        EXPECT_TRUE(run.host.errors.empty()) << (run.host.errors.empty() ? "" : run.host.errors[0]);
        EXPECT_EQ(run.recorded, c.expected);
    }
}

TEST(WizardLoop, Table) {
    const PageOutcome N = PageOutcome::Next, B = PageOutcome::Back, C = PageOutcome::Cancel;
    ScriptBuilder three = ScriptBuilder()
                              .Add("Wizard Loop")
                              .Add("Display Dialog", {"one"})
                              .Add("Comment")
                              .Add("Display Dialog", {"two"})
                              .Add("Display Dialog", {"three"})
                              .Add("End")
                              .Add("Record", {"after"});
    ScriptBuilder hidden = ScriptBuilder()
                               .Add("Wizard Loop")
                               .Add("Display Dialog", {"one"})
                               .Add("Display Dialog", {"hidden"})
                               .Add("Display Dialog", {"three"})
                               .Add("End")
                               .Add("Record", {"after"});
    struct Case {
        const char* what;
        ScriptBuilder script;
        std::deque<PageOutcome> results;
        Lines expected;
    } cases[] = {
        {"next next back next next", three, {N, N, B, N, N}, {"one", "two", "three", "two", "three", "after"}},
        {"back on the first page leaves", three, {B}, {"one", "after"}},
        {"cancel leaves at once", three, {N, C}, {"one", "two", "after"}},
        {"a result without a direction keeps it", three, {N, PageOutcome::NotModal, N}, {"one", "two", "three", "after"}},
        {"a hidden page is passed over both ways", hidden, {N, B, N, N}, {"one", "three", "one", "three", "after"}},
        {"disabled pages are passed over",
         ScriptBuilder().Add("Wizard Loop").Disabled("Display Dialog", {"off"}).Add("Display Dialog", {"on"})
             .Add("End").Add("Record", {"after"}),
         {N}, {"on", "after"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EngineRun run(c.script.Build(), "setup.exe", true, c.results);
        EXPECT_TRUE(run.host.errors.empty()) << (run.host.errors.empty() ? "" : run.host.errors[0]);
        EXPECT_EQ(run.recorded, c.expected);
    }
}

TEST(WizardLoop, InsideAnIfBranch) {
    EngineRun run(ScriptBuilder()
                      .Add("If", {"TITLE", "0", "Test Product"})
                      .Add("Wizard Loop").Add("Display Dialog", {"page"}).Add("End")
                      .Add("Record", {"in branch"})
                      .Add("Else").Add("Record", {"else"})
                      .Add("End").Add("Record", {"after"})
                      .Build());
    EXPECT_EQ(run.recorded, (Lines{"page", "in branch", "after"}));
}

TEST(WizardLoop, AnEndBeforeItsOpenerRunsOffTheListAsAnError) {
    EngineRun run(ScriptBuilder().Add("End").Add("Wizard Loop").Add("Display Dialog", {"p"}).Add("Comment").Build(),
                  "setup.exe",
                  true, {PageOutcome::Cancel});
    ASSERT_EQ(run.host.errors.size(), 1u);
    EXPECT_NE(run.host.errors[0].find("List index out of bounds"), std::string::npos);
}
