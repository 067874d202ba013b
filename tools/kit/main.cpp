// quorvex-kit: makes finished setups from a project description, checks the
// package of a finished setup, and compiles dialog text forms.
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include <unistd.h>

#include "form_compiler.h"
#include "kit_error.h"
#include "project.h"
#include "setup_builder.h"
#include "setup_check.h"

namespace fs = std::filesystem;
using qv::kit::KitError;

namespace {

constexpr const char* kUsage =
    "usage: quorvex-kit build PROJECT.json --out DIR [--stub PATH] [--zor PATH]\n"
    "       quorvex-kit check SETUP.exe|PACKAGE\n"
    "       quorvex-kit form IN.txt OUT.dfm\n";

// The kit is installed as dist/kit/quorvex-kit beside dist/quorvex.exe and
// dist/zor.dll.
fs::path BesideKit(const char* name) {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec) throw KitError(std::string("cannot locate the kit's own folder; pass the path of ") + name + " explicitly");
    return self.parent_path().parent_path() / name;
}

int Build(const std::vector<std::string>& args) {
    std::string project, out, stub, zor;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string* option = a == "--out" ? &out : a == "--stub" ? &stub : a == "--zor" ? &zor : nullptr;
        if (option) {
            if (i + 1 >= args.size()) throw KitError(a + " needs a path");
            *option = args[++i];
        } else if (!a.empty() && a[0] == '-') {
            throw KitError("unknown option " + a);
        } else if (project.empty()) {
            project = a;
        } else {
            throw KitError("more than one project file given: " + a);
        }
    }
    if (project.empty() || out.empty()) throw KitError("build needs a project file and --out DIR");

    qv::kit::KitProject p = qv::kit::ReadProjectFile(project);
    qv::kit::BuildTools tools{stub.empty() ? BesideKit("quorvex.exe") : fs::path(stub),
                              zor.empty() ? BesideKit("zor.dll") : fs::path(zor)};
    auto parts = qv::kit::BuildSetup(p, out, tools);
    std::cout << "built " << (fs::path(out) / (p.setupName + ".exe")).string() << " ("
              << p.script.commandCount() << " commands):";
    for (const auto& part : parts) std::cout << " " << part;
    std::cout << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
            std::cout << kUsage;
            return 0;
        }
        if (!args.empty() && args[0] == "build") return Build({args.begin() + 1, args.end()});
        if (args.size() == 2 && args[0] == "check") return qv::kit::CheckSetup(args[1], std::cout);
        if (args.size() == 3 && args[0] == "form") {
            qv::kit::CompileFormFile(args[1], args[2]);
            return 0;
        }
        std::cerr << kUsage;
        return 2;
    } catch (const KitError& e) {
        std::cerr << "quorvex-kit: " << e.what() << "\n";
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "quorvex-kit: unexpected failure: " << e.what() << "\n";
        return 2;
    }
}
