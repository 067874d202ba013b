#include "actions/deferred_file_commands.h"

#include "actions/deferred_recording.h"

namespace qv {

namespace {

void InstallFiles(RunContext& cx, const ScriptCommand& c, const MediaFetcher& fetchMedia) {
    std::string key = RecordActivation(cx, c);
    if (fetchMedia && cx.script.mediaMode == 2 && !c.mediaBlock.empty()) {
        if (auto failure = fetchMedia(cx, c)) {
            if (!cx.silent) cx.host.ShowError(*failure);
            cx.ended = true;
            return;
        }
    }
    RecordValue(cx, key, 1, cx.ParamPath(c, 3));
}

}  // namespace

void RegisterDeferredFileCommands(CommandTable& table, MediaFetcher fetchMedia) {
    table.Add("Create Folder", [](RunContext& cx, const ScriptCommand& c) { RecordDeferredCommand(cx, c, {{1, 1}}); });
    table.Add("Copy/Move Local Files",
              [](RunContext& cx, const ScriptCommand& c) { RecordDeferredCommand(cx, c, {{1, 1}, {2, 3}}); });
    table.Add("Delete Files", [](RunContext& cx, const ScriptCommand& c) { RecordDeferredCommand(cx, c, {{1, 1}}); });
    table.Add("Install Files",
              [fetchMedia](RunContext& cx, const ScriptCommand& c) { InstallFiles(cx, c, fetchMedia); });
}

}  // namespace qv
