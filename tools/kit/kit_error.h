// Errors of the authoring kit: one line of text for the user, exit code 2.
#pragma once

#include <stdexcept>

namespace qv::kit {

class KitError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace qv::kit
