#include "common/text.h"
#include "engine/run_context.h"
#include "engine/variable_store.h"
#include "installer/apply_changes_plan.h"
#include "installer/product_queries.h"

namespace qv::win {

namespace {

// Session start's product-state step again, for the new codes: the codes,
// the data folder (the product cache for media mode 2), the maintenance and
// upgrade state, and whether a new instance is wanted.
void RepublishProductState(RunContext& cx) {
    const char* bootstrap = "Bootstrap";
    cx.vars.Define("PRODUCTCODE", cx.productCode, bootstrap);
    cx.vars.Define("REVISIONCODE", cx.revisionCode, bootstrap);
    if (cx.script.mediaMode == 2) {
        bool allUsers = IsTrueText(cx.vars.Get("ALLUSERS"));
        cx.vars.Define("DATADIR", cx.host.ApplicationDataRoot(allUsers) + cx.revisionCode + "\\", bootstrap);
    }
    bool upgrade = false, maintenance = false;
    if (cx.host.ProductIsInstalled(cx.productCode)) {
        auto packageCode = cx.host.InstalledPackageCode(cx.productCode);
        upgrade = packageCode && !EqualsIgnoreCaseAscii(*packageCode, cx.revisionCode);
        maintenance = !upgrade;
    }
    cx.vars.Define("NEEDSUPGRADE", BoolText(upgrade), bootstrap);
    cx.vars.Define("MAINTENANCE", BoolText(maintenance), bootstrap);
    bool instanceFile = cx.host.FileExists(cx.startup.setupFolder + "instance.dat");
    cx.vars.Define("NEWINSTANCE", BoolText(!instanceFile && (maintenance || upgrade)), "Initialization");
}

}  // namespace

// A patch run keeps the product's identity; otherwise the product gets new
// codes now, and its database gets them when the installer runs.
void TransformInstance(RunContext& cx, const ScriptCommand&) {
    if (!IsTrueText(cx.vars.Get("NEWINSTANCE"))) return;
    if (cx.host.FileExists(PatchPathOf(cx.startup.databasePath))) return;
    if (cx.records.originalProductCode.empty()) cx.records.originalProductCode = cx.productCode;
    cx.productCode = NewGuidText();
    cx.revisionCode = NewGuidText();
    cx.records.newInstanceMode = true;
    RepublishProductState(cx);
}

}  // namespace qv::win
