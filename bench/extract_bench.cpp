// Extraction speed of the 7z reader against 7-Zip's own single-threaded
// decoder: the same archives of the same payload, each extracted to disk by
// both, in one run. Each extraction runs in a process of its own so that
// wall time and peak memory are measured alike for both.
//
//   extract_bench [work folder]
//
// The payload and the archives stay in the work folder between runs.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "archive/sevenzip/archive.h"
#include "archive/sevenzip/archive_error.h"
#include "archive/sevenzip/builtin_coders.h"
#include "archive/sevenzip/extractor.h"
#include "archive/sevenzip/file_source.h"
#include "payload.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace qv::sevenzip;

constexpr int kRounds = 3;
constexpr const char* kPassword = "bench-password";
constexpr std::uint64_t kUnixEpochAsFileTime = 116444736000000000ull;

struct Case {
    const char* name;
    const char* archive;
    std::vector<std::string> switches;
    bool encrypted;
};

const Case kCases[] = {
    {"LZMA2 + BCJ", "lzma2-bcj.7z", {"-m0=lzma2", "-mf=BCJ"}, false},
    {"LZMA", "lzma.7z", {"-m0=lzma", "-mf=off"}, false},
    {"AES-256 + LZMA2", "aes-lzma2.7z", {"-m0=lzma2", "-mf=off", std::string("-p") + kPassword, "-mhe=on"}, true},
};

// Files written straight to their names, as 7-Zip writes them.
class DiskFile : public OutputFile {
public:
    DiskFile(const fs::path& path, const Entry& entry) : path_(path), entry_(entry), file_(std::fopen(path.c_str(), "wb")) {
        if (file_ == nullptr) throw ArchiveError(ArchiveErrorKind::WriteFailed, "cannot create " + path.string());
    }
    ~DiskFile() override {
        if (file_ != nullptr) std::fclose(file_);
    }
    void Write(const std::uint8_t* data, std::size_t size) override {
        if (std::fwrite(data, 1, size, file_) != size) throw ArchiveError(ArchiveErrorKind::WriteFailed, "cannot write");
    }
    void Commit() override {
        if (std::fclose(file_) != 0) throw ArchiveError(ArchiveErrorKind::WriteFailed, "cannot write");
        file_ = nullptr;
        if (!entry_.modified) return;
        const std::uint64_t units = *entry_.modified - kUnixEpochAsFileTime;
        struct timespec times[2];
        times[0].tv_sec = times[1].tv_sec = static_cast<time_t>(units / 10000000u);
        times[0].tv_nsec = times[1].tv_nsec = static_cast<long>(units % 10000000u * 100);
        utimensat(AT_FDCWD, path_.c_str(), times, 0);
    }

private:
    fs::path path_;
    const Entry& entry_;
    std::FILE* file_;
};

class DiskTarget : public ExtractTarget {
public:
    explicit DiskTarget(fs::path root) : root_(std::move(root)) {}
    void MakeFolder(const std::vector<std::string>& path) override { fs::create_directories(Resolve(path)); }
    std::unique_ptr<OutputFile> CreateOutputFile(const Entry& entry, const std::vector<std::string>& path) override {
        const fs::path file = Resolve(path);
        fs::create_directories(file.parent_path());
        return std::make_unique<DiskFile>(file, entry);
    }
    void FinishFolder(const Entry&, const std::vector<std::string>&) override {}

private:
    fs::path Resolve(const std::vector<std::string>& path) const {
        fs::path p = root_;
        for (const auto& name : path) p /= name;
        return p;
    }
    fs::path root_;
};

// The child's work: one extraction with our reader.
int ExtractWithOurReader(const fs::path& archivePath, const fs::path& out, const char* password) {
    try {
        DecodeOptions options;
        options.coders = &BuiltInCoders();
        if (password != nullptr) {
            const std::string p = password;
            options.password = [p] { return std::u16string(p.begin(), p.end()); };
        }
        Archive archive(std::make_unique<StdFileSource>(archivePath), options);
        DiskTarget target(out);
        ExtractEntries(archive, AllEntries(archive), target);
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "extraction failed: " << e.what() << "\n";
        return 1;
    }
}

struct Run {
    double seconds = 0;     // wall time
    double cpuSeconds = 0;  // user and system time
    long peakKiB = 0;
};

