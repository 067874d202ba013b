// The script's variables: ordered name/value texts behind one lock, and the
// expansion of references ("$NAME$") and "$NEWLINE$" inside parameter texts.
#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qv {

using NameValueList = std::vector<std::pair<std::string, std::string>>;

// Source labels that change behaviour: only a preset injection may assign a
// variable that the command line protects in silent mode.
inline constexpr const char* kInjectOverrideSource = "Inject Override Command Line";

class VariableStore {
public:
    // `cancelFlag` mirrors assignments to ABORT (may be null in tests).
    explicit VariableStore(std::atomic<bool>* cancelFlag = nullptr) : cancel_(cancelFlag) {}

    // Appends the name (empty value) when missing, then assigns through Set.
    // An empty name is never stored.
    void Define(std::string_view name, std::string_view value, std::string_view source);
    // Throws ScriptError "Attempting to get value of undefined variable NAME".
    std::string Get(std::string_view name) const;
    // Throws ScriptError "Attempting to set value of undefined variable NAME".
    void Set(std::string_view name, std::string_view value, std::string_view source);
    bool Exists(std::string_view name) const;
    void Clear();

    // The comma list form name1,value1,name2,value2,... in store order.
    std::string ListText() const;
    void SetListText(std::string_view text);

    std::string ExpandText(std::string_view text) const;
    // ExpandText, then doubled backslashes reduced (a leading "\\" kept).
    std::string ExpandPath(std::string_view text) const;

    // Command-line presets protect their variables in silent mode.
    void SetPresetProtection(std::vector<std::string> presetNames, bool silent);
    void SetSilent(bool silent);

    NameValueList Snapshot() const;

private:
    std::size_t Find(std::string_view name) const;  // npos when missing; lock held
    void SetLocked(std::string_view name, std::string_view value, std::string_view source);

    mutable std::mutex lock_;
    NameValueList entries_;
    std::vector<std::string> presetNames_;
    bool silent_ = false;
    std::atomic<bool>* cancel_;
};

// "$A$" gives A; anything else (a bare name, "$A", "$A$$B$") gives "".
std::string StripReference(std::string_view text);
// True for "TRUE" in any letter case, or exactly "-1".
bool IsTrueText(std::string_view text);
const char* BoolText(bool value);
// Every CR LF replaced by "$NEWLINE$".
std::string EncodeNewlines(std::string_view text);

// The replacement primitive shared by expansion, Replace String and path
// normalisation. With ignoreCase the matching compares 8-bit upper-cased
// copies while unmatched text is copied from the source.
std::string ReplaceText(std::string_view source, std::string_view pattern, std::string_view replacement,
                        bool all, bool ignoreCase);
// Pairs of backslashes reduced to one, left to right; a leading pair survives.
std::string NormalizePath(std::string_view text);

// The comma list form of any sequence of items.
std::string EncodeList(const std::vector<std::string>& items);
std::vector<std::string> DecodeList(std::string_view text);

}  // namespace qv
