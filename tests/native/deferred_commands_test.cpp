#include <gtest/gtest.h>

#include "action_harness.h"
#include "script_builder.h"

using namespace qv;
using namespace qv::testing;

namespace {

SetupScript WithHeaders(ScriptBuilder b, std::vector<CommandHeader> headers, int mediaMode = 1) {
    SetupScript s = b.Build();
    s.commandHeaders = std::move(headers);
    s.mediaMode = mediaMode;
    return s;
}

std::vector<std::string> Names(const std::vector<DeferredProperty>& props) {
    std::vector<std::string> out;
    for (const auto& p : props) out.push_back(p.name + "=" + p.value);
    return out;
}

}  // namespace

TEST(DeferredCommands, EachCommandRecordsItsSlotsAfterTheSessionDefaults) {
    ScriptBuilder b;
    b.Add("Set Variable", {"DEST", "C:\\\\Out\\\\"});
    b.Add("Create Folder", {"$DEST$new"});
    b.Add("Copy/Move Local Files", {"C:\\src\\*.*", "ignored", "$DEST$copy"});
    b.Add("Delete Files", {"$DEST$old\\*.tmp", "", "TRUE"});  // a delete mode, read by the database rows
    b.Add("Install Files", {"*.*", "x", "$DEST$", "opt"});
    ActionRun run(WithHeaders(b, {{"K1", "1"}, {"K2", "2"}, {"K3", "3"}, {"K4", "4"}}));
    EXPECT_EQ(Names(run.properties), (std::vector<std::string>{
                                         "AK1=FALSE", "AK2=FALSE", "AK3=FALSE", "AK4=FALSE",
                                         "AK1=TRUE", "PK1_1=C:\\Out\\new",
                                         "AK2=TRUE", "PK2_1=C:\\src\\*.*", "PK2_2=C:\\Out\\copy",
                                         "AK3=TRUE", "PK3_1=C:\\Out\\old\\*.tmp",
                                         "AK4=TRUE", "PK4_1=C:\\Out\\"}));
    // The parameter log holds the same pairs as alternating lines.
    ASSERT_EQ(run.parameterLog.size(), 2 * run.properties.size());
    for (std::size_t i = 0; i < run.properties.size(); ++i) {
        EXPECT_EQ(run.parameterLog[2 * i], run.properties[i].name);
        EXPECT_EQ(run.parameterLog[2 * i + 1], run.properties[i].value);
    }
}

TEST(DeferredCommands, RunTwiceRecordsTwiceAndTheLaterValueWins) {
    ScriptBuilder b;
    b.Add("Set Variable", {"N", ""});
    b.Add("Label", {"AGAIN"});
    b.Add("Create Folder", {"C:\\F$N$"});
    b.Add("If", {"N", "0", ""});
    b.Add("Set Variable", {"N", "2"});
    b.Add("GoTo Label", {"AGAIN"});
    b.Add("End");
    ActionRun run(WithHeaders(b, {{"K", "2"}}));
    std::vector<std::string> values;
    for (const auto& p : run.properties)
        if (p.name == "PK_1") values.push_back(p.value);
    EXPECT_EQ(values, (std::vector<std::string>{"C:\\F", "C:\\F2"}));
    EXPECT_EQ(run.property("PK_1"), "C:\\F2");
    EXPECT_EQ(run.property("AK"), "TRUE");
}

TEST(DeferredCommands, ALineBreakInAValueIsKeptAsNewlineText) {
    ScriptBuilder b;
    b.Add("Create Folder", {"C:\\a$NEWLINE$b"});
    ActionRun run(WithHeaders(b, {{"K", "0"}}));
    EXPECT_EQ(run.property("PK_1"), "C:\\a$NEWLINE$b");
    EXPECT_EQ(run.parameterLog.back(), "C:\\a$NEWLINE$b");
}

TEST(DeferredCommands, ACommandWithoutHeaderKeyEndsTheRunWithTheRebuildError) {
    ScriptBuilder b;
    b.Add("Create Folder", {"C:\\x"});
    b.Add("Set Variable", {"AFTER", "yes"});
    ActionRun run(WithHeaders(b, {}));
    ASSERT_EQ(run.host.errors.size(), 1u);
    EXPECT_NE(run.host.errors[0].find("Unable to obtain command headers. Please rebuild your project."),
              std::string::npos);
    EXPECT_EQ(run.var("AFTER"), "<undefined>");
    EXPECT_TRUE(run.properties.empty());
}

TEST(DeferredCommands, InstallFilesFetchesWebMediaBetweenActivationAndDestination) {
    struct Case {
        int mediaMode;
        std::optional<std::string> failure;
        bool fetched;
        bool destinationRecorded;
    } cases[] = {
        {2, std::nullopt, true, true},
        {2, std::string("Unable to download web media"), true, false},
        {1, std::string("never asked"), false, true},
    };
    for (const Case& k : cases) {
        ScriptBuilder b;
        b.Add("Install Files", {"*.*", "", "C:\\App\\"});
        b.Add("Set Variable", {"AFTER", "yes"});
        SetupScript s = WithHeaders(b, {{"K", "0"}}, k.mediaMode);
        s.mediaBlocks[0] = "WEB1\\";
        bool fetched = false;
        std::string propertyAtFetch;
        ActionRun run(s, {}, [&](RunContext& cx, const ScriptCommand& c) {
            fetched = true;
            EXPECT_EQ(c.mediaBlock, "WEB1\\");
            propertyAtFetch = cx.records.properties.back().name + "=" + cx.records.properties.back().value;
            return k.failure;
        });
        SCOPED_TRACE(k.mediaMode);
        EXPECT_EQ(fetched, k.fetched);
        if (k.fetched) {
            EXPECT_EQ(propertyAtFetch, "AK=TRUE");
        }
        EXPECT_EQ(run.property("PK_1"), k.destinationRecorded ? "C:\\App\\" : "<none>");
        EXPECT_EQ(run.var("AFTER"), k.destinationRecorded ? "yes" : "<undefined>");
        EXPECT_EQ(run.host.errors, k.destinationRecorded ? std::vector<std::string>{}
                                                         : std::vector<std::string>{"Unable to download web media"});
    }
}
