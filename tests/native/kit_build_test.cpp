// Assembling a finished setup from a project, and checking its package.
#include <algorithm>
#include <functional>
#include <map>
#include <sstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <stdlib.h>

#include "bootstrap/package.h"
#include "file_io.h"
#include "kit_error.h"
#include "project.h"
#include "setup_builder.h"
#include "setup_check.h"

using namespace qv;
using namespace qv::kit;
namespace fs = std::filesystem;

namespace {

// The smallest PE file the loader measures: DOS header, PE signature, file
// header, a 32-bit optional header and one section of 0x200 bytes at 0x200.
std::string MiniImage(char fill) {
    std::string b(0x400, fill);
    std::fill(b.begin(), b.begin() + 0x200, '\0');
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = char(v >> (8 * i));
    };
    b[0] = 'M';
    b[1] = 'Z';
    put32(0x3C, 0x40);
    b.replace(0x40, 4, std::string("PE\0\0", 4));
    b[0x44 + 2] = 1;     // one section
    b[0x44 + 16] = char(0xE0);  // optional header size 224
    std::size_t section = 0x44 + 20 + 0xE0;
    put32(section + 16, 0x200);  // SizeOfRawData
    put32(section + 20, 0x200);  // PointerToRawData
    return b;
}

std::string Slurp(const fs::path& file) { return ReadWholeFile(file, "a test file"); }

void Spit(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    WriteWholeFile(file, bytes);
}

// A snapshot of a folder tree: relative path -> content ("<dir>" for folders).
std::map<std::string, std::string> Tree(const fs::path& root) {
    std::map<std::string, std::string> tree;
    for (const auto& e : fs::recursive_directory_iterator(root))
        tree[fs::relative(e.path(), root).string()] = e.is_directory() ? "<dir>" : Slurp(e.path());
    return tree;
}

class KitBuild : public ::testing::Test {
protected:
    void SetUp() override {
        std::string templ = (fs::temp_directory_path() / "kit-build-XXXXXX").string();
        ASSERT_NE(mkdtemp(templ.data()), nullptr);
        root_ = templ;
        // A stub that still carries a package from an earlier build.
        Spit(root_ / "stub.exe", MiniImage('S') + "old package\r\n");
        Spit(root_ / "zor.dll", MiniImage('Z'));
        Spit(root_ / "project/support/readme.txt", "support file\r\n");
        Spit(root_ / "project/support/.hidden", "hidden\r\n");
        Spit(root_ / "project/support/sub/inner.txt", "inner\r\n");
        Spit(root_ / "project/data/payload.bin", "data\r\n");
        Spit(root_ / "project/messages.txt", "Message one\r\nMessage two\r\n");
        Spit(root_ / "project/readme.txt", "installed\r\n");
        Spit(root_ / "project/product.wxs", R"(<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="{4B1C2D3E-5F60-4718-9A2B-3C4D5E6F7081}" Name="Kit Test" Language="1033" Version="1.0.0"
           Manufacturer="Quorvex" UpgradeCode="{0D6E1A52-8C3B-4F27-9E14-7A2B5C9D3E61}">
    <Package InstallerVersion="200" Compressed="yes"/>
    <Media Id="1" Cabinet="kit.cab" EmbedCab="yes"/>
    <Directory Id="TARGETDIR" Name="SourceDir">
      <Directory Id="ProgramFilesFolder">
        <Directory Id="INSTALLDIR" Name="Kit Test">
          <Component Id="Readme" Guid="{9F3A6B27-1D4C-4E85-B0A9-2C7E5D8F1B34}">
            <File Id="ReadmeFile" Source="readme.txt" KeyPath="yes"/>
          </Component>
        </Directory>
      </Directory>
    </Directory>
    <Feature Id="Main" Level="1"><ComponentRef Id="Readme"/></Feature>
  </Product>
</Wix>
)");
        project_ = {{"setup", "Setup"},
                    {"product", {{"title", "Kit Test"}}},
                    {"script", {{{"command", "Set Variable"}, {"params", {"A", "1"}}}}},
                    {"support", "support"},
                    {"wix", "product.wxs"},
                    {"messages", "messages.txt"},
                    {"data", "data"}};
    }
    void TearDown() override { fs::remove_all(root_); }

