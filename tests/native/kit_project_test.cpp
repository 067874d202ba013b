// The authoring kit's mapping from a project description to a setup script.
#include "project.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "guid.h"
#include "kit_error.h"

using namespace qv;
using namespace qv::kit;
using nlohmann::json;

namespace {

KitProject Map(const std::string& text) { return ProjectFromJson(json::parse(text), "/projects/demo"); }

// A project with one command and the given script entry.
std::string OneCommand(const std::string& command) {
    return R"({"setup": "Setup", "script": [)" + command + "]}";
}

// The parameter lines of the command at a position (empty when it has no
// block in section 3).
std::vector<std::string> ParamsOf(const SetupScript& s, std::size_t position) {
    std::vector<std::string> lines;
    const std::string& id = s.commandIds.at(position);
    for (std::size_t i = 0; i < s.parameters.size(); ++i) {
        if (s.parameters[i] != id) continue;
        for (std::size_t j = i + 1; j < s.parameters.size(); ++j) {
            bool nextBlock = false;
            for (const auto& other : s.commandIds) nextBlock = nextBlock || s.parameters[j] == other;
            if (nextBlock) break;
            lines.push_back(s.parameters[j]);
        }
    }
    return lines;
}

}  // namespace

TEST(KitProject, HeaderKeysOnlyForDeferredKinds) {
    KitProject p = Map(R"({"setup": "Setup", "script": [
        {"command": "Comment"},
        {"command": "Install Files", "params": ["", "", "$TARGETDIR$"]},
        {"command": "Set Variable", "params": ["A", "1"]},
        {"command": "Write Registry", "disabled": true},
        {"command": "Read Registry"},
        {"command": "Copy/Move Local Files"},
        {"command": "install files"}
    ]})");
    const auto& h = p.script.commandHeaders;
    ASSERT_EQ(h.size(), 3u);
    EXPECT_EQ(h[0].key, "QV1");
    EXPECT_EQ(h[0].position, "1");
    EXPECT_EQ(h[1].key, "QV3");  // disabled commands keep their key
    EXPECT_EQ(h[1].position, "3");
    EXPECT_EQ(h[2].key, "QV5");
    EXPECT_EQ(h[2].position, "5");
    EXPECT_EQ(p.script.headerKey(6), "");  // names compare case-sensitively
}

TEST(KitProject, ParallelSectionsPerCommand) {
    KitProject p = Map(R"({"setup": "Setup", "script": [
        {"command": "Comment", "disabled": true},
        {"command": "Install Files", "media": "OFFLINE\\"},
        {"command": "Label", "disabled": false, "media": ""}
    ]})");
    const SetupScript& s = p.script;
    EXPECT_EQ(s.commandNames, (std::vector<std::string>{"Comment", "Install Files", "Label"}));
    EXPECT_EQ(s.disabledFlags, (std::vector<std::string>{"C", "", ""}));
    EXPECT_EQ(s.mediaBlocks, (std::vector<std::string>{"", "OFFLINE\\", ""}));
    EXPECT_EQ(s.commandIds.size(), 3u);
    EXPECT_TRUE(s.parameters.empty());  // no command has parameters: no blocks at all
}

