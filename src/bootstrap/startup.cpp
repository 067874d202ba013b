#include "bootstrap/startup.h"

#include <windows.h>

#include <memory>

#include "common/text.h"
#include "bootstrap/command_line.h"
#include "bootstrap/package.h"
#include "bootstrap/startup_windows.h"
#include "bootstrap/stub_commands.h"
#include "bootstrap/win_host.h"
#include "bootstrap/workspace.h"
#include "engine/script_engine.h"
#include "media/archive_files.h"
#include "platform/files.h"
#include "platform/module_image.h"
#include "platform/system_facts.h"
#include "wizard/language_win.h"
#include "wizard/message_table.h"
#include "wizard/wizard_pages.h"

namespace qv::win {

namespace {

constexpr int kStartupFailureExitCode = 11;

// Start-up ends early with a message (unless silent) and exit code 0.
struct StartupStop {
    std::string text;
};

struct Startup {
    StartupValues values;
    Trace trace;
    StartupWindows windows;
    std::string workspace;
    int exitCode = 0;

    bool silent() const { return values.commandLine.silent; }

    void Stop(const std::string& text) {
        trace.Line("startup failure: " + text);
        if (!silent()) ShowErrorBox(windows.owner(), text);
    }
};

std::string SetupNameOf(const std::string& path) {
    std::string file = path.substr(FolderOfPath(path).size());
    std::size_t dot = file.find_last_of('.');
    return dot == std::string::npos ? file : file.substr(0, dot);
}

void RestrictToFirstProcessor() {
    using SetAffinityFn = BOOL(WINAPI*)(HANDLE, DWORD_PTR);
    auto set = reinterpret_cast<SetAffinityFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "SetProcessAffinityMask")));
    if (set) set(::GetCurrentProcess(), 1);
}

// A message file may follow the archive library's image. Its headers are
// read from the file, so no code of the library runs for this.
void AttachMessageFile(const std::string& setupFolder, const std::string& tempFolder) {
    std::string library = setupFolder + "zor.dll";
    auto size = FileSize(library);
    if (!size) return;
    std::string headers;
    {
        auto bytes = ReadWholeFile(library);
        if (!bytes) return;
        headers = std::move(*bytes);
    }
    std::uint32_t image = ImageSizeFromHeaders(reinterpret_cast<const unsigned char*>(headers.data()), headers.size());
    if (image == 0 || *size <= image) return;
    std::string localized = tempFolder + "lang.loc";
    if (CopyFileTail(library, image, localized)) {
        if (auto content = ReadWholeFile(localized)) LoadMessageText(*content);
    }
    ::DeleteFileA(localized.c_str());
}

bool CommonControlsTooOld() {
    unsigned major = 0, minor = 0;
    if (!FileVersion(SystemFolder() + "comctl32.dll", major, minor)) return false;
    return major == 4 && minor < 72;
}

// The package behind the image, through "zor.tmp" in the temporary folder;
// nothing when the file ends with its image.
std::unique_ptr<SetupScript> LoadSetupScript(const std::string& exePath, const std::string& tempFolder) {
    auto size = FileSize(exePath);
    if (!size) throw std::runtime_error("Cannot open file \"" + exePath + "\"");
    std::uint32_t image = ImageSize(::GetModuleHandleA(nullptr));
    if (*size <= image) return nullptr;
    std::string copy = tempFolder + "zor.tmp";
    if (!CopyFileTail(exePath, image, copy)) throw std::runtime_error("Cannot create file \"" + copy + "\"");
    auto text = ReadWholeFile(copy);
    ::DeleteFileA(copy.c_str());
    if (!text) throw std::runtime_error("Cannot read file \"" + copy + "\"");
    return std::make_unique<SetupScript>(ParsePackage(*text));
}

void CopyDatabase(const std::string& from, const std::string& to) {
    if (!FileExists(from)) return;
    ::CopyFileA(from.c_str(), to.c_str(), FALSE);
    ClearAttributes(to);
}

