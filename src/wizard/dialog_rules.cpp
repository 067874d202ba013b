#include "wizard/dialog_rules.h"

#include <exception>

#include "engine/variable_store.h"

namespace qv {

namespace {

constexpr std::string_view kThen = ")  THEN  ";
constexpr std::string_view kAssign = " := ";

// Takes the text before the first `delimiter` and moves past it.
std::optional<std::string> TakeUpTo(std::string_view& rest, std::string_view delimiter) {
    const std::size_t at = rest.find(delimiter);
    if (at == std::string_view::npos) return std::nullopt;
    std::string part(rest.substr(0, at));
    rest.remove_prefix(at + delimiter.size());
    return part;
}

std::string Resolve(const std::string& value, const RuleTarget& target) {
    const std::size_t dot = value.find('.');
    if (dot == std::string::npos) return value;
    return target.PropertyText(std::string_view(value).substr(0, dot), std::string_view(value).substr(dot + 1))
        .value_or(value);
}

}  // namespace

std::optional<DialogRule> ParseDialogRule(std::string_view item) {
    if (item.size() < 4) return std::nullopt;
    std::string_view rest = item.substr(4);
    DialogRule rule;
    rule.notEqual = rest.find(" <> ") != std::string_view::npos;
    const std::string_view op = rule.notEqual ? " <> " : " = ";
    auto component = TakeUpTo(rest, ".");
    auto property = TakeUpTo(rest, op);
    auto value = TakeUpTo(rest, kThen);
    auto targetComponent = TakeUpTo(rest, ".");
    auto targetProperty = TakeUpTo(rest, kAssign);
    auto targetValue = TakeUpTo(rest, ";");
    if (!component || !property || !value || !targetComponent || !targetProperty || !targetValue)
        return std::nullopt;
    rule.component = std::move(*component);
    rule.property = std::move(*property);
    rule.value = std::move(*value);
    rule.targetComponent = std::move(*targetComponent);
    rule.targetProperty = std::move(*targetProperty);
    rule.targetValue = std::move(*targetValue);
    return rule;
}

std::vector<DialogRule> ParseDialogRules(std::string_view commaList) {
    std::vector<DialogRule> rules;
    for (const std::string& item : DecodeList(commaList))
        if (auto rule = ParseDialogRule(item)) rules.push_back(std::move(*rule));
    return rules;
}

void ApplyRules(const std::vector<DialogRule>& rules, RuleTarget& target) {
    std::exception_ptr firstError;
    for (const DialogRule& rule : rules) {
        const std::string value = Resolve(rule.value, target);
        const std::string actual = target.PropertyText(rule.component, rule.property).value_or("");
        if ((actual == value) == rule.notEqual) continue;
        try {
            target.SetPropertyText(rule.targetComponent, rule.targetProperty, Resolve(rule.targetValue, target));
        } catch (const std::exception&) {
            if (!firstError) firstError = std::current_exception();
        }
    }
    if (firstError) std::rethrow_exception(firstError);
}

}  // namespace qv
