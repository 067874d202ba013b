#include "engine/validate.h"

#include <map>
#include <set>

#include "common/errors.h"
#include "common/text.h"
#include "engine/predefined.h"
#include "engine/variable_store.h"

namespace qv {

namespace {

struct Check {
    std::vector<int> define;          // parameters whose variable gets defined
    std::vector<int> required;        // parameters that must not be empty ("Variable required")
    std::vector<int> mustExist;       // parameters that must name a defined variable (bare name)
    std::vector<int> mustExistOrReference;  // the same, bare or as a reference
};

const std::map<std::string, Check, std::less<>>& CheckTable() {
    static const std::map<std::string, Check, std::less<>> table = [] {
        std::map<std::string, Check, std::less<>> t;
        for (const char* name : {"Get Folder Location", "Get INI File Settings", "Check File Version",
                                 "Get System Settings", "Read Registry", "Does File/Folder Exist", "Set Variable",
                                 "Get Temporary File", "Get IIS Property", "IIS Anonymous User", "Apply Patch"})
            t[name].define = {1};
        t["Mathematics"].define = {4};
        t["Is MSI Setup Installed"] = {{2}, {2}, {}, {}};
        t["Extract 7Zip Archive"].define = {3};
        for (const char* name : {"Run Light Mode Setup", "Get File Version", "Get Environment", "Get IIS Site Index",
                                 "Get Component State", "Check Process", "Apply Changes"})
            t[name].define = {2};
        t["Read from Text File"].define = {2, 3};
        t["Parse String"].define = {3, 4};
        for (const char* name : {"Convert Path", "Convert Case", "Extract Path"}) t[name].mustExist = {1};
        // Replace String takes its variable as a bare name or as a reference.
        t["Replace String"].mustExistOrReference = {1};
        t["Run Program"].define = {4};
        t["MessageBox"].define = {5};
        t["Run Program As"].define = {8};
        t["Check Service"].define = {3};
        t["Register Library"].define = {3};
        t["Find All Files"] = {{4}, {4}, {}, {}};
        t["Check Disk Space"] = {{1}, {1}, {}, {}};
        return t;
    }();
    return table;
}

const char* kInsideWizardLoop = "Statements other than DISPLAY DIALOG not allowed inside WIZARD LOOP";

class Validator {
public:
    explicit Validator(const SetupScript& s) : s_(s) {}

    std::optional<ValidationFailure> Run() {
        for (const char* name : kValidationPredefined) vars_.Define(name, "", "Compilation");
        if (auto f = Balance()) return f;
        if (auto f = Labels()) return f;
        for (std::size_t i = 0; i < s_.commandCount(); ++i) {
            if (!Enabled(i) || s_.commandNames[i] == "Comment") continue;
            if (auto text = CheckCommand(i)) return ValidationFailure{i, *text};
        }
        return WizardLoopContents();
    }

private:
    bool Enabled(std::size_t i) const { return !s_.isDisabled(i); }
    const std::string& Name(std::size_t i) const { return s_.commandNames[i]; }

    std::string Param(std::size_t i, int n) const {
        at_ = i;
        if (i >= s_.commandIds.size()) throw ListIndexError(long(i));
        return GetParameter(s_.parameters, s_.commandIds[i], n);
    }

    // Parameter n names a variable, bare or as a reference.
    bool NamesDefined(const std::string& p) const {
        std::string name = StripReference(p);
        return vars_.Exists(name.empty() ? p : name);
    }

    void DefineParam(std::size_t i, int n) {
        std::string p = Param(i, n);
        if (!p.empty() && !vars_.Exists(p)) vars_.Define(UpperAscii(p), "", "Compilation");
    }

    std::optional<ValidationFailure> Balance() const {
        int depth = 0, openers = 0, closers = 0;
        for (std::size_t i = 0; i < s_.commandCount(); ++i) {
            if (!Enabled(i)) continue;
            const std::string& name = Name(i);
            if (name == "If" || name == "Wizard Loop") {
                ++depth;
                ++openers;
            } else if (name == "End") {
                --depth;
                ++closers;
            } else if (name == "Label" && depth != 0) {
                return ValidationFailure{i, "LABEL not allowed inside a block"};
            }
        }
        if (openers == closers || s_.commandCount() == 0) return std::nullopt;
        return ValidationFailure{s_.commandCount() - 1,
                                 closers < openers ? "Insufficient END statements" : "Too many END statements"};
    }

