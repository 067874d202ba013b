#include "installer/components.h"

#include "common/text.h"
#include "engine/variable_store.h"

namespace qv {

namespace {

bool SameName(const std::string& a, const std::string& b) { return Upper8Bit(a) == Upper8Bit(b); }

void AddSizeEntry(std::vector<ComponentSize>& sizes, const std::string& name) {
    for (const auto& s : sizes)
        if (SameName(s.name, name)) return;
    sizes.push_back({name, 0});
}

}  // namespace

void ComponentTable::Clear() {
    names_.clear();
    states_.clear();
    descriptions_.clear();
}

void ComponentTable::Define(const std::string& name, const std::string& description, bool selected,
                            std::vector<ComponentSize>& sizes) {
    int at = Position(name);
    if (at < 0) {
        at = int(names_.size());
        names_.push_back(name);
        states_.emplace_back();
    }
    if (descriptions_.size() <= std::size_t(at)) descriptions_.resize(std::size_t(at) + 1);
    descriptions_[std::size_t(at)] = description;
    AddSizeEntry(sizes, name);
    if (states_[std::size_t(at)].empty()) states_[std::size_t(at)] = selected ? "TRUE" : "FALSE";
}

int ComponentTable::Position(const std::string& name) const {
    for (std::size_t i = 0; i < names_.size(); ++i)
        if (SameName(names_[i], name)) return int(i);
    return -1;
}

bool ComponentTable::IsSelected(const std::string& name) const {
    int at = Position(name);
    return at >= 0 && IsTrueText(states_[std::size_t(at)]);
}

void ComponentTable::SetState(int position, bool selected) {
    if (position >= 0 && std::size_t(position) < states_.size()) states_[std::size_t(position)] = selected ? "TRUE" : "FALSE";
}

void ComponentTable::AppendLoaded(const std::string& name, const std::string& state) {
    names_.push_back(name);
    states_.push_back(state);
}

std::int64_t ComponentBytes(const ComponentTable& table, const std::vector<ComponentSize>& sizes,
                            const std::string& name) {
    if (table.Position(name) < 0) return 0;
    for (const auto& s : sizes)
        if (SameName(s.name, name)) return s.bytes;
    return 0;
}

FeatureSelection ParseFeatureSelection(const std::string& text) {
    FeatureSelection f;
    std::vector<std::string> lines = SplitLines(text);
    std::size_t i = 0;
    for (; i < lines.size() && lines[i] != "$"; ++i) f.names.push_back(lines[i]);
    for (++i; i < lines.size() && lines[i] != "$"; ++i) f.states.push_back(lines[i]);
    ++i;
    auto next = [&]() { return i < lines.size() ? lines[i++] : std::string(); };
    f.targetDir = next();
    f.allUsers = next();
    f.startMenu = next();
    return f;
}

std::string WriteFeatureSelection(const ComponentTable& table, const std::string& targetDir,
                                  const std::string& allUsers, const std::string& startMenu,
                                  const std::string* shortDataFolder) {
    std::string out;
    for (std::size_t i = 0; i < table.size(); ++i) out += table.name(i) + "\r\n";
    out += "$\r\n";
    for (std::size_t i = 0; i < table.size(); ++i) out += table.state(i) + "\r\n";
    out += "$\r\n";
    out += targetDir + "\r\n" + allUsers + "\r\n" + startMenu + "\r\n";
    if (shortDataFolder) out += *shortDataFolder + "\r\n";
    return out;
}

}  // namespace qv
