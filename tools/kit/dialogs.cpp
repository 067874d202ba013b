#include "dialogs.h"

#include <set>

#include <nlohmann/json.hpp>

#include "common/text.h"
#include "file_io.h"
#include "form_compiler.h"
#include "json_fields.h"
#include "kit_error.h"

namespace qv::kit {

std::vector<KitDialog> DialogsFromJson(const nlohmann::json& dialogs, const std::filesystem::path& baseDir) {
    std::vector<KitDialog> out;
    std::set<std::string> names;
    for (std::size_t i = 0; i < dialogs.size(); ++i) {
        const std::string where = "dialog " + std::to_string(i + 1);
        if (!dialogs[i].is_object()) throw KitError(where + ": not an object");
        JsonFields f(dialogs[i], where);
        KitDialog d;
        d.name = f.text("name");
        if (d.name.empty() || d.name.find_first_of("\\/:*?\"<>|") != std::string::npos)
            throw KitError(where + ": \"name\" must be a plain file name without extension");
        if (!names.insert(UpperAscii(d.name)).second) throw KitError(where + ": a second dialog named " + d.name);
        const std::string form = f.text("form");
        if (form.empty()) throw KitError(where + ": \"form\" is required");
        d.form = (baseDir / form).lexically_normal();
        for (const auto& rule : f.array("rules")) {
            if (!rule.is_string()) throw KitError(where + ": \"rules\" holds texts only");
            std::string text = rule.get<std::string>();
            if (text.find_first_of("\r\n") != std::string::npos)
                throw KitError(where + ": a rule is one line");
            d.rules.push_back(std::move(text));
        }
        f.finish();
        out.push_back(std::move(d));
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> DialogFiles(const std::vector<KitDialog>& dialogs) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const KitDialog& d : dialogs) {
        const std::string text = ReadWholeFile(d.form, "the form of dialog " + d.name);
        std::string binary;
        try {
            binary = CompileForm(text);
        } catch (const KitError& e) {
            throw KitError(d.form.string() + ": " + e.what());
        }
        std::string rules;
        for (const std::string& rule : d.rules) rules += rule + "\r\n";
        files.emplace_back(d.name + ".dfm", std::move(binary));
        files.emplace_back(d.name + ".dfm.zorf", std::move(rules));
    }
    return files;
}

}  // namespace qv::kit
