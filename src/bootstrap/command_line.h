// The stub's command line: switches, presets and the tail that is published
// as CMDLINE and handed on by Reboot and Resume.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/variable_store.h"

namespace qv {

struct CommandLine {
    std::string tail;            // the command line without its program part
    bool silent = false;         // "/s" or "-s"
    std::string sfxPath;         // "/m=": the self-extracting package, lower-cased
    std::string logPath;         // "/l=" or "-l=", lower-cased
    std::string sourcePath;      // "/p=" or "-p=", lower-cased
    std::string password;        // "/k=" or "-k=", letter case kept
    std::string tracePath;       // "/trace=": the diagnostic trace, letter case kept
    NameValueList presets;       // NAME=VALUE arguments, in command-line order
};

// Splits a command line into arguments: blanks separate, double quotes group
// and are removed.
std::vector<std::string> SplitArguments(std::string_view commandLine);

// The text after the program part: after the closing quote and one more
// character when the line starts with a quote, else after the first space.
std::string CommandLineTail(std::string_view commandLine);

// Parses the whole process command line (program part included).
CommandLine ParseCommandLine(std::string_view commandLine);

}  // namespace qv
