#include <gtest/gtest.h>

#include <limits>

#include "action_harness.h"
#include "common/errors.h"
#include "script_builder.h"

using namespace qv;
using namespace qv::testing;

TEST(ComponentCommands, DefineSetAndGetState) {
    ScriptBuilder b;
    b.Add("Define Component", {"Core", "TRUE", "The $TITLE$ core"});
    b.Add("Define Component", {"Tools\\Docs", "FALSE", ""});
    b.Add("Define Component", {"core", "FALSE", "again"});  // keeps TRUE, takes the description
    b.Add("Get Component State", {"CORE", "core_on"});
    b.Add("Get Component State", {"Tools\\Docs", "DOCS_ON"});
    b.Add("Set Component State", {"tools\\docs", "-1"});
    b.Add("Get Component State", {"Tools\\Docs", "DOCS_AFTER"});
    b.Add("Set Component State", {"Missing", "TRUE"});
    b.Add("Get Component State", {"Missing", "MISSING"});
    b.Add("Get Component State", {"Core", ""});
    ActionRun run(b.Build());
    EXPECT_EQ(run.var("CORE_ON"), "TRUE");
    EXPECT_EQ(run.var("DOCS_ON"), "FALSE");
    EXPECT_EQ(run.var("DOCS_AFTER"), "TRUE");
    EXPECT_EQ(run.var("MISSING"), "FALSE");
    ASSERT_EQ(run.components.size(), 3u);  // the predefined component first
    EXPECT_EQ(run.components.name(0), kPredefinedComponent);
    EXPECT_EQ(run.components.description(1), "again");
    EXPECT_EQ(run.components.name(2), "Tools\\Docs");
    EXPECT_TRUE(run.host.errors.empty());
}

TEST(ComponentCommands, SetComponentSpace) {
    using Sizes = std::vector<std::pair<std::string, std::int64_t>>;
    struct Case {
        std::string name, size;
        Sizes sizes;
    } cases[] = {
        {"core", "4096", {{"Core", 4096}, {"Ghost", 7}}},                 // replaces the first entry
        {"Core", "-5", {{"Core", -5}, {"Ghost", 7}}},                    // negative sizes are kept
        {"Core", "12x", {{"Core", 100}, {"Ghost", 7}}},                  // not a number: ignored
        {"Core", "9223372036854775808", {{"Core", 100}, {"Ghost", 7}}},  // past 64 bits: ignored
        {"Ghost", "1", {{"Core", 100}, {"Ghost", 7}}},                   // known size, undefined component
    };
    for (const Case& k : cases) {
        SetupScript s = ScriptBuilder()
                            .Add("Define Component", {"Core", "TRUE", ""})
                            .Add("Set Component Space", {k.name, k.size})
                            .Build();
        s.componentSizes = {{"Core", 100}, {"Ghost", 7}};
        ActionRun run(s);
        Sizes got;
        for (const auto& z : run.sizes) got.emplace_back(z.name, z.bytes);
        got.resize(2);  // the predefined component's pair follows
        EXPECT_EQ(got, k.sizes) << k.name << " " << k.size;
    }
    // A defined component that the size list lost gets a new pair at the end.
    ComponentTable t;
    std::vector<ComponentSize> sizes;
    t.Define("Extra", "", true, sizes);
    sizes.clear();
    EXPECT_TRUE(SetComponentSpace(t, sizes, "EXTRA", "$10"));
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0].name, "EXTRA");
    EXPECT_EQ(sizes[0].bytes, 16);
}

TEST(ComponentCommands, SaveAndLoadFeatureSelections) {
    ScriptBuilder b;
    b.Add("Define Component", {"Core", "TRUE", ""});
    b.Add("Define Component", {"Docs", "FALSE", ""});
    b.Add("Set Variable", {"TARGETDIR", "C:\\App\\"});
    b.Add("Save Feature Selections", {"C:\\\\Keep\\\\sel.dat"});
    b.Add("Set Component State", {"Core", "FALSE"});
    b.Add("Set Component State", {"Docs", "TRUE"});
    b.Add("Set Variable", {"TARGETDIR", "C:\\Other\\"});
    b.Add("Load Feature Selections", {"C:\\Keep\\other.dat"});
    b.Add("Get Component State", {"Core", "CORE_ON"});
    b.Add("Get Component State", {"Docs", "DOCS_ON"});
    b.Add("Get Component State", {"Extra", "EXTRA_ON"});
    b.Add("Load Feature Selections", {"C:\\Keep\\missing.dat"});
    FakeHost host;
    // A file naming a component the script never defined and leaving Docs out.
    host.files["C:\\Keep\\other.dat"] = "core\r\nExtra\r\n$\r\nTRUE\r\nTRUE\r\n$\r\nD:\\Loaded\\\r\nFALSE\r\nMenu\r\n";
    ActionRun run(b.Build(), host);
    std::string saved = run.host.files.at("C:\\Keep\\sel.dat");
    EXPECT_EQ(saved, std::string(kPredefinedComponent) + "\r\nCore\r\nDocs\r\n$\r\nTRUE\r\nTRUE\r\nFALSE\r\n$\r\nC:\\App\\\r\n"
                         "TRUE\r\nTest Product\r\n");
    EXPECT_EQ(run.var("CORE_ON"), "TRUE");
    EXPECT_EQ(run.var("DOCS_ON"), "TRUE");  // not in the file: kept
    EXPECT_EQ(run.var("EXTRA_ON"), "FALSE");
    EXPECT_EQ(run.components.size(), 3u);
    EXPECT_EQ(run.var("TARGETDIR"), "D:\\Loaded\\");
    EXPECT_EQ(run.var("ALLUSERS"), "FALSE");
    EXPECT_EQ(run.var("STARTMENU"), "Menu");
    EXPECT_TRUE(run.host.errors.empty());
}

