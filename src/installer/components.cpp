#include "installer/components.h"

#include <limits>

#include "common/errors.h"
#include "common/text.h"
#include "engine/variable_store.h"
#include "wizard/message_table.h"

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

void ApplyLoadedStates(ComponentTable& table, const FeatureSelection& loaded) {
    for (std::size_t i = 0; i < loaded.names.size(); ++i) {
        if (i >= loaded.states.size()) throw ListIndexError(long(i));
        bool selected = IsTrueText(loaded.states[i]);
        for (std::size_t at = 0; at < table.size(); ++at)
            if (SameName(table.name(at), loaded.names[i])) table.SetState(int(at), selected);
    }
}

std::optional<std::int64_t> ParseInt64(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    unsigned base = 10;
    if (i < text.size() && text[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == text.size()) return std::nullopt;
    // Hexadecimal digits give the bit pattern, as the script's numbers do.
    const std::uint64_t limit = base == 16 ? std::numeric_limits<std::uint64_t>::max()
                                           : std::uint64_t(std::numeric_limits<std::int64_t>::max()) + negative;
    std::uint64_t value = 0;
    for (; i < text.size(); ++i) {
        char ch = text[i];
        unsigned digit;
        if (ch >= '0' && ch <= '9') digit = unsigned(ch - '0');
        else if (base == 16 && ch >= 'a' && ch <= 'f') digit = unsigned(ch - 'a' + 10);
        else if (base == 16 && ch >= 'A' && ch <= 'F') digit = unsigned(ch - 'A' + 10);
        else return std::nullopt;
        if (value > (limit - digit) / base) return std::nullopt;
        value = value * base + digit;
    }
    std::int64_t result = std::int64_t(value);
    return negative ? std::int64_t(0 - value) : result;
}

bool SetComponentSpace(const ComponentTable& table, std::vector<ComponentSize>& sizes, const std::string& name,
                       const std::string& sizeText) {
    auto bytes = ParseInt64(sizeText);
    if (!bytes || table.Position(name) < 0) return false;
    for (auto& s : sizes)
        if (SameName(s.name, name)) {
            s.bytes = *bytes;
            return true;
        }
    sizes.push_back({name, *bytes});
    return true;
}

std::int64_t RequiredSpace(const ComponentTable& table, const std::vector<ComponentSize>& sizes,
                           std::int64_t baseline) {
    std::int64_t sum = 0;
    for (std::size_t i = 0; i < table.size(); ++i)
        if (IsTrueText(table.state(i))) sum += ComponentBytes(table, sizes, table.name(i));
    return sum - baseline;
}

std::optional<std::string> SpaceTargetFolder(const VariableStore& vars) {
    if (!vars.Exists("TARGETDIR")) return std::nullopt;
    std::string folder = vars.ExpandPath(vars.Get("TARGETDIR"));
    if (folder.empty()) return std::nullopt;
    return folder;
}

std::string FormatSize(std::int64_t bytes) {
    Msg unit = Msg::Bytes;
    std::uint64_t magnitude = bytes < 0 ? 0 - std::uint64_t(bytes) : std::uint64_t(bytes);
    if (bytes >= 1073741824) {
        unit = Msg::MB;
        magnitude /= 1048576;
    } else if (bytes >= 1048576) {
        unit = Msg::KB;
        magnitude /= 1024;
    }
    std::string digits = std::to_string(magnitude);
    std::string grouped;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
        grouped += digits[i];
    }
    return (bytes < 0 ? "-" : "") + grouped + " " + MessageText(unit);
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
