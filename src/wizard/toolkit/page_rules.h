// A page's components as the dialog rules see them: properties by name as
// text, through the controls' property interface.
#pragma once

#include "wizard/dialog_rules.h"
#include "wizard/toolkit/page.h"

namespace qv::toolkit {

class PageRuleTarget : public RuleTarget {
public:
    explicit PageRuleTarget(Page& page) : page_(page) {}

    std::optional<std::string> PropertyText(std::string_view component, std::string_view property) const override {
        const Control* control = page_.Find(component);
        return control ? control->Property(property) : std::nullopt;
    }

    // A property the control does not have is left alone, as the rules ask.
    void SetPropertyText(std::string_view component, std::string_view property, const std::string& text) override {
        Control* control = page_.Find(component);
        if (control && control->Property(property)) control->SetProperty(property, text);
    }

private:
    Page& page_;
};

}  // namespace qv::toolkit
