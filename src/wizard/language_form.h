// The language selection form: a small modal dialog with an icon, a label, a
// drop-down list of the offered languages, OK and Cancel.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace qv::win {

class TSetLanguage {
public:
    TSetLanguage(std::vector<std::string> languages, std::size_t preselected);

    // Shows the form centred on the screen and waits: the index of the
    // language chosen with OK, or nothing for Cancel, Esc or the close box.
    std::optional<std::size_t> ShowModal();

private:
    std::vector<std::string> languages_;
    std::size_t preselected_;
};

}  // namespace qv::win
