#include "payload.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <string>
#include <system_error>
#include <vector>

namespace qv::bench {
namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kMiB = 1 << 20;

// Regular files below root whose names pass the test, in name order, until
// budget bytes are taken; none larger than a tenth of the budget.
std::vector<fs::path> Pick(const fs::path& root, bool (*wanted)(const fs::path&), std::uint64_t budget) {
    std::vector<fs::path> all;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, fs::directory_options::skip_permission_denied, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (ec) break;
        if (it->is_symlink() || !it->is_regular_file() || !wanted(it->path())) continue;
        all.push_back(it->path());
    }
    std::sort(all.begin(), all.end());
    std::vector<fs::path> picked;
    std::uint64_t total = 0;
    for (const fs::path& p : all) {
        const std::uint64_t size = fs::file_size(p, ec);
        if (ec || size == 0 || size > budget / 10) continue;
        if (total + size > budget) break;
        picked.push_back(p);
        total += size;
    }
    return picked;
}

bool Anything(const fs::path&) { return true; }
bool Header(const fs::path& p) { return p.extension() == ".h" || p.extension() == ".hpp"; }
bool Compressed(const fs::path& p) { return p.extension() == ".gz" || p.extension() == ".png"; }

std::uint64_t CopyAll(const std::vector<fs::path>& files, const fs::path& into) {
    fs::create_directories(into);
    std::uint64_t total = 0;
    std::size_t n = 0;
    for (const fs::path& f : files) {
        // Flattened, numbered names: the same file name may come from many folders.
        const fs::path target = into / (std::to_string(n++) + "-" + f.filename().string());
        fs::copy_file(f, target, fs::copy_options::overwrite_existing);
        total += fs::file_size(target);
    }
    return total;
}

// Sentences from a fixed vocabulary with a skewed word choice, in files of
// varying size: text that compresses like prose.
std::uint64_t GenerateText(const fs::path& into, std::uint64_t budget) {
    static const char* const kWords[] = {
        "the", "setup", "installs", "files", "into", "folder", "of", "a", "product", "and", "registry", "values",
        "for", "each", "user", "component", "feature", "is", "selected", "when", "program", "runs", "with",
        "options", "archive", "contains", "data", "version", "update", "window", "shows", "progress", "system",
        "service", "configuration", "network", "shortcut", "desktop", "license", "agreement", "accept", "cancel"};
    constexpr std::size_t kCount = sizeof kWords / sizeof kWords[0];
    fs::create_directories(into);
    std::mt19937 rng(20240611);
    std::geometric_distribution<std::size_t> skew(0.12);
    std::uint64_t total = 0;
    for (int file = 0; total < budget; ++file) {
        const std::uint64_t size = std::min<std::uint64_t>(budget - total, 64 * 1024 + rng() % (2 * kMiB));
        std::string text;
        text.reserve(size + 64);
        while (text.size() < size) {
            const int words = 5 + static_cast<int>(rng() % 15);
            for (int w = 0; w < words; ++w) {
                text += kWords[std::min(skew(rng), kCount - 1)];
                text += w + 1 < words ? ' ' : '.';
            }
            text += rng() % 6 == 0 ? "\n\n" : " ";
        }
        text.resize(size);
        std::ofstream(into / ("text-" + std::to_string(file) + ".txt"), std::ios::binary) << text;
        total += size;
    }
    return total;
}

}  // namespace

std::uint64_t MakePayload(const fs::path& folder) {
    const fs::path done = folder / ".complete";
    if (fs::exists(done)) {
        std::uint64_t total = 0;
        for (const auto& e : fs::recursive_directory_iterator(folder))
            if (e.is_regular_file() && e.path() != done) total += e.file_size();
        return total;
    }
    fs::remove_all(folder);
    std::uint64_t total = 0;
    total += CopyAll(Pick("/usr/bin", Anything, 60 * kMiB), folder / "bin");
    total += CopyAll(Pick("/usr/include", Header, 25 * kMiB), folder / "include");
    total += CopyAll(Pick("/usr/share", Compressed, 30 * kMiB), folder / "compressed");
    total += GenerateText(folder / "text", 35 * kMiB);
    std::ofstream(done) << total << "\n";
    return total;
}

}  // namespace qv::bench
