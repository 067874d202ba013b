// A project mapped by the kit, written as a package and read back as the
// stub reads it.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "bootstrap/package.h"
#include "project.h"

using namespace qv;
using namespace qv::kit;

TEST(KitPackage, RoundTripThroughThePackageText) {
    KitProject p = ProjectFromJson(nlohmann::json::parse(R"({
        "setup": "Setup",
        "product": {"title": "Quorvex Demo", "publisher": "Quorvex", "contact": "Support", "helpLink": "http://h",
                    "updateLink": "http://u", "comments": "Free", "mediaMode": 3, "languageDialog": true,
                    "defaultLanguage": "French", "plugins": ["Zip", ""],
                    "componentSizes": [{"name": "Core", "bytes": 1024}, {"name": "Docs", "bytes": 0}],
                    "mediaFiles": [{"block": "OFFLINE", "source": "C_\\a.txt", "folder": "sub\\"}]},
        "script": [
            {"command": "Comment", "params": ["Demo"]},
            {"command": "Set Variable", "params": ["GREETING", "Hello\nWorld", ""]},
            {"command": "Install Files", "params": ["*.*", "", "$TARGETDIR$"], "media": "OFFLINE\\"},
            {"command": "Label", "params": ["END"], "disabled": true},
            {"command": "Apply Changes"}
        ]})"),
                                   "/p");
    const SetupScript& in = p.script;
    SetupScript out = ParsePackage(WritePackage(in));

    EXPECT_EQ(out.commandNames, in.commandNames);
    EXPECT_EQ(out.commandIds, in.commandIds);
    EXPECT_EQ(out.parameters, in.parameters);
    EXPECT_EQ(out.disabledFlags, in.disabledFlags);
    EXPECT_EQ(out.mediaBlocks, in.mediaBlocks);
    EXPECT_EQ(out.productCode, in.productCode);
    EXPECT_EQ(out.title, "Quorvex Demo");
    EXPECT_EQ(out.pluginNames, (std::vector<std::string>{"Zip", ""}));
    EXPECT_EQ(out.publisher, "Quorvex");
    EXPECT_EQ(out.contact, "Support");
    EXPECT_EQ(out.helpLink, "http://h");
    EXPECT_EQ(out.updateLink, "http://u");
    EXPECT_EQ(out.comments, "Free");
    EXPECT_EQ(out.mediaMode, 3);
    ASSERT_EQ(out.componentSizes.size(), 2u);
    EXPECT_EQ(out.componentSizes[1].name, "Docs");
    EXPECT_EQ(out.componentSizes[0].bytes, 1024);
    EXPECT_EQ(out.revisionCode, in.revisionCode);
    ASSERT_EQ(out.mediaFiles.size(), 1u);
    EXPECT_EQ(out.mediaFiles[0].block, "OFFLINE");
    EXPECT_TRUE(out.languageDialog);
    EXPECT_EQ(out.defaultLanguage, "French");
    ASSERT_EQ(out.commandHeaders.size(), 1u);
    EXPECT_EQ(out.commandHeaders[0].key, "QV2");
    EXPECT_EQ(out.headerKey(2), "QV2");

    // The engine reads parameters by identifier, as the kit laid them out.
    ScriptCommand set = out.command(1);
    EXPECT_EQ(GetParameter(out.parameters, set.identifier, 1), "GREETING");
    EXPECT_EQ(GetParameter(out.parameters, set.identifier, 2), "Hello$NEWLINE$World");
    EXPECT_EQ(GetParameter(out.parameters, set.identifier, 3), "");
    EXPECT_EQ(out.command(2).mediaBlock, "OFFLINE\\");
    EXPECT_EQ(GetParameter(out.parameters, out.command(2).identifier, 3), "$TARGETDIR$");
    EXPECT_TRUE(out.command(3).disabled);
    EXPECT_EQ(GetParameter(out.parameters, out.command(4).identifier, 1), "");  // no block: empty
}