TEST(ComponentCommands, LoadWithFewerStatesThanNamesIsAListIndexError) {
    ComponentTable t;
    std::vector<ComponentSize> sizes;
    t.Define("A", "", false, sizes);
    FeatureSelection f = ParseFeatureSelection("A\r\nB\r\n$\r\nTRUE\r\n$\r\n");
    EXPECT_THROW(ApplyLoadedStates(t, f), ListIndexError);
    EXPECT_EQ(t.state(0), "TRUE");  // states before the short end are applied
}

TEST(ComponentCommands, IsMsiSetupInstalled) {
    for (bool installed : {false, true}) {
        FakeHost host;
        if (installed) host.installedPackageCode = "{PKG}";
        ActionRun run(ScriptBuilder().Add("Is MSI Setup Installed", {"$PRODUCTCODE$", "inst"}).Build(), host);
        EXPECT_EQ(run.var("INST"), installed ? "TRUE" : "FALSE");
    }
}

TEST(ComponentSpace, RequiredSpaceSubtractsTheBaseline) {
    ComponentTable t;
    std::vector<ComponentSize> sizes = {{"A", 100}, {"B", 50}};
    t.Define("A", "", true, sizes);
    t.Define("B", "", false, sizes);
    EXPECT_EQ(RequiredSpace(t, sizes, 0), 100);
    EXPECT_EQ(RequiredSpace(t, sizes, 100), 0);    // the previous selection kept
    t.SetState(0, false);
    EXPECT_EQ(RequiredSpace(t, sizes, 100), -100); // a component deselected
}

TEST(ComponentSpace, FormatSize) {
    struct Case {
        std::int64_t bytes;
        std::string text;
    } cases[] = {
        {0, "0 bytes"},
        {999, "999 bytes"},
        {1000, "1,000 bytes"},
        {1048575, "1,048,575 bytes"},
        {1048576, "1,024 KB"},
        {1073741823, "1,048,575 KB"},
        {1073741824, "1,024 MB"},
        {-2048, "-2,048 bytes"},
        {-5000000000, "-5,000,000,000 bytes"},
        {std::numeric_limits<std::int64_t>::min(), "-9,223,372,036,854,775,808 bytes"},
        {std::numeric_limits<std::int64_t>::max(), "8,796,093,022,207 MB"},
    };
    for (const Case& k : cases) EXPECT_EQ(FormatSize(k.bytes), k.text) << k.bytes;
}

TEST(ComponentSpace, ParseInt64) {
    struct Case {
        std::string text;
        std::optional<std::int64_t> value;
    } cases[] = {
        {"0", 0}, {"  42", 42}, {"-42", -42}, {"+7", 7}, {"$FF", 255}, {"0x10", 16},
        {"9223372036854775807", std::numeric_limits<std::int64_t>::max()},
        {"-9223372036854775808", std::numeric_limits<std::int64_t>::min()},
        {"9223372036854775808", std::nullopt}, {"", std::nullopt}, {"-", std::nullopt},
        {"12 ", std::nullopt}, {"1e3", std::nullopt}, {"$", std::nullopt}, {"$FFFFFFFFFFFFFFFF", -1},
    };
    for (const Case& k : cases) EXPECT_EQ(ParseInt64(k.text), k.value) << k.text;
}

TEST(ComponentSpace, TheAvailableSpaceIsMeasuredOnTargetDir) {
    VariableStore vars;
    EXPECT_EQ(SpaceTargetFolder(vars), std::nullopt);
    vars.Define("TARGETDIR", "", "test");
    EXPECT_EQ(SpaceTargetFolder(vars), std::nullopt);
    vars.Define("BASE", "D:\\", "test");
    vars.Define("TARGETDIR", "$BASE$\\App\\", "test");
    EXPECT_EQ(SpaceTargetFolder(vars), std::optional<std::string>("D:\\App\\"));
}
