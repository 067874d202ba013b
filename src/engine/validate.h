// The validation pass that runs before the first command: block balance,
// labels, required parameters and the variables that commands name.
#pragma once

#include <optional>
#include <string>

#include "bootstrap/package.h"

namespace qv {

struct ValidationFailure {
    std::size_t position = 0;  // 0-based position of the failing command
    std::string text;          // the diagnostic
};

// Nothing when the script passes; otherwise the first failure.
std::optional<ValidationFailure> ValidateScript(const SetupScript& script);

}  // namespace qv
