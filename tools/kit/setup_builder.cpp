#include "setup_builder.h"

#include <algorithm>

#include <unistd.h>

#include "bootstrap/package.h"
#include "file_io.h"
#include "database_edits.h"
#include "kit_error.h"
#include "run_tool.h"

namespace qv::kit {

namespace fs = std::filesystem;

namespace {

// Removes the staging folder (and with it any half-made part) unless the
// build got as far as moving everything into place.
class StagingFolder {
public:
    StagingFolder(const fs::path& outDir, const std::string& setupName)
        : path_(outDir / (".quorvex-kit-" + setupName + "-" + std::to_string(getpid()))) {
        std::error_code ec;
        fs::remove_all(path_, ec);
        if (!fs::create_directory(path_, ec)) throw KitError(path_.string() + ": cannot create: " + ec.message());
    }
    ~StagingFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    StagingFolder(const StagingFolder&) = delete;
    StagingFolder& operator=(const StagingFolder&) = delete;
    const fs::path& path() const { return path_; }

private:
    fs::path path_;
};

bool Inside(const fs::path& folder, const fs::path& candidate) {
    std::error_code ec1, ec2;
    fs::path f = fs::weakly_canonical(folder, ec1), c = fs::weakly_canonical(candidate, ec2);
    if (ec1 || ec2) return false;
    auto mismatch = std::mismatch(f.begin(), f.end(), c.begin(), c.end());
    return mismatch.first == f.end();
}

void NeedFolder(const fs::path& folder, const char* what, const fs::path& outDir) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) throw KitError(folder.string() + ": the " + what + " is not a folder");
    if (Inside(folder, outDir))
        throw KitError(outDir.string() + ": the output folder lies inside the " + what + " " + folder.string());
}

void NeedFile(const fs::path& file, const char* what) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) throw KitError(file.string() + ": the " + what + " does not exist");
}

std::vector<std::string> ArchiverArguments(ResourceMethod method, const fs::path& archive) {
    std::vector<std::string> argv = {"7zz", "a", "-t7z", "-bso0", "-bsp0", "-y"};
    switch (method) {
    case ResourceMethod::Default: break;
    case ResourceMethod::Copy: argv.push_back("-m0=Copy"); break;
    case ResourceMethod::Lzma: argv.push_back("-m0=LZMA"); break;
    case ResourceMethod::Lzma2: argv.push_back("-m0=LZMA2"); break;
    }
    argv.push_back(archive.string());
    // "." (not "*") so that names beginning with a dot are packed too.
    argv.push_back(".");
    return argv;
}

std::string PackageText(const SetupScript& script) {
    try {
        return WritePackage(script);
    } catch (const PackageError& e) {
        throw KitError(e.what());
    }
}

// The first GUID in braces after `label` in a tool's output.
std::string GuidAfter(const std::string& output, const std::string& label, const fs::path& msi) {
    std::size_t at = output.find(label);
    std::size_t open = at == std::string::npos ? at : output.find('{', at);
    if (open == std::string::npos || open + 38 > output.size())
        throw KitError(msi.string() + ": the database does not tell its " + label);
    std::string guid = output.substr(open, 38);
    for (char& c : guid) c = char(std::toupper((unsigned char)c));
    return guid;
}

// The database's package code: its summary information's revision number.
std::string DatabasePackageCode(const fs::path& msi) {
    return GuidAfter(RunTool({"msiinfo", "suminfo", msi.string()}, msi.parent_path()), "Revision number", msi);
}

std::string DatabaseProductCode(const fs::path& msi) {
    std::string table = RunTool({"msiinfo", "export", msi.string(), "Property"}, msi.parent_path());
    return GuidAfter(table, "\nProductCode\t", msi);
}

// Moves a staged part over the one in the output folder. A file rename
// replaces in one step; a folder is first moved aside into the staging
// folder, which is removed afterwards.
void Commit(const fs::path& staged, const fs::path& target, const fs::path& staging) {
    std::error_code ec;
    if (fs::is_directory(staged, ec) && fs::exists(fs::symlink_status(target, ec))) {
        fs::rename(target, staging / ("old." + target.filename().string()), ec);
        if (ec) throw KitError(target.string() + ": cannot replace: " + ec.message());
    }
    fs::rename(staged, target, ec);
    if (ec) throw KitError(target.string() + ": cannot write: " + ec.message());
}

