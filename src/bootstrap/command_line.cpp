#include "bootstrap/command_line.h"

#include "common/text.h"

namespace qv {

std::vector<std::string> SplitArguments(std::string_view line) {
    std::vector<std::string> args;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (unsigned char)line[i] <= ' ') ++i;
        if (i >= line.size()) break;
        std::string arg;
        bool quoted = false;
        while (i < line.size() && (quoted || (unsigned char)line[i] > ' ')) {
            if (line[i] == '"')
                quoted = !quoted;
            else
                arg.push_back(line[i]);
            ++i;
        }
        args.push_back(std::move(arg));
    }
    return args;
}

std::string CommandLineTail(std::string_view line) {
    if (!line.empty() && line[0] == '"') {
        std::size_t close = line.find('"', 1);
        if (close == std::string_view::npos || close + 2 > line.size()) return {};
        return std::string(line.substr(close + 2));
    }
    std::size_t space = line.find(' ');
    if (space == std::string_view::npos) return {};
    return std::string(line.substr(space + 1));
}

CommandLine ParseCommandLine(std::string_view line) {
    CommandLine cl;
    cl.tail = CommandLineTail(line);
    std::vector<std::string> args = SplitArguments(line);
    bool haveSfx = false, haveLog = false, haveSource = false, havePassword = false, haveTrace = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string lower = LowerAscii(a);
        auto value = [&] { return a.substr(3); };
        if (lower == "/s" || lower == "-s") {
            cl.silent = true;
        } else if (StartsWith(lower, "/m=")) {
            if (!haveSfx) cl.sfxPath = Lower8Bit(value());
            haveSfx = true;
        } else if (StartsWith(lower, "/l=") || StartsWith(lower, "-l=")) {
            if (!haveLog) cl.logPath = Lower8Bit(value());
            haveLog = true;
        } else if (StartsWith(lower, "/p=") || StartsWith(lower, "-p=")) {
            if (!haveSource) cl.sourcePath = Lower8Bit(value());
            haveSource = true;
        } else if (StartsWith(lower, "/k=") || StartsWith(lower, "-k=")) {
            if (!havePassword) cl.password = value();
            havePassword = true;
        } else if (StartsWith(lower, "/trace=")) {
            if (!haveTrace) cl.tracePath = a.substr(7);
            haveTrace = true;
        } else if (a[0] != '/' && a[0] != '-') {
            std::size_t eq = a.find('=');
            if (eq != std::string::npos) cl.presets.emplace_back(a.substr(0, eq), a.substr(eq + 1));
        }
    }
    return cl;
}

}  // namespace qv
