#include "media/archive_commands.h"

#include <windows.h>

#include "actions/shell_run.h"
#include "common/errors.h"
#include "common/text.h"
#include "bootstrap/wrap_package.h"
#include "media/archive_files.h"
#include "platform/files.h"
#include "platform/long_operation.h"
#include "wizard/message_table.h"

namespace qv::win {

namespace {

// What the extraction worker and the main thread share. The status text and
// percentage are written under the progress lock.
struct ArchiveProgressSlot {
    std::string status;
    int percentage = 0;
    std::atomic<bool> cancel{false};
    bool success = false;
    std::string error;
};

void ExtractArchiveCommand(RunContext& cx, const ScriptCommand& c) {
    std::string archive = cx.ParamPath(c, 1);
    std::string target = WithTrailingBackslash(cx.ParamPath(c, 2));
    std::string password = cx.ParamText(c, 4);
    bool answer = cx.ParamBool(c, 5), mode = cx.ParamBool(c, 6);
    ArchiveProgressSlot slot;

    auto progress = [&](const std::string& entry, std::uint64_t done, std::uint64_t total) {
        {
            std::lock_guard<std::mutex> guard(cx.progress.lock());
            slot.status = ExtractionStatus(entry, done, total, slot.percentage);
        }
        return !slot.cancel.load();
    };
    auto work = [&] {
        ForceDirectories(target);
        ArchiveResult result = ExtractArchiveFiles(archive, password, target, answer, mode, progress);
        slot.success = result.ok;
        slot.error = result.error;
    };
    auto eachTurn = [&] {
        std::string status;
        int percentage;
        {
            std::lock_guard<std::mutex> guard(cx.progress.lock());
            status = slot.status;
            percentage = slot.percentage;
        }
        cx.progress.Set(cx.vars.Get("PROGRESSTEXT") + "\r" + status, 0, 100, percentage);
        slot.cancel = cx.cancelRequested.load();
    };
    RunLongOperation(cx, work, eachTurn);
    std::string result = cx.Param(c, 3);
    if (!result.empty()) cx.SetResult(result, slot.success ? "SUCCESS" : slot.error, c);
}

void RunLightModeSetup(RunContext& cx, const ScriptCommand& c) {
    std::string package = cx.ParamPath(c, 1);
    std::string result = cx.Param(c, 2);
    if (!WrapPackage(package)) {
        if (!result.empty()) cx.SetResult(result, "-1", c);
        return;
    }
    // The wrapped package finds the archive library beside it. When it lies in
    // the setup's own folder, that library is already there and stays.
    std::string library = FolderOfPath(package) + "zor.dll";
    std::string ownLibrary = cx.startup.setupFolder + "zor.dll";
    bool copied = !EqualsIgnoreCaseAscii(Upper8Bit(library), Upper8Bit(ownLibrary)) &&
                  ::CopyFileA(ownLibrary.c_str(), library.c_str(), FALSE);

    std::string arguments = cx.ParamPath(c, 3);
    bool wait = cx.ParamBool(c, 4);
    unsigned long exitCode = 0;
    std::string runError;
    auto work = [&] {
        try {
            exitCode = ShellRun(package, arguments, true, wait);
        } catch (const std::exception& e) {
            runError = e.what();
        }
    };
    auto eachTurn = [&] {
        cx.progress.Set(cx.vars.Get("PROGRESSTEXT"), 0, 100, ParseInt32(cx.vars.Get("PROGRESS")).value_or(0));
    };
    RunLongOperation(cx, work, eachTurn);

    if (copied) ::DeleteFileA(library.c_str());
    ::DeleteFileA(package.c_str());
    ::MoveFileA((package + ".nox").c_str(), package.c_str());
    if (!runError.empty()) throw ScriptError(runError);
    if (!result.empty()) cx.SetResult(result, std::to_string(exitCode), c);
}

}  // namespace

std::string ExtractionStatus(const std::string& entry, std::uint64_t done, std::uint64_t total, int& percentage) {
    // A total of 0 (an archive of empty files) counts as complete.
    percentage = total == 0 ? 100 : int(done * 100 / total + 1);
    std::size_t slash = entry.find_last_of("\\/");
    std::string name = slash == std::string::npos ? entry : entry.substr(slash + 1);
    return name + ", " + std::to_string(percentage) + MessageText(Msg::PercentComplete);
}

void RegisterArchiveCommands(CommandTable& table) {
    table.Add("Extract 7Zip Archive", ExtractArchiveCommand);
    table.Add("Run Light Mode Setup", RunLightModeSetup);
}

}  // namespace qv::win