double Seconds(const struct timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

// Runs the program to its end; its wall time and peak resident memory.
Run Measure(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot run " + args[0]);
    int status = 0;
    struct rusage usage {};
    wait4(pid, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) throw std::runtime_error(args[0] + " failed");
    return {std::chrono::duration<double>(end - start).count(), Seconds(usage.ru_utime) + Seconds(usage.ru_stime),
            usage.ru_maxrss};
}

void MakeArchive(const fs::path& payload, const fs::path& archive, const Case& c) {
    if (fs::exists(archive)) return;
    std::cout << "making " << archive.filename().string() << " ..." << std::endl;
    const fs::path part = archive.string() + ".part.7z";
    std::string command = "cd '" + payload.string() + "' && 7zz a -t7z -bso0 -bsp0 '" + part.string() + "'";
    for (const auto& s : c.switches) command += " '" + s + "'";
    command += " -- bin include compressed text";
    if (std::system(command.c_str()) != 0) throw std::runtime_error("7zz could not make " + archive.string());
    fs::rename(part, archive);
}

std::string MethodOf(const fs::path& archive, bool encrypted) {
    const std::string command = "7zz l -slt " + std::string(encrypted ? "-p" : "") + (encrypted ? kPassword : "") +
                                " '" + archive.string() + "' | grep -m1 '^Method = '";
    std::string method;
    if (std::FILE* pipe = popen(command.c_str(), "r")) {
        char line[256];
        if (std::fgets(line, sizeof line, pipe)) method = line + 9;
        pclose(pipe);
    }
    method.erase(std::remove(method.begin(), method.end(), '\n'), method.end());
    return method;
}

bool SameTrees(const fs::path& a, const fs::path& b) {
    std::vector<fs::path> files;
    for (const auto& e : fs::recursive_directory_iterator(a))
        if (e.is_regular_file()) files.push_back(fs::relative(e.path(), a));
    std::size_t inB = 0;
    for (const auto& e : fs::recursive_directory_iterator(b)) inB += e.is_regular_file();
    if (inB != files.size()) return false;
    std::vector<char> x(1 << 20), y(1 << 20);
    for (const fs::path& f : files) {
        std::ifstream fa(a / f, std::ios::binary), fb(b / f, std::ios::binary);
        if (!fb) return false;
        while (fa && fb) {
            fa.read(x.data(), static_cast<std::streamsize>(x.size()));
            fb.read(y.data(), static_cast<std::streamsize>(y.size()));
            if (fa.gcount() != fb.gcount() || std::memcmp(x.data(), y.data(), static_cast<std::size_t>(fa.gcount())) != 0)
                return false;
        }
    }
    return true;
}

int RunBenchmark(const std::string& self, const fs::path& work) {
    fs::create_directories(work);
    const fs::path payload = work / "payload";
    const std::uint64_t bytes = qv::bench::MakePayload(payload);
    const double mb = static_cast<double>(bytes) / 1e6;
    std::printf("payload: %.1f MB (binaries, headers, compressed files, text)\n", mb);

    std::printf("\nthroughput in MB/s of unpacked data: wall time (CPU time), best of %d runs each\n", kRounds);
    std::printf("%-16s %-18s %8s %18s %18s %13s %8s %8s\n", "archive", "method", "packed", "ours", "7zz x -mmt1",
                "ratio", "ours RSS", "7zz RSS");
    bool allSame = true;
    for (const Case& c : kCases) {
        const fs::path archive = work / c.archive;
        MakeArchive(payload, archive, c);
        const fs::path oursOut = work / "out-ours", theirsOut = work / "out-7zz";
        Run ours{1e9, 1e9, 0}, theirs{1e9, 1e9, 0};
        for (int round = 0; round < kRounds; ++round) {
            fs::remove_all(oursOut);
            std::vector<std::string> ourArgs = {self, "--extract", archive.string(), oursOut.string()};
            if (c.encrypted) ourArgs.push_back(kPassword);
            const Run o = Measure(ourArgs);
            fs::remove_all(theirsOut);
            std::vector<std::string> theirArgs = {"7zz", "x", "-mmt1", "-bso0", "-bsp0", "-y", "-o" + theirsOut.string()};
            if (c.encrypted) theirArgs.push_back(std::string("-p") + kPassword);
            theirArgs.push_back(archive.string());
            const Run t = Measure(theirArgs);
            for (auto [best, run] : {std::pair<Run*, const Run*>{&ours, &o}, {&theirs, &t}}) {
                best->seconds = std::min(best->seconds, run->seconds);
                best->cpuSeconds = std::min(best->cpuSeconds, run->cpuSeconds);
                best->peakKiB = std::max(best->peakKiB, run->peakKiB);
            }
        }
        const bool same = SameTrees(theirsOut, oursOut);
        allSame = allSame && same;
        auto rate = [mb](const Run& r) {
            char text[32];
            std::snprintf(text, sizeof text, "%.1f (%.1f)", mb / r.seconds, mb / r.cpuSeconds);
            return std::string(text);
        };
        char ratio[32];
        std::snprintf(ratio, sizeof ratio, "%.3f (%.3f)", theirs.seconds / ours.seconds, theirs.cpuSeconds / ours.cpuSeconds);
        std::printf("%-16s %-18s %5.1f MB %18s %18s %13s %5.1f MB %5.1f MB%s\n", c.name,
                    MethodOf(archive, c.encrypted).c_str(), static_cast<double>(fs::file_size(archive)) / 1e6,
                    rate(ours).c_str(), rate(theirs).c_str(), ratio, static_cast<double>(ours.peakKiB) / 1024,
                    static_cast<double>(theirs.peakKiB) / 1024, same ? "" : "  OUTPUT DIFFERS");
        fs::remove_all(oursOut);
        fs::remove_all(theirsOut);
    }
    std::printf("\nratio = our throughput / 7-Zip's; RSS = peak resident memory of the extracting process\n");
    return allSame ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        if (argc >= 4 && std::string(argv[1]) == "--extract")
            return ExtractWithOurReader(argv[2], argv[3], argc >= 5 ? argv[4] : nullptr);
        const std::string self = fs::canonical("/proc/self/exe").string();
        return RunBenchmark(self, fs::absolute(argc >= 2 ? fs::path(argv[1]) : fs::path("bench-work")));
    } catch (const std::exception& e) {
        std::cerr << "extract_bench: " << e.what() << "\n";
        return 1;
    }
}
