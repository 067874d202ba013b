// The script's components: named, selectable parts of the product with a
// description and a size, and the feature selection file that keeps a
// selection between runs.
#pragma once

#include <cstdint>
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
std::string WriteFeatureSelection(const ComponentTable& table, const std::string& targetDir,
                                  const std::string& allUsers, const std::string& startMenu,
                                  const std::string* shortDataFolder);

}  // namespace qv
