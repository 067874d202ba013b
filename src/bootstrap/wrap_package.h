// Turns a package file into a runnable setup executable in place.
#pragma once

#include <string>

namespace qv::win {

// P + ".to" gets the running stub's image followed by P's content; then P
// becomes P + ".nox" and P + ".to" becomes P. False when a step fails (files
// already written stay as they are).
bool WrapPackage(const std::string& packagePath);

}  // namespace qv::win