    std::optional<ValidationFailure> Labels() {
        for (std::size_t i = 0; i < s_.commandCount(); ++i) {
            if (Name(i) != "Label") continue;
            std::string label = UpperAscii(Param(i, 1));
            if (!labels_.insert(label).second) return ValidationFailure{i, "LABEL re-defined: " + label};
        }
        return std::nullopt;
    }

    std::optional<std::string> CheckCommand(std::size_t i) {
        const std::string& name = Name(i);
        if (name == "Web Media Block") return WebMediaBlock(i);
        if (name == "Delete Files") {
            if (!IsTrueText(Param(i, 3)) && !IsTrueText(Param(i, 4))) return "At least one delete mode must be selected";
            return std::nullopt;
        }
        if (name == "Install Files") {
            if (Param(i, 3).empty())
                return "A target folder must be specified for files that are being installed.\r"
                       "The value $TARGETDIR$ represents the destination folder chosen by the user.";
            return std::nullopt;
        }
        if (name == "GoTo Label") {
            std::string label = UpperAscii(Param(i, 1));
            if (!labels_.count(label)) return "LABEL undefined: " + label;
            return std::nullopt;
        }
        if (name == "If" || name == "Else If") {
            std::string p1 = Param(i, 1);
            if (p1.empty()) return "Variable required";
            if (!NamesDefined(p1)) return "Variable not defined: " + p1;
            std::string p3 = Param(i, 3);
            std::string ref = StripReference(p3);
            if (!ref.empty() && !vars_.Exists(ref)) return "Variable not defined: " + p3;
            return std::nullopt;
        }
        if (name == "Display Dialog") {
            if (Param(i, 1).empty()) return "Dialog name not specified";
            DefineParam(i, 2);
            std::string p4 = Param(i, 4);
            if (!p4.empty() && !NamesDefined(p4)) return "Variable not defined: " + p4;
            return std::nullopt;
        }
        auto row = CheckTable().find(name);
        if (row == CheckTable().end()) return std::nullopt;
        for (int n : row->second.required)
            if (Param(i, n).empty()) return "Variable required";
        for (int n : row->second.mustExist) {
            std::string p = Param(i, n);
            if (!vars_.Exists(p)) return "Variable not defined: " + p;
        }
        for (int n : row->second.mustExistOrReference) {
            std::string p = Param(i, n);
            if (!NamesDefined(p)) return "Variable not defined: " + p;
        }
        for (int n : row->second.define) DefineParam(i, n);
        return std::nullopt;
    }

    std::optional<std::string> WebMediaBlock(std::size_t i) const {
        std::string block = Param(i, 1);
        std::size_t slash = block.find_last_of("\\:");
        std::string file = slash == std::string::npos ? block : block.substr(slash + 1);
        if (file.find_first_of("/*?\"<>|") != std::string::npos) return "Web Media Block name must be a legal file name";
        if (!block.empty() && Param(i, 2).empty()) return "Web Media Block must have a download URL";
        return std::nullopt;
    }

    std::optional<ValidationFailure> WizardLoopContents() const {
        bool inside = false;
        for (std::size_t i = 0; i < s_.commandCount(); ++i) {
            const std::string& name = Name(i);
            if (name == "Wizard Loop") {
                inside = true;
                continue;
            }
            if (name == "End") {
                inside = false;
                continue;
            }
            if (inside && Enabled(i) && name != "Display Dialog" && name != "Comment" && name != "Ignore")
                return ValidationFailure{i, kInsideWizardLoop};
        }
        return std::nullopt;
    }

    const SetupScript& s_;
    VariableStore vars_;
    std::set<std::string> labels_;

public:
    mutable std::size_t at_ = 0;  // the command whose parameters were read last
};

}  // namespace

std::optional<ValidationFailure> ValidateScript(const SetupScript& script) {
    Validator v(script);
    try {
        return v.Run();
    } catch (const std::exception& e) {
        // A package whose parallel sections disagree cannot be checked further.
        return ValidationFailure{v.at_, e.what()};
    }
}

}  // namespace qv
