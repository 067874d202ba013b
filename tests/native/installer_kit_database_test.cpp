// The kit's changes to the installer database: component conditions tied to
// deferred commands, and SQL that a project adds.
#include <cstdio>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <unistd.h>

#include "database_edits.h"
#include "kit_error.h"
#include "project.h"

using namespace qv::kit;
namespace fs = std::filesystem;

namespace {

nlohmann::json Project(const nlohmann::json& database) {
    return {{"setup", "Setup"},
            {"script", {{{"command", "Comment"}, {"params", {"x"}}}, {{"command", "Install Files"}, {"params", {"*.*", "", "$TARGETDIR$"}}}}},
            {"wix", "product.wxs"},
            {"database", database}};
}

std::string Output(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return out;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    pclose(pipe);
    return out;
}

}  // namespace

TEST(KitDatabaseEdits, ActivationsComeBeforeTheProjectsStatements) {
    KitProject p = ProjectFromJson(Project({{"activate", {{{"component", "Files"}, {"command", 1}}}},
                                            {"sql", {"DELETE FROM `Shortcut`"}}}),
                                   "/tmp");
    EXPECT_EQ(p.databaseEdits,
              (std::vector<std::string>{
                  "UPDATE `Component` SET `Condition`='AQV1=\"TRUE\" OR REMOVE~=\"ALL\"' WHERE `Component`='Files'",
                  "DELETE FROM `Shortcut`",
              }));
}

TEST(KitDatabaseEdits, MistakesAreNamed) {
    struct Case {
        nlohmann::json database;
        const char* message;
    } cases[] = {
        {{{"activate", {{{"component", "Files"}, {"command", 0}}}}}, "is not the 0-based position of a deferred command"},
        {{{"activate", {{{"component", "Files"}}}}}, "\"command\" is required"},
        {{{"activate", {{{"command", 1}}}}}, "\"component\" is required"},
        {{{"sql", {1}}}, "\"sql\" entry 1 must be a text"},
        {{{"tables", {}}}, "tables"},
    };
    for (const Case& c : cases) {
        try {
            ProjectFromJson(Project(c.database), "/tmp");
            ADD_FAILURE() << c.database.dump();
        } catch (const KitError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
    nlohmann::json withoutWix = Project({{"sql", {"DELETE FROM `Shortcut`"}}});
    withoutWix.erase("wix");
    EXPECT_THROW(ProjectFromJson(withoutWix, "/tmp"), KitError);
}

TEST(KitDatabaseEdits, TheStatementsChangeTheBuiltDatabase) {
    fs::path folder = fs::temp_directory_path() / ("qv-kit-db-" + std::to_string(getpid()));
    fs::create_directories(folder);
    std::ofstream(folder / "payload.txt") << "x";
    std::ofstream(folder / "p.wxs") << R"(<?xml version="1.0" encoding="utf-8"?>
<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi">
  <Product Id="{4B1C2D3E-5F60-4718-9A2B-3C4D5E6F7081}" Name="T" Language="1033" Version="1.0.0" Manufacturer="Q"
           UpgradeCode="{0D6E1A52-8C3B-4F27-9E14-7A2B5C9D3E61}">
    <Package InstallerVersion="200" Compressed="yes"/>
    <Media Id="1" Cabinet="t.cab" EmbedCab="yes"/>
    <Directory Id="TARGETDIR" Name="SourceDir"><Directory Id="PQV1_1" Name="App">
      <Component Id="Files" Guid="{9F3A6B27-1D4C-4E85-B0A9-2C7E5D8F1B34}">
        <File Id="F" Name="payload.txt" Source="payload.txt" KeyPath="yes"/>
      </Component></Directory></Directory>
    <Feature Id="Main" Level="1"><ComponentRef Id="Files"/></Feature>
  </Product>
</Wix>)";
    fs::path msi = folder / "t.msi";
    ASSERT_EQ(std::system(("cd " + folder.string() + " && wixl -o t.msi p.wxs").c_str()), 0);
    ApplyDatabaseEdits(msi, {"UPDATE `Component` SET `Condition`='AQV1=\"TRUE\"' WHERE `Component`='Files'",
                             "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('ScheduleReboot', 6595)"});
    EXPECT_NE(Output("msiinfo export " + msi.string() + " Component").find("AQV1=\"TRUE\""), std::string::npos);
    EXPECT_NE(Output("msiinfo export " + msi.string() + " InstallExecuteSequence").find("ScheduleReboot\t\t6595"),
              std::string::npos);
    EXPECT_THROW(ApplyDatabaseEdits(msi, {"UPDATE `NoSuchTable` SET `X`=1"}), KitError);
    fs::remove_all(folder);
}