TEST(KitProject, ParameterTexts) {
    struct Case {
        const char* json;  // one parameter as a JSON string literal
        std::string line;  // the package line it becomes
    } cases[] = {
        {R"("plain")", "plain"},
        {R"("")", ""},
        {R"("two\nlines")", "two$NEWLINE$lines"},
        {R"("two\r\nlines")", "two$NEWLINE$lines"},
        {R"("old\rmac")", "old$NEWLINE$mac"},
        {R"("\n\n")", "$NEWLINE$$NEWLINE$"},
        {R"("\r\n")", "$NEWLINE$"},
        {R"("$TARGETDIR$\\bin")", "$TARGETDIR$\\bin"},
        {R"("$$")", "$$"},
        {R"(" $")", " $"},
        {R"("Quorvex\u2122 caf\u00e9")", "Quorvex\x99 caf\xE9"},
        {R"("\u20ac")", "\x80"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        KitProject p = Map(OneCommand(std::string(R"({"command": "Set Variable", "params": ["A", )") + c.json + "]}"));
        EXPECT_EQ(ParamsOf(p.script, 0), (std::vector<std::string>{"A", c.line}));
    }
}

TEST(KitProject, ProductFields) {
    KitProject p = Map(R"({"setup": "My.Setup",
        "product": {"title": "Demo", "publisher": "Pub", "contact": "Me", "helpLink": "http://h",
                    "updateLink": "http://u", "comments": "(c) us", "mediaMode": 2, "languageDialog": true,
                    "defaultLanguage": "German", "plugins": [".NET Framework"],
                    "code": "{0d6e1a52-8c3b-4f27-9e14-7a2b5c9d3e61}",
                    "revisionCode": "{11111111-2222-3333-4444-555555555555}",
                    "componentSizes": [{"name": "Core", "bytes": 8589934592}],
                    "mediaFiles": [{"block": "OFFLINE", "source": "C_\\src\\a.txt", "folder": "bin\\"}]},
        "support": "support", "wix": "../wix/product.wxs", "resourceMethod": "copy"})");
    const SetupScript& s = p.script;
    EXPECT_EQ(p.setupName, "My.Setup");
    EXPECT_EQ(s.title, "Demo");
    EXPECT_EQ(s.publisher, "Pub");
    EXPECT_EQ(s.contact, "Me");
    EXPECT_EQ(s.helpLink, "http://h");
    EXPECT_EQ(s.updateLink, "http://u");
    EXPECT_EQ(s.comments, "(c) us");
    EXPECT_EQ(s.mediaMode, 2);
    EXPECT_TRUE(s.languageDialog);
    EXPECT_EQ(s.defaultLanguage, "German");
    EXPECT_EQ(s.pluginNames, (std::vector<std::string>{".NET Framework"}));
    EXPECT_EQ(s.productCode, "{0D6E1A52-8C3B-4F27-9E14-7A2B5C9D3E61}");  // upper-cased for the installer
    EXPECT_EQ(s.revisionCode, "{11111111-2222-3333-4444-555555555555}");
    ASSERT_EQ(s.componentSizes.size(), 1u);
    EXPECT_EQ(s.componentSizes[0].bytes, 8589934592LL);
    ASSERT_EQ(s.mediaFiles.size(), 1u);
    EXPECT_EQ(s.mediaFiles[0].sourcePath, "C_\\src\\a.txt");
    EXPECT_EQ(s.mediaFiles[0].targetFolder, "bin\\");
    EXPECT_EQ(p.supportFolder, "/projects/demo/support");
    EXPECT_EQ(p.wixSource, "/projects/wix/product.wxs");
    EXPECT_TRUE(p.messageFile.empty());
    EXPECT_EQ(p.resourceMethod, ResourceMethod::Copy);
}

TEST(KitProject, Defaults) {
    KitProject p = Map(R"({"setup": "Setup"})");
    EXPECT_EQ(p.script.commandCount(), 0u);
    EXPECT_EQ(p.script.mediaMode, 1);
    EXPECT_FALSE(p.script.languageDialog);
    EXPECT_EQ(p.script.defaultLanguage, "English");
    EXPECT_TRUE(IsGuidText(p.script.productCode));
    EXPECT_TRUE(IsGuidText(p.script.revisionCode));
    EXPECT_TRUE(p.supportFolder.empty());
    EXPECT_EQ(p.resourceMethod, ResourceMethod::Default);
}