    std::vector<std::string> Build(const nlohmann::json& project) {
        return BuildSetup(ProjectFromJson(project, root_ / "project"), out(), {root_ / "stub.exe", root_ / "zor.dll"});
    }
    fs::path out() const { return root_ / "out"; }

    fs::path root_;
    nlohmann::json project_;
};

}  // namespace

TEST_F(KitBuild, MakesEveryPartOfTheSetup) {
    auto parts = Build(project_);
    EXPECT_EQ(parts, (std::vector<std::string>{"Setup.exe", "Setup.res", "Setup.msi", "zor.dll", "data"}));

    // The stub's image without its old tail, then exactly the package.
    std::string exe = Slurp(out() / "Setup.exe");
    ASSERT_GT(exe.size(), 0x400u);
    EXPECT_EQ(exe.substr(0, 0x400), MiniImage('S'));
    SetupScript script = ParsePackage(exe.substr(0x400));
    EXPECT_EQ(script.commandNames, (std::vector<std::string>{"Set Variable"}));
    EXPECT_EQ(exe.substr(0x400), WritePackage(script));

    EXPECT_EQ(Slurp(out() / "Setup.res").substr(0, 6), std::string("7z\xBC\xAF\x27\x1C", 6));
    EXPECT_EQ(Slurp(out() / "Setup.msi").substr(0, 4), "\xD0\xCF\x11\xE0");  // a compound file
    EXPECT_EQ(Slurp(out() / "zor.dll"), MiniImage('Z') + "Message one\r\nMessage two\r\n");
    EXPECT_EQ(Slurp(out() / "data/payload.bin"), "data\r\n");
    EXPECT_TRUE(fs::status(out() / "Setup.exe").permissions() == (fs::status(out() / "Setup.exe").permissions() |
                                                                  fs::perms::owner_exec));
    // Nothing but the parts: the staging folder is gone.
    EXPECT_EQ(std::distance(fs::directory_iterator(out()), fs::directory_iterator()), 5);
}

TEST_F(KitBuild, StoredResourcesHoldEverySupportFile) {
    // With the copy method the archive holds the files' bytes as they are,
    // so their presence shows that hidden files and sub-folders were packed.
    project_["resourceMethod"] = "copy";
    Build(project_);
    std::string res = Slurp(out() / "Setup.res");
    for (const char* text : {"support file\r\n", "hidden\r\n", "inner\r\n"})
        EXPECT_NE(res.find(text), std::string::npos) << text;
}

TEST_F(KitBuild, OptionalPartsAreLeftOut) {
    nlohmann::json bare = {{"setup", "Setup"}};
    EXPECT_EQ(Build(bare), (std::vector<std::string>{"Setup.exe", "zor.dll"}));
    EXPECT_FALSE(fs::exists(out() / "Setup.res"));
    EXPECT_FALSE(fs::exists(out() / "Setup.msi"));
    EXPECT_EQ(Slurp(out() / "zor.dll"), MiniImage('Z'));
}

TEST_F(KitBuild, RebuildReplacesTheDataFolder) {
    Build(project_);
    Spit(out() / "data/stale.txt", "stale");
    Build(project_);
    EXPECT_FALSE(fs::exists(out() / "data/stale.txt"));
    EXPECT_TRUE(fs::exists(out() / "data/payload.bin"));
}

