#include "installer/installer_run.h"

#include <windows.h>

#include <atomic>

#include "common/text.h"
#include "installer/derived_folders.h"
#include "installer/handover_file.h"
#include "installer/installer_calls.h"
#include "installer/installer_database.h"
#include "installer/installer_log.h"
#include "installer/message_handler.h"
#include "installer/product_queries.h"
#include "installer/property_command_line.h"
#include "platform/files.h"
#include "platform/long_operation.h"
#include "platform/working_folder.h"
#include "wizard/message_table.h"

namespace qv::win {

namespace {

// Shared by the main thread and the worker: cancelled is written by the
// main thread only; the rest by the worker, read after it is done.
struct InstallerRunState {
    std::atomic<bool> cancelled{false};
    std::uintptr_t owner = 0;
    InstallerRunResult result;
};

// The hand-over file exists only while the installer may read it.
class HandoverFile {
public:
    HandoverFile(std::string path, const std::string& text) : path_(std::move(path)) { WriteWholeFile(path_, text); }
    ~HandoverFile() { ::DeleteFileA(path_.c_str()); }
    HandoverFile(const HandoverFile&) = delete;
    HandoverFile& operator=(const HandoverFile&) = delete;

private:
    std::string path_;
};

class TMSIThread {
public:
    TMSIThread(RunContext& cx, const InstallerRunRequest& request, InstallerRunState& state, NewInstanceCodes codes)
        : cx_(cx), request_(request), state_(state), codes_(std::move(codes)) {}

    void Execute();

private:
    DerivedFolders Folders();
    void WriteLogHeader(const DerivedFolders& folders);
    bool ReportProgress(const ProgressReport& report);

    RunContext& cx_;
    const InstallerRunRequest& request_;
    InstallerRunState& state_;
    NewInstanceCodes codes_;
};

DerivedFolders TMSIThread::Folders() {
    if (!request_.patch) ForceDirectories(request_.dataFolder);
    FolderQueries queries;
    queries.folderExists = [](const std::string& folder) { return DirectoryExists(folder); };
    queries.shortForm = [this](const std::string& path) -> std::optional<std::string> {
        std::string shortPath = cx_.host.ShortPath(path);
        if (shortPath.empty()) return std::nullopt;
        return shortPath;
    };
    return DeriveFolders(request_, queries);
}

void TMSIThread::WriteLogHeader(const DerivedFolders& folders) {
    const std::string& logPath = cx_.logPath;
    std::string folder = FolderOfPath(logPath);
    if (!folder.empty()) ForceDirectories(folder);
    std::string timestamp = cx_.host.ShortDateText() + " " + cx_.host.LongTimeText();
    std::string header = InstallerLogHeader(request_, folders, timestamp);
    WriteWholeFile(logPath, InstallerLogHeaderBytes(header, cx_.host.IsNtFamily()));
    EnableInstallerLog(logPath);
}

// A progress bar cannot show less than its minimum, and the progress state
// reads a position of -1 as "caption only", which a rollback counting down
// would reach: positions below the minimum are published as the minimum.
bool TMSIThread::ReportProgress(const ProgressReport& report) {
    std::int64_t position = report.position < report.minimum ? report.minimum : report.position;
    cx_.progress.Set(report.text, report.minimum, report.maximum, position);
    return !state_.cancelled;
}

void TMSIThread::Execute() {
    DerivedFolders folders = Folders();
    RunSettings settings = ReadRunSettings(request_.variables);
    cx_.progress.Set("Windows Installer", 0, 100, 100);
    HandoverFile handover(HandoverFilePath(TempFolder(), request_.productCode), PropertyHandoverText(request_, folders));

    if (!request_.patch) WriteDeferredProperties(cx_.records, request_.packagePath, codes_);
    bool installed = ProductIsInstalled(request_.productCode);

    std::string lastInstallerError;
    if (!state_.cancelled) {
        if (!cx_.logPath.empty()) WriteLogHeader(folders);
        auto showBox = [this](const InstallerMessageBox& box) {
            return cx_.host.ShowMessageBox(state_.owner, box.text, box.caption, box.style);
        };
        auto report = [this](const ProgressReport& r) { return ReportProgress(r); };
        InstallerMessageHandler handler(settings.silent, settings.caption, showBox, report);
        InstallerCallResult call;
        {
            ExternalUiRegistration registration(handler);
            call = CallInstaller(PlanInstallerCall(request_, settings, folders, installed), request_.productCode);
        }
        lastInstallerError = handler.lastInstallerError();
        InstallerRunResult& result = state_.result;
        if (request_.patch || request_.installs())
            RecordInstallerResult(result, call.code, SystemErrorText);
        else
            RecordRemovalResult(result, call.code, call.rebootAtEnd, call.rebootNow, SystemErrorText);
    }
    CompleteFailureText(state_.result, lastInstallerError, MessageText(Msg::GeneralSetupFailure));
}

}  // namespace

InstallerRunReturn RunInstaller(RunContext& cx, const InstallerRunRequest& request) {
    WorkingFolder directory(RunDirectory(request).value_or(""));
    InstallerRunState state;
    state.owner = cx.activePageWindow;
    ProgressValues shown = cx.progress.Get();
    cx.progress.Set("", shown.minimum, shown.maximum, -1);

    TMSIThread worker(cx, request, state, NewInstanceCodes{cx.productCode, cx.revisionCode});
    auto eachTurn = [&] {
        if (cx.cancelRequested) state.cancelled = true;
    };
    RunLongOperation(cx, [&] { worker.Execute(); }, eachTurn);
    if (cx.cancelRequested) state.cancelled = true;
    return {RunOutcome(state.cancelled, state.result), state.result.errorText};
}

}  // namespace qv::win