void Prepare(Startup& st, std::unique_ptr<SetupScript>& script) {
    StartupValues& v = st.values;
    script = LoadSetupScript(v.exePath, v.tempFolder);
    if (!script) throw StartupStop{"For internal use only"};

    st.workspace = CreateWorkspace(v.tempFolder);
    v.workspace = st.workspace;

    std::string base = v.setupFolder + v.setupName;
    std::string resource = base + ".res";
    if (!FileExists(resource)) throw StartupStop{MessageText(Msg::ResourceNotFound)};
    SetArchiveLibraryPath(v.setupFolder + "zor.dll");
    ArchiveResult extracted = ExtractArchiveFiles(resource, "", st.workspace, true, true);
    if (!extracted.ok) {
        st.trace.Line("resource archive: " + extracted.error);
        throw StartupStop{MessageText(Msg::ResourceDecompressionFailure)};
    }
    if (!FileExists(base + ".msi") && !FileExists(base + ".msp")) throw StartupStop{MessageText(Msg::DatabaseNotFound)};

    CopyDatabase(base + ".msi", st.workspace + v.setupName + ".msi");
    CopyDatabase(base + ".msp", st.workspace + v.setupName + ".msp");
    v.databasePath = st.workspace + v.setupName + ".msi";

}

// Every enabled "Display Dialog" gets its page now, under the command's
// 0-based position, in silent mode too; the preparing window counts them.
void PreloadPages(Startup& st, const SetupScript& script, WizardPages& pages) {
    std::vector<std::size_t> positions;
    for (std::size_t i = 0; i < script.commandCount(); ++i)
        if (script.commandNames[i] == "Display Dialog" && !script.isDisabled(i)) positions.push_back(i);
    if (!st.silent()) st.windows.SetRange(int(positions.size()));
    for (std::size_t i : positions) {
        const std::string dialog = GetParameter(script.parameters, script.commandIds[i], 1);
        pages.PreloadDialog(std::to_string(i), st.workspace + dialog + ".dfm");
        if (!st.silent()) st.windows.Step();
    }
    st.windows.Close();
}

}  // namespace

int RunSetup() {
    Startup st;
    StartupValues& v = st.values;
    v.exePath = ModuleFileName(nullptr);
    v.version = FileVersionText(v.exePath);
    RestrictToFirstProcessor();
    v.setupFolder = FolderOfPath(v.exePath);
    v.setupName = SetupNameOf(v.exePath);
    v.tempFolder = TempFolder();
    ForceDirectories(v.tempFolder);
    AttachMessageFile(v.setupFolder, v.tempFolder);
    v.commandLine = ParseCommandLine(::GetCommandLineA());
    if (!v.commandLine.tracePath.empty()) st.trace.Open(v.commandLine.tracePath);

    if (CommonControlsTooOld()) {
        st.Stop(MessageText(Msg::CommonControlsUpdate));
        st.trace.Line("exit code 0");
        return 0;
    }
    if (!st.silent()) st.windows.Show(v.setupFolder);

    try {
        std::unique_ptr<SetupScript> script;
        Prepare(st, script);
        WinHost host;
        RunContext context(*script, v, host, st.trace);
        WizardPages pages(context, st.workspace);
        PreloadPages(st, *script, pages);
        context.pages = &pages;
        WinLanguageHost languages;
        context.languageHost = &languages;
        RunScript(context, StubCommands());
        st.exitCode = context.exitCode;
    } catch (const StartupStop& stop) {
        st.Stop(stop.text);
    } catch (const std::exception& e) {
        std::string text = MessageText(Msg::RuntimeErrorInInstall) + e.what();
        st.trace.Line("startup failure: " + text);
        st.windows.Close();
        if (!st.silent()) ShowErrorBox(nullptr, text);
        st.exitCode = kStartupFailureExitCode;
    }
    st.windows.Close();
    RemoveWorkspace(st.workspace);
    st.trace.Line("exit code " + std::to_string(st.exitCode));
    return st.exitCode;
}

}  // namespace qv::win
