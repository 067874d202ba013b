// The script's components: named, selectable parts of the product with a
// description and a size, and the feature selection file that keeps a
// selection between runs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bootstrap/package.h"

namespace qv {

// The component every script has; never shown in the component lists.
inline constexpr const char* kPredefinedComponent = "VOSK-PREDEF-COMPONENT";

class ComponentTable {
public:
    void Clear();
    // Appends a new component, or for an existing one replaces the
    // description and sets the state only when it has none yet.
    void Define(const std::string& name, const std::string& description, bool selected,
                std::vector<ComponentSize>& sizes);
    // Index of the first component of that name (letter case ignored), or -1.
    int Position(const std::string& name) const;
    bool IsSelected(const std::string& name) const;
    void SetState(int position, bool selected);

    std::size_t size() const { return names_.size(); }
    const std::string& name(std::size_t i) const { return names_[i]; }
    const std::string& state(std::size_t i) const { return states_[i]; }
    std::string description(std::size_t i) const { return i < descriptions_.size() ? descriptions_[i] : std::string(); }

    // Appends as loaded from a cached selection (descriptions stay empty).
    void AppendLoaded(const std::string& name, const std::string& state);

private:
    std::vector<std::string> names_;
    std::vector<std::string> states_;
    std::vector<std::string> descriptions_;
};

// The size of a component: 0 when it is not in the table or has no size.
std::int64_t ComponentBytes(const ComponentTable& table, const std::vector<ComponentSize>& sizes,
                            const std::string& name);

// The feature selection file: names, "$", states, "$", TARGETDIR, ALLUSERS,
// STARTMENU, and in the product cache's copy the data folder's short form.
struct FeatureSelection {
    std::vector<std::string> names;
    std::vector<std::string> states;
    std::string targetDir;
    std::string allUsers;
    std::string startMenu;
};

FeatureSelection ParseFeatureSelection(const std::string& text);

// Update mode of loading a selection: every component named in it takes the
// loaded state; names the table does not know are passed over. Throws
// ListIndexError when the states section is shorter than the names.
void ApplyLoadedStates(ComponentTable& table, const FeatureSelection& loaded);

// A whole number of 64 bits: optional blanks, optional sign, decimal digits
// or hexadecimal after "$" or "0x".
std::optional<std::int64_t> ParseInt64(const std::string& text);

// "Set Component Space": for a defined component and a valid size, replaces
// the size of its first entry or appends one. False when nothing changed.
bool SetComponentSpace(const ComponentTable& table, std::vector<ComponentSize>& sizes, const std::string& name,
                       const std::string& sizeText);

// The sum of the sizes of the selected components, minus what the previous
// selection already occupies.
std::int64_t RequiredSpace(const ComponentTable& table, const std::vector<ComponentSize>& sizes,
                           std::int64_t baseline);

class VariableStore;
// The folder whose drive the available space is measured on: TARGETDIR
// expanded; nothing when it is empty or not defined (available space -1).
std::optional<std::string> SpaceTargetFolder(const VariableStore& vars);

// A byte count for dialog texts: "1,023 bytes", "1,024 KB", "2,048 MB"
// (thousands grouped, the unit from the message table).
std::string FormatSize(std::int64_t bytes);
std::string WriteFeatureSelection(const ComponentTable& table, const std::string& targetDir,
                                  const std::string& allUsers, const std::string& startMenu,
                                  const std::string* shortDataFolder);

}  // namespace qv
