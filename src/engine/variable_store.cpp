#include "engine/variable_store.h"

#include "common/errors.h"
#include "common/text.h"

namespace qv {

namespace {

// A value that refers to its own variable grows with every pass and never
// settles; past this many passes the remaining references stay as they are.
constexpr int kMaxExpansionPasses = 64;
// Nor may a chain of references blow the text up without bound.
constexpr std::size_t kMaxExpandedLength = 1u << 20;

bool NeedsQuotes(std::string_view item) {
    for (unsigned char c : item)
        if (c <= 32 || c == ',' || c == '"') return true;
    return false;
}

}  // namespace

std::size_t VariableStore::Find(std::string_view name) const {
    for (std::size_t i = 0; i < entries_.size(); ++i)
        if (EqualsIgnoreCaseAscii(entries_[i].first, name)) return i;
    return std::string::npos;
}

void VariableStore::Define(std::string_view name, std::string_view value, std::string_view source) {
    if (name.empty()) return;
    std::lock_guard<std::mutex> guard(lock_);
    if (Find(name) == std::string::npos) entries_.emplace_back(std::string(name), std::string());
    SetLocked(name, value, source);
}

std::string VariableStore::Get(std::string_view name) const {
    std::lock_guard<std::mutex> guard(lock_);
    std::size_t i = Find(name);
    if (i == std::string::npos)
        throw ScriptError("Attempting to get value of undefined variable " + std::string(name));
    return entries_[i].second;
}

void VariableStore::Set(std::string_view name, std::string_view value, std::string_view source) {
    std::lock_guard<std::mutex> guard(lock_);
    SetLocked(name, value, source);
}

void VariableStore::SetLocked(std::string_view name, std::string_view value, std::string_view source) {
    if (silent_ && source != kInjectOverrideSource) {
        for (const auto& preset : presetNames_)
            if (EqualsIgnoreCaseAscii(preset, name)) return;
    }
    std::size_t i = Find(name);
    if (i == std::string::npos)
        throw ScriptError("Attempting to set value of undefined variable " + std::string(name));
    entries_[i].second.assign(value);
    if (cancel_ && EqualsIgnoreCaseAscii(name, "ABORT")) cancel_->store(IsTrueText(value));
}

bool VariableStore::Exists(std::string_view name) const {
    std::lock_guard<std::mutex> guard(lock_);
    return Find(name) != std::string::npos;
}

void VariableStore::Clear() {
    std::lock_guard<std::mutex> guard(lock_);
    entries_.clear();
}

std::string VariableStore::ListText() const {
    std::lock_guard<std::mutex> guard(lock_);
    std::vector<std::string> items;
    items.reserve(entries_.size() * 2);
    for (const auto& [name, value] : entries_) {
        items.push_back(name);
        items.push_back(value);
    }
    return EncodeList(items);
}

void VariableStore::SetListText(std::string_view text) {
    std::vector<std::string> items = DecodeList(text);
    std::lock_guard<std::mutex> guard(lock_);
    entries_.clear();
    for (std::size_t i = 0; i < items.size(); i += 2) {
        std::string value = i + 1 < items.size() ? items[i + 1] : std::string();
        if (items[i].empty()) continue;
        std::size_t at = Find(items[i]);
        if (at == std::string::npos)
            entries_.emplace_back(items[i], std::move(value));
        else
            entries_[at].second = std::move(value);
    }
}

std::string VariableStore::ExpandText(std::string_view text) const {
    std::lock_guard<std::mutex> guard(lock_);
    std::string current(text);
    for (int pass = 0; pass < kMaxExpansionPasses; ++pass) {
        std::string result = ReplaceText(current, "$NEWLINE$", "\r\n", true, true);
        for (const auto& [name, value] : entries_) {
            if (result.find('$') == std::string::npos) break;
            result = ReplaceText(result, "$" + name + "$", value, true, true);
            if (result.size() > kMaxExpandedLength) return current;
        }
        if (result.find('$') == std::string::npos || result == current) return result;
        current = std::move(result);
    }
    return current;
}

std::string VariableStore::ExpandPath(std::string_view text) const { return NormalizePath(ExpandText(text)); }

void VariableStore::SetPresetProtection(std::vector<std::string> presetNames, bool silent) {
    std::lock_guard<std::mutex> guard(lock_);
    presetNames_ = std::move(presetNames);
    silent_ = silent;
}

void VariableStore::SetSilent(bool silent) {
    std::lock_guard<std::mutex> guard(lock_);
    silent_ = silent;
}

NameValueList VariableStore::Snapshot() const {
    std::lock_guard<std::mutex> guard(lock_);
    return entries_;
}

std::string StripReference(std::string_view text) {
    if (text.size() < 2 || text.front() != '$') return {};
    std::size_t next = text.find('$', 1);
    if (next != text.size() - 1) return {};
    return std::string(text.substr(1, text.size() - 2));
}

bool IsTrueText(std::string_view text) { return text == "-1" || UpperAscii(text) == "TRUE"; }

const char* BoolText(bool value) { return value ? "TRUE" : "FALSE"; }

std::string EncodeNewlines(std::string_view text) { return ReplaceText(text, "\r\n", "$NEWLINE$", true, false); }

std::string ReplaceText(std::string_view source, std::string_view pattern, std::string_view replacement, bool all,
                        bool ignoreCase) {
    if (source.empty() || pattern.empty() || source.size() < pattern.size()) return std::string(source);
    std::string haystackStore, needleStore;
    std::string_view haystack = source, needle = pattern;
    if (ignoreCase) {
        haystackStore = Upper8Bit(source);
        needleStore = Upper8Bit(pattern);
        haystack = haystackStore;
        needle = needleStore;
    }
    std::string out;
    std::size_t from = 0;
    for (;;) {
        std::size_t at = haystack.find(needle, from);
        if (at == std::string_view::npos) break;
        out.append(source.substr(from, at - from));
        out.append(replacement);
        from = at + needle.size();
        if (!all) break;
    }
    out.append(source.substr(from));
    return out;
}

std::string NormalizePath(std::string_view text) {
    bool network = StartsWith(text, "\\\\");
    std::string out = ReplaceText(text, "\\\\", "\\", true, false);
    if (network) out.insert(out.begin(), '\\');
    return out;
}

std::string EncodeList(const std::vector<std::string>& items) {
    std::string out;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) out.push_back(',');
        const std::string& item = items[i];
        if (!NeedsQuotes(item)) {
            out.append(item);
            continue;
        }
        out.push_back('"');
        for (char c : item) {
            if (c == '"') out.push_back('"');
            out.push_back(c);
        }
        out.push_back('"');
    }
    return out;
}

std::vector<std::string> DecodeList(std::string_view text) {
    // The list form is a zero-terminated text: a NUL ends it.
    text = text.substr(0, text.find('\0'));
    std::vector<std::string> items;
    std::size_t i = 0, n = text.size();
    auto skipBlanks = [&] {
        while (i < n && (unsigned char)text[i] >= 1 && (unsigned char)text[i] <= 32) ++i;
    };
    skipBlanks();
    if (i >= n) return items;
    for (;;) {
        std::string item;
        if (i < n && text[i] == '"') {
            ++i;
            while (i < n) {
                if (text[i] == '"') {
                    if (i + 1 < n && text[i + 1] == '"') {
                        item.push_back('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                item.push_back(text[i++]);
            }
        } else {
            while (i < n && text[i] != ',' && (unsigned char)text[i] > 32) item.push_back(text[i++]);
        }
        items.push_back(std::move(item));
        skipBlanks();
        if (i < n && text[i] == ',') {
            ++i;
            skipBlanks();
            if (i >= n) {
                items.emplace_back();
                return items;
            }
            continue;
        }
        if (i >= n) return items;
        // Text after an item that is neither a comma nor the end: it starts
        // the next item, as the list reader takes items one after another.
    }
}

}  // namespace qv