// Files the kit makes for the resource archive (translation tables, dialog
// files and their rules), written into their own folder and packed beside
// the support folder's files, which must not hold files of the same name.
fs::path StageGeneratedFiles(const KitProject& project, const fs::path& folder) {
    std::error_code ec;
    fs::create_directory(folder, ec);
    if (ec) throw KitError(folder.string() + ": cannot create: " + ec.message());
    auto files = DialogFiles(project.dialogs);
    if (!project.translations.empty())
        for (auto& file : TranslationFiles(project.translations)) files.push_back(std::move(file));
    for (const auto& [file, bytes] : files) {
        if (!project.supportFolder.empty() && fs::exists(project.supportFolder / file, ec))
            throw KitError((project.supportFolder / file).string() +
                           ": the support folder holds a file that the project's translations or dialogs make");
        WriteWholeFile(folder / file, bytes);
    }
    return folder;
}

}  // namespace

std::vector<std::string> BuildSetup(const KitProject& project, const fs::path& outDir, const BuildTools& tools) {
    const std::string& name = project.setupName;
    std::string stub = ImageBytes(tools.stub, "the stub");
    std::string archiveLib = ImageBytes(tools.archiveLib, "the archive library");
    if (!project.supportFolder.empty()) NeedFolder(project.supportFolder, "support folder", outDir);
    if (!project.dataFolder.empty()) NeedFolder(project.dataFolder, "data folder", outDir);
    if (!project.wixSource.empty()) NeedFile(project.wixSource, "WiX source");
    std::string messages;
    if (!project.messageFile.empty()) messages = ReadWholeFile(project.messageFile, "the message file");

    std::error_code ec;
    bool createdOut = !fs::exists(outDir, ec);
    fs::create_directories(outDir, ec);
    if (ec || !fs::is_directory(outDir)) throw KitError(outDir.string() + ": cannot create the output folder");

    std::vector<std::string> parts;
    try {
        StagingFolder staging(outDir, name);
        const fs::path& stage = staging.path();
        fs::path absStage = fs::absolute(stage);

        // The database comes first: the package may take its codes from it.
        SetupScript script = project.script;
        const std::string database = name + ".msi";
        if (!project.wixSource.empty()) {
            fs::path msi = absStage / database;
            fs::path wxs = fs::absolute(project.wixSource);
            RunTool({"wixl", "-o", msi.string(), wxs.string()}, wxs.parent_path());
            ApplyDatabaseEdits(msi, project.databaseEdits);
            if (project.productCodeFromDatabase) script.productCode = DatabaseProductCode(msi);
            if (project.revisionCodeFromDatabase) script.revisionCode = DatabasePackageCode(msi);
        }
        parts.push_back(name + ".exe");
        WriteWholeFile(stage / parts.back(), stub + PackageText(script));
        fs::permissions(stage / parts.back(), fs::perms::owner_exec | fs::perms::group_exec | fs::perms::others_exec,
                        fs::perm_options::add, ec);
        const bool generated = !project.translations.empty() || !project.dialogs.empty();
        if (!project.supportFolder.empty() || generated) {
            parts.push_back(name + ".res");
            fs::path archive = absStage / parts.back();
            if (!project.supportFolder.empty())
                RunTool(ArchiverArguments(project.resourceMethod, archive), project.supportFolder);
            if (generated)
                RunTool(ArchiverArguments(project.resourceMethod, archive),
                        StageGeneratedFiles(project, absStage / "generated"));
        }
        if (!project.wixSource.empty()) parts.push_back(database);
        parts.push_back("zor.dll");
        WriteWholeFile(stage / parts.back(), archiveLib + messages);

        if (!project.dataFolder.empty()) {
            parts.push_back("data");
            fs::copy(project.dataFolder, stage / "data", fs::copy_options::recursive, ec);
            if (ec) throw KitError(project.dataFolder.string() + ": cannot copy the data folder: " + ec.message());
        }

        // The setup executable goes last: it is the part a user starts.
        for (auto part = parts.rbegin(); part != parts.rend(); ++part) Commit(stage / *part, outDir / *part, stage);
    } catch (...) {
        if (createdOut) fs::remove(outDir, ec);
        throw;
    }
    return parts;
}

}  // namespace qv::kit
