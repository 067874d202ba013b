#include "run_tool.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "kit_error.h"

namespace qv::kit {

namespace {

class Fd {
public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    void reset() {
        if (fd_ >= 0) close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

// The last lines of a tool's output are the ones that say what went wrong;
// they go into the one-line message joined by " | ".
std::string Summary(const std::string& output) {
    std::string text;
    std::size_t start = 0;
    while (start < output.size()) {
        std::size_t end = output.find('\n', start);
        if (end == std::string::npos) end = output.size();
        std::string line = output.substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (!line.empty()) text += (text.empty() ? "" : " | ") + line;
        start = end + 1;
    }
    if (text.size() > 600) text = "..." + text.substr(text.size() - 600);
    return text;
}

}  // namespace

std::string RunTool(const std::vector<std::string>& argv, const std::filesystem::path& folder) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) throw KitError(std::string("cannot create a pipe: ") + std::strerror(errno));
    Fd readEnd(pipeFds[0]), writeEnd(pipeFds[1]);

    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::string dir = folder.string();

    pid_t pid = fork();
    if (pid < 0) throw KitError(std::string("cannot start ") + argv[0] + ": " + std::strerror(errno));
    if (pid == 0) {
        // Child: only async-signal-safe calls until exec.
        dup2(writeEnd.get(), 1);
        dup2(writeEnd.get(), 2);
        int in = open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (in >= 0) dup2(in, 0);
        if (!dir.empty() && chdir(dir.c_str()) != 0) {
            const char msg[] = "cannot enter the working folder\n";
            (void)!write(2, msg, sizeof msg - 1);
            _exit(127);
        }
        execvp(args[0], args.data());
        const char* err = std::strerror(errno);
        (void)!write(2, "cannot run: ", 12);
        (void)!write(2, err, std::strlen(err));
        _exit(127);
    }
    writeEnd.reset();
    std::string output;
    char buffer[4096];
    for (;;) {
        ssize_t n = read(readEnd.get(), buffer, sizeof buffer);
        if (n > 0) output.append(buffer, std::size_t(n));
        else if (n == 0 || errno != EINTR) break;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return output;
    std::string how = WIFEXITED(status) ? "exit code " + std::to_string(WEXITSTATUS(status)) : "killed by a signal";
    throw KitError(argv[0] + " failed (" + how + "): " + Summary(output));
}

}  // namespace qv::kit
