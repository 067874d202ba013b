#include "project.h"

#include <cctype>
#include <fstream>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

#include "ansi_text.h"
#include "database_edits.h"
#include "engine/deferred_kinds.h"
#include "guid.h"
#include "json_fields.h"
#include "kit_error.h"

namespace qv::kit {

namespace {

std::string Ansi(JsonFields& fields, const char* key, const std::string& fallback = {}) {
    return Utf8ToAnsi(fields.text(key, fallback), fields.where() + ": \"" + key + "\"");
}

// The engine turns "$NEWLINE$" back into CR LF when it expands a parameter.
std::string EncodeLineBreaks(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += "$NEWLINE$";
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

void CheckSetupName(const std::string& name) {
    if (name.empty()) throw KitError("project: \"setup\" (the setup's name) is required");
    if (name.find_first_of("<>:\"/\\|?*") != std::string::npos || name.back() == '.' || name.back() == ' ')
        throw KitError("project: \"setup\" must be a plain file name, not \"" + name + "\"");
    for (unsigned char c : name)
        if (c < 32) throw KitError("project: \"setup\" must not contain control characters");
}

std::string GuidField(JsonFields& fields, const char* key, const std::string& seed) {
    std::string value = fields.text(key, "auto");
    if (value == "auto") return DerivedGuid(seed);
    if (!IsGuidText(value))
        throw KitError(fields.where() + ": \"" + key + "\" must be \"auto\" or a GUID in braces, not \"" + value + "\"");
    for (char& c : value) c = char(std::toupper((unsigned char)c));
    return value;
}

std::filesystem::path PathField(JsonFields& fields, const char* key, const std::filesystem::path& baseDir) {
    std::string value = fields.text(key);
    if (value.empty()) return {};
    return (baseDir / value).lexically_normal();
}

ResourceMethod MethodField(JsonFields& fields) {
    std::string value = fields.text("resourceMethod");
    if (value.empty()) return ResourceMethod::Default;
    if (value == "copy") return ResourceMethod::Copy;
    if (value == "lzma") return ResourceMethod::Lzma;
    if (value == "lzma2") return ResourceMethod::Lzma2;
    throw KitError("project: \"resourceMethod\" must be \"copy\", \"lzma\" or \"lzma2\", not \"" + value + "\"");
}

// `project` is the whole description: an "auto" revision code derives from
// all of it, so any change to the setup gives a new one.
void MapProduct(const nlohmann::json& object, const nlohmann::json& project, const std::string& setupName,
                KitProject& kit) {
    SetupScript& s = kit.script;
    JsonFields f(object, "product");
    s.title = Ansi(f, "title");
    s.publisher = Ansi(f, "publisher");
    s.contact = Ansi(f, "contact");
    s.helpLink = Ansi(f, "helpLink");
    s.updateLink = Ansi(f, "updateLink");
    s.comments = Ansi(f, "comments");
    s.defaultLanguage = Ansi(f, "defaultLanguage", "English");
    s.languageDialog = f.boolean("languageDialog", false);
    std::int64_t mode = f.integer("mediaMode", 1);
    if (mode < 1 || mode > 3) throw KitError("product: \"mediaMode\" must be 1, 2 or 3");
    s.mediaMode = std::int32_t(mode);
    if (f.text("code", "auto") == "database") {
        kit.productCodeFromDatabase = true;
    } else {
        s.productCode = GuidField(f, "code", setupName + "\nproduct code\n" + s.title + "\n" + s.publisher);
    }

    for (const auto& name : f.array("plugins")) {
        if (!name.is_string()) throw KitError("product: \"plugins\" must be a list of texts");
        s.pluginNames.push_back(Utf8ToAnsi(name.get<std::string>(), "product: a plug-in name"));
    }
    std::size_t n = 0;
    for (const auto& item : f.array("componentSizes")) {
        JsonFields c(item, "product: component size " + std::to_string(++n));
        ComponentSize size{Ansi(c, "name"), c.integer("bytes", 0)};
        if (size.name.empty()) throw KitError(c.where() + ": \"name\" is required");
        if (size.bytes < 0) throw KitError(c.where() + ": \"bytes\" must not be negative");
        c.finish();
        s.componentSizes.push_back(size);
    }
    n = 0;
    for (const auto& item : f.array("mediaFiles")) {
        JsonFields m(item, "product: media file " + std::to_string(++n));
        s.mediaFiles.push_back({Ansi(m, "block"), Ansi(m, "source"), Ansi(m, "folder")});
        m.finish();
    }
    if (f.text("revisionCode", "auto") == "database") {
        kit.revisionCodeFromDatabase = true;
    } else {
        s.revisionCode = GuidField(f, "revisionCode", setupName + "\nrevision code\n" + project.dump());
    }
    f.finish();
}

void MapCommand(const nlohmann::json& object, std::size_t position, const std::string& setupName, SetupScript& s,
                std::set<std::string>& identifiers, KitTranslations& translations) {
    std::string where = "command " + std::to_string(position + 1);
    JsonFields f(object, where);
    std::string name = Ansi(f, "command");
    if (name.empty()) throw KitError(where + ": \"command\" (the command's name) is required");
    where += " (" + name + ")";
    f.setWhere(where);

    std::string id = f.has("id") ? f.text("id") : DerivedGuid(setupName + "\ncommand\n" + std::to_string(position));
    if (!IsGuidText(id)) throw KitError(where + ": \"id\" must be a GUID in braces, not \"" + id + "\"");
    for (char& c : id) c = char(std::toupper((unsigned char)c));
    if (!identifiers.insert(id).second) throw KitError(where + ": the identifier " + id + " is used twice");

    const nlohmann::json& params = f.array("params");
    if (!params.empty()) {
        s.parameters.push_back(id);
        for (std::size_t i = 0; i < params.size(); ++i) {
            std::string what = where + ": parameter " + std::to_string(i + 1);
            if (!params[i].is_string()) throw KitError(what + " must be a text");
            std::string text = EncodeLineBreaks(Utf8ToAnsi(params[i].get<std::string>(), what));
            if (text == "$")
                throw KitError(what + " is a lone \"$\", which the setup package cannot carry");
            s.parameters.push_back(std::move(text));
        }
    }
    s.commandNames.push_back(name);
    s.commandIds.push_back(id);
    s.disabledFlags.push_back(f.boolean("disabled", false) ? "C" : "");
    s.mediaBlocks.push_back(Ansi(f, "media"));
    if (IsDeferredKind(name)) s.commandHeaders.push_back({"QV" + std::to_string(position), std::to_string(position)});
    AddCommandTranslations(f.object("translations"), where, id, translations);
    f.finish();
}

}  // namespace

KitProject ProjectFromJson(const nlohmann::json& project, const std::filesystem::path& baseDir) {
    JsonFields f(project, "project");
    KitProject p;
    p.setupName = f.text("setup");
    CheckSetupName(p.setupName);
    MapProduct(f.object("product"), project, p.setupName, p);
    const nlohmann::json& script = f.array("script");
    std::set<std::string> identifiers;
    for (std::size_t i = 0; i < script.size(); ++i)
        MapCommand(script[i], i, p.setupName, p.script, identifiers, p.translations);
    MapTranslations(f.object("translations"), baseDir, f.object("product").value("title", ""), p.translations);
    p.supportFolder = PathField(f, "support", baseDir);
    p.dialogs = DialogsFromJson(f.array("dialogs"), baseDir);
    p.wixSource = PathField(f, "wix", baseDir);
    p.databaseEdits = DatabaseEdits(f.object("database"), p.script);
    p.messageFile = PathField(f, "messages", baseDir);
    p.dataFolder = PathField(f, "data", baseDir);
    p.resourceMethod = MethodField(f);
    f.finish();
    if ((p.productCodeFromDatabase || p.revisionCodeFromDatabase) && p.wixSource.empty())
        throw KitError("project: a code taken from the \"database\" needs a \"wix\" source");
    if (!p.databaseEdits.empty() && p.wixSource.empty())
        throw KitError("project: \"database\" changes need a \"wix\" source");
    return p;
}

KitProject ReadProjectFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw KitError(file.string() + ": cannot open the project file");
    std::ostringstream text;
    text << in.rdbuf();
    nlohmann::json project;
    try {
        project = nlohmann::json::parse(text.str());
    } catch (const nlohmann::json::parse_error& e) {
        throw KitError(file.string() + ": not a valid JSON project: " + e.what());
    }
    try {
        return ProjectFromJson(project, file.parent_path());
    } catch (const KitError& e) {
        throw KitError(file.string() + ": " + e.what());
    }
}

}  // namespace qv::kit
