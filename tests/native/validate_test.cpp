#include "engine/validate.h"

#include <gtest/gtest.h>

#include "script_builder.h"

using namespace qv;
using qv::testing::ScriptBuilder;

namespace {

struct Case {
    const char* what;
    ScriptBuilder script;
    int failingPosition;  // -1: passes
    const char* text;
};

}  // namespace

TEST(Validation, Table) {
    const Case cases[] = {
        {"empty script", ScriptBuilder(), -1, ""},
        {"balanced blocks", ScriptBuilder().Add("If", {"TITLE", "0", "x"}).Add("End"), -1, ""},
        {"missing End fails at the last command",
         ScriptBuilder().Add("If", {"TITLE", "0", "x"}).Add("Comment"), 1, "Insufficient END statements"},
        {"extra End", ScriptBuilder().Add("End").Add("Comment"), 1, "Too many END statements"},
        {"disabled End does not count",
         ScriptBuilder().Add("If", {"TITLE", "0", "x"}).Disabled("End"), 1, "Insufficient END statements"},
        {"label inside a block", ScriptBuilder().Add("If", {"TITLE"}).Add("Label", {"a"}).Add("End"), 1, nullptr},
        {"label defined twice (disabled ones count)",
         ScriptBuilder().Disabled("Label", {"here"}).Add("Label", {"HERE"}), 1, "LABEL re-defined: HERE"},
        {"goto an undefined label", ScriptBuilder().Add("GoTo Label", {"nowhere"}), 0, "LABEL undefined: NOWHERE"},
        {"goto a label in any case", ScriptBuilder().Add("GoTo Label", {"End1"}).Add("Label", {"end1"}), -1, ""},
        {"If needs a variable", ScriptBuilder().Add("If", {""}).Add("End"), 0, "Variable required"},
        {"If on an undefined variable", ScriptBuilder().Add("If", {"$NOPE$"}).Add("End"), 0,
         "Variable not defined: $NOPE$"},
        {"If compares with an undefined reference", ScriptBuilder().Add("If", {"TITLE", "0", "$NOPE$"}).Add("End"),
         0, "Variable not defined: $NOPE$"},
        {"If compares with literal text", ScriptBuilder().Add("If", {"TITLE", "0", "$NOPE$ and more"}).Add("End"),
         -1, ""},
        {"Set Variable defines for later commands",
         ScriptBuilder().Add("Set Variable", {"mine", "1"}).Add("If", {"$MINE$"}).Add("End"), -1, ""},
        {"a disabled definition does not count",
         ScriptBuilder().Disabled("Set Variable", {"MINE", "1"}).Add("Convert Case", {"MINE"}), 1,
         "Variable not defined: MINE"},
        {"definitions are in order",
         ScriptBuilder().Add("Extract Path", {"LATER"}).Add("Set Variable", {"LATER"}), 0,
         "Variable not defined: LATER"},
        {"delete mode", ScriptBuilder().Add("Delete Files", {"a", "b", "FALSE", ""}), 0,
         "At least one delete mode must be selected"},
        {"install target", ScriptBuilder().Add("Install Files", {"a", "b", ""}), 0, nullptr},
        {"dialog name", ScriptBuilder().Add("Display Dialog", {""}), 0, "Dialog name not specified"},
        {"dialog condition variable", ScriptBuilder().Add("Display Dialog", {"d", "R", "", "$NOPE$"}), 0,
         "Variable not defined: $NOPE$"},
        {"find all files result", ScriptBuilder().Add("Find All Files", {"a", "b", "c", ""}), 0, "Variable required"},
        {"web media name", ScriptBuilder().Add("Web Media Block", {"C:\\x\\bad|name", "http://u"}), 0,
         "Web Media Block name must be a legal file name"},
        {"web media url", ScriptBuilder().Add("Web Media Block", {"block", ""}), 0,
         "Web Media Block must have a download URL"},
        {"only pages inside a wizard loop",
         ScriptBuilder().Add("Wizard Loop").Add("Display Dialog", {"d"}).Add("Set Variable", {"A"}).Add("End"), 2,
         "Statements other than DISPLAY DIALOG not allowed inside WIZARD LOOP"},
        {"comments and disabled commands may stand in a wizard loop",
         ScriptBuilder().Add("Wizard Loop").Add("Comment").Disabled("Set Variable", {"A"}).Add("Ignore").Add("End"),
         -1, ""},
        {"commented-out commands are not checked", ScriptBuilder().Add("Comment", {"", "", ""}).Disabled("If"), -1,
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto failure = ValidateScript(c.script.Build());
        if (c.failingPosition < 0) {
            EXPECT_FALSE(failure) << failure->text;
            continue;
        }
        ASSERT_TRUE(failure);
        EXPECT_EQ(failure->position, std::size_t(c.failingPosition));
        if (c.text) EXPECT_EQ(failure->text, c.text);
    }
}

TEST(Validation, ShortParallelSectionsFailInsteadOfCrashing) {
    SetupScript s = ScriptBuilder().Add("Set Variable", {"A"}).Add("GoTo Label", {"x"}).Build();
    s.commandIds.pop_back();
    auto failure = ValidateScript(s);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->position, 1u);
}
