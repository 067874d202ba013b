// Dialog rules: one control's property follows another's. A page keeps its
// rules as one comma list; each item reads
//   LEAD · Comp.Prop = Value)  THEN  Comp2.Prop2 := Value2;
// where LEAD is four characters that are skipped and the operator is " <> "
// when that text occurs anywhere after the lead-in, else " = ".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

struct DialogRule {
    std::string component;
    std::string property;
    bool notEqual = false;
    std::string value;
    std::string targetComponent;
    std::string targetProperty;
    std::string targetValue;
};

// Nothing when an item lacks one of its parts: such a rule never holds.
std::optional<DialogRule> ParseDialogRule(std::string_view item);
// The rules of a page's comma list, in list order; malformed items are left out.
std::vector<DialogRule> ParseDialogRules(std::string_view commaList);

// The page's components seen through their published properties as text
// ("True", "False", decimal numbers, enumeration identifiers). Names are
// compared without regard to letter case; only components the page owns
// are found, never the page itself.
class RuleTarget {
public:
    virtual ~RuleTarget() = default;
    // Nothing when there is no such component or property.
    virtual std::optional<std::string> PropertyText(std::string_view component, std::string_view property) const = 0;
    // Does nothing when there is no such component or property; throws
    // std::exception when the property does not accept the text.
    virtual void SetPropertyText(std::string_view component, std::string_view property, const std::string& text) = 0;
};

// Evaluates every rule once, in order. A value that names a component's
// property ("Edit1.Text") stands for that property's current text. When a
// property refuses a value, the remaining rules are still evaluated and the
// first such error is thrown at the end.
void ApplyRules(const std::vector<DialogRule>& rules, RuleTarget& target);

}  // namespace qv