TEST_F(KitBuild, FailedBuildLeavesTheOutputFolderAsItWas) {
    Build(project_);
    auto before = Tree(out());
    struct Case {
        const char* what;
        std::function<void(nlohmann::json&)> spoil;
        std::string message;
    } cases[] = {
        {"broken WiX source", [&](nlohmann::json& p) { Spit(root_ / "project/broken.wxs", "<Wix>"); p["wix"] = "broken.wxs"; },
         "wixl failed"},
        {"missing WiX source", [](nlohmann::json& p) { p["wix"] = "none.wxs"; }, "the WiX source does not exist"},
        {"missing support folder", [](nlohmann::json& p) { p["support"] = "none"; }, "the support folder is not a folder"},
        {"missing message file", [](nlohmann::json& p) { p["messages"] = "none.txt"; }, "cannot read the message file"},
        {"line break in a product field", [](nlohmann::json& p) { p["product"]["comments"] = "a\nb"; },
         "cannot carry a line break inside the comments"},
        {"output inside the data folder", [&](nlohmann::json& p) { p["data"] = "../out"; }, "lies inside the data folder"},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.what);
        nlohmann::json project = project_;
        c.spoil(project);
        try {
            Build(project);
            ADD_FAILURE() << "built";
        } catch (const KitError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
        EXPECT_EQ(Tree(out()), before);
    }
}

TEST_F(KitBuild, RejectsStubsThatAreNotImages) {
    Spit(root_ / "stub.exe", "not an image");
    EXPECT_THROW(Build(project_), KitError);
    Spit(root_ / "stub.exe", MiniImage('S').substr(0, 0x300));  // image cut short
    EXPECT_THROW(Build(project_), KitError);
    EXPECT_FALSE(fs::exists(out()));
}

TEST_F(KitBuild, FailedFirstBuildRemovesTheOutputFolderItMade) {
    Spit(root_ / "project/broken.wxs", "<Wix>");
    project_["wix"] = "broken.wxs";
    EXPECT_THROW(Build(project_), KitError);
    EXPECT_FALSE(fs::exists(out()));
}

TEST_F(KitBuild, CheckReportsTheValidationPass) {
    project_["script"] = {{{"command", "Label"}, {"params", {"A"}}},
                          {{"command", "GoTo Label"}, {"params", {"B"}}}};
    Build(project_);
    std::ostringstream text;
    EXPECT_EQ(CheckSetup(out() / "Setup.exe", text), 1);
    EXPECT_EQ(text.str(), "validation failed at command 2 (GoTo Label): LABEL undefined: B\n");

    project_["script"][1]["params"] = {"a"};  // labels ignore letter case
    Build(project_);
    text.str("");
    EXPECT_EQ(CheckSetup(out() / "Setup.exe", text), 0);
    EXPECT_EQ(text.str(), "ok\n");

    // A bare package file is checked as it is.
    Spit(root_ / "bare.pkg", Slurp(out() / "Setup.exe").substr(0x400));
    text.str("");
    EXPECT_EQ(CheckSetup(root_ / "bare.pkg", text), 0);
}

TEST_F(KitBuild, CheckRefusesFilesWithoutAReadablePackage) {
    Spit(root_ / "image.exe", MiniImage('S'));
    Spit(root_ / "numberless.pkg", "$\r\n$\r\n$\r\n$\r\n{P}\r\nT\r\n$\r\n\r\n\r\n\r\n\r\n\r\n$\r\none\r\n");
    std::ostringstream text;
    for (const char* name : {"image.exe", "numberless.pkg", "missing.exe"}) {
        SCOPED_TRACE(name);
        EXPECT_THROW(CheckSetup(root_ / name, text), KitError);
    }
    EXPECT_EQ(text.str(), "");
}

TEST_F(KitBuild, CheckFindsShortParallelSections) {
    // Two command names but one identifier: the stub would fail on command 2.
    Spit(root_ / "short.pkg", "A\r\nB\r\n$\r\n{1}\r\n$\r\n$\r\n\r\n\r\n$\r\n{P}\r\nT\r\n$\r\n\r\n\r\n\r\n\r\n\r\n"
                              "\r\n\r\n$\r\n1\r\n$\r\n{R}\r\n$\r\nFALSE\r\nEnglish\r\n$\r\n");
    std::ostringstream text;
    EXPECT_EQ(CheckSetup(root_ / "short.pkg", text), 1);
    EXPECT_EQ(text.str(), "damaged package: the package lists 2 commands but section 2 has 1 entries\n");
}
