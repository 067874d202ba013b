// Builds in-memory scripts for the engine tests, one command per line of code.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "bootstrap/package.h"

namespace qv::testing {

class ScriptBuilder {
public:
    ScriptBuilder& Add(const std::string& name, std::vector<std::string> params = {}, bool disabled = false) {
        std::string id = "{" + std::to_string(script_.commandCount()) + "}";
        script_.commandNames.push_back(name);
        script_.commandIds.push_back(id);
        script_.disabledFlags.push_back(disabled ? "C" : "");
        script_.mediaBlocks.push_back("");
        script_.parameters.push_back(id);
        // The authoring tool writes every parameter of a command, so a read
        // never runs into the next command's block.
        params.resize(std::max<std::size_t>(params.size(), kParameterSlots));
        for (auto& p : params) script_.parameters.push_back(std::move(p));
        return *this;
    }
    ScriptBuilder& Disabled(const std::string& name, std::vector<std::string> params = {}) {
        return Add(name, std::move(params), true);
    }
    SetupScript Build() const {
        SetupScript s = script_;
        if (s.title.empty()) s.title = "Test Product";
        if (s.productCode.empty()) s.productCode = "{11111111-2222-3333-4444-555555555555}";
        if (s.revisionCode.empty()) s.revisionCode = "{AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE}";
        return s;
    }

private:
    static constexpr std::size_t kParameterSlots = 12;
    SetupScript script_;
};

}  // namespace qv::testing