TEST(KitProject, GeneratedIdentifiersAreReproducible) {
    const std::string text = R"({"setup": "Setup", "product": {"title": "T"}, "script": [
        {"command": "Comment", "params": ["x"]}, {"command": "Label", "params": ["A"]}, {"command": "Label"}]})";
    SetupScript a = Map(text).script, b = Map(text).script;
    EXPECT_EQ(a.commandIds, b.commandIds);
    EXPECT_EQ(a.productCode, b.productCode);
    EXPECT_EQ(a.revisionCode, b.revisionCode);
    for (const auto& id : a.commandIds) {
        EXPECT_TRUE(IsGuidText(id)) << id;
        EXPECT_EQ(id.find_first_of("abcdef"), std::string::npos) << id;
    }
    EXPECT_NE(a.commandIds[0], a.commandIds[1]);
    EXPECT_NE(a.commandIds[1], a.commandIds[2]);
    EXPECT_NE(a.productCode, a.revisionCode);

    // Another setup name gives other identifiers; another parameter keeps the
    // command identifiers and the product code but not the revision code.
    SetupScript renamed = Map(R"({"setup": "Other", "product": {"title": "T"}, "script": [{"command": "Comment"}]})").script;
    EXPECT_NE(renamed.commandIds[0], a.commandIds[0]);
    EXPECT_NE(renamed.productCode, a.productCode);
    std::string edited = text;
    edited.replace(edited.find("[\"x\"]"), 5, "[\"y\"]");
    SetupScript c = Map(edited).script;
    EXPECT_EQ(c.commandIds, a.commandIds);
    EXPECT_EQ(c.productCode, a.productCode);
    EXPECT_NE(c.revisionCode, a.revisionCode);
}

TEST(KitProject, ExplicitCommandIdentifier) {
    KitProject p = Map(OneCommand(R"({"command": "Comment", "id": "{abcdef01-2345-6789-abcd-ef0123456789}", "params": ["c"]})"));
    EXPECT_EQ(p.script.commandIds[0], "{ABCDEF01-2345-6789-ABCD-EF0123456789}");
    EXPECT_EQ(p.script.parameters, (std::vector<std::string>{"{ABCDEF01-2345-6789-ABCD-EF0123456789}", "c"}));
}

TEST(KitProject, RejectsWhatTheSetupCannotCarry) {
    struct Case {
        std::string json;
        std::string message;  // a part of the error text
    } cases[] = {
        {OneCommand(R"({"command": "Set Variable", "params": ["A", "$"]})"),
         "command 1 (Set Variable): parameter 2 is a lone \"$\""},
        {OneCommand(R"({"command": "Comment", "params": [1]})"), "command 1 (Comment): parameter 1 must be a text"},
        {OneCommand(R"({"command": "Comment", "parms": []})"), "command 1 (Comment): unknown key \"parms\""},
        {OneCommand(R"({"params": []})"), "command 1: \"command\" (the command's name) is required"},
        {OneCommand(R"({"command": "Comment", "disabled": "yes"})"), "\"disabled\" must be true or false"},
        {OneCommand(R"("Comment")"), "command 1 must be a JSON object"},
        {OneCommand(R"({"command": "Comment", "params": ["\u4e2d"]})"),
         "parameter 1: the character U+4E2D has no byte in the setup's code page"},
        {R"({"setup": "Setup", "script": [{"command": "A", "id": "{11111111-2222-3333-4444-555555555555}"},
             {"command": "B", "id": "{11111111-2222-3333-4444-555555555555}"}]})",
         "command 2 (B): the identifier {11111111-2222-3333-4444-555555555555} is used twice"},
        {OneCommand(R"({"command": "A", "id": "1234"})"), "\"id\" must be a GUID in braces"},
        {R"({"script": []})", "\"setup\" (the setup's name) is required"},
        {R"({"setup": "sub/Setup"})", "\"setup\" must be a plain file name"},
        {R"({"setup": "Setup", "scripts": []})", "project: unknown key \"scripts\""},
        {R"({"setup": "Setup", "product": {"mediaMode": 4}})", "\"mediaMode\" must be 1, 2 or 3"},
        {R"({"setup": "Setup", "product": {"mediaMode": "1"}})", "\"mediaMode\" must be a whole number"},
        {R"({"setup": "Setup", "product": {"code": "12345"}})", "\"code\" must be \"auto\" or a GUID in braces"},
        {R"({"setup": "Setup", "product": {"componentSizes": [{"name": "A", "bytes": -1}]}})",
         "component size 1: \"bytes\" must not be negative"},
        {R"({"setup": "Setup", "resourceMethod": "zip"})", "\"resourceMethod\" must be \"copy\", \"lzma\" or \"lzma2\""},
        {R"(["Setup"])", "project must be a JSON object"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        try {
            Map(c.json);
            ADD_FAILURE() << "accepted";
        } catch (const KitError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}
