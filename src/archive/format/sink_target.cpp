#include "archive/format/sink_target.h"

#include "archive/bridge/status.h"

namespace qv::format {

using sevenzip::Entry;

namespace {

// The names as the sink takes them; valid while path lives.
std::vector<const char*> Names(const std::vector<std::string>& path) {
    std::vector<const char*> names;
    names.reserve(path.size());
    for (const std::string& name : path) names.push_back(name.c_str());
    return names;
}

class SinkFile : public sevenzip::OutputFile {
public:
    SinkFile(const QvExtractSink& sink, void* file) : sink_(sink), file_(file) {}
    ~SinkFile() override {
        if (file_ != nullptr) sink_.discard(sink_.context, file_);
    }

    void Write(const std::uint8_t* data, std::size_t size) override {
        while (size > 0) {
            const auto n = static_cast<std::uint32_t>(std::min<std::size_t>(size, 1u << 30));
            Check(sink_.write(sink_.context, file_, data, n));
            data += n;
            size -= n;
        }
    }

    void Commit() override {
        void* const file = file_;
        file_ = nullptr;  // committing ends the file, whatever its result
        Check(sink_.commit(sink_.context, file));
    }

private:
    const QvExtractSink& sink_;
    void* file_;
};

}  // namespace

void Check(std::int32_t code) {
    if (code == kQvOk) return;
    QvStatus status;
    bridge::SetStatus(&status, code, code == kQvCancelled ? "The extraction was cancelled" : "The extraction target failed");
    bridge::ThrowStatus(status);
}

std::uint32_t SinkTarget::IndexOf(const Entry& entry) const {
    return static_cast<std::uint32_t>(&entry - entries_.data());
}

void SinkTarget::MakeFolder(const std::vector<std::string>& path) {
    const std::vector<const char*> names = Names(path);
    Check(sink_.makeFolder(sink_.context, names.data(), static_cast<std::uint32_t>(names.size())));
}

std::unique_ptr<sevenzip::OutputFile> SinkTarget::CreateOutputFile(const Entry& entry,
                                                                   const std::vector<std::string>& path) {
    const std::vector<const char*> names = Names(path);
    void* file = nullptr;
    Check(sink_.openFile(sink_.context, IndexOf(entry), names.data(), static_cast<std::uint32_t>(names.size()), &file));
    if (file == nullptr) return nullptr;
    try {
        return std::make_unique<SinkFile>(sink_, file);
    } catch (...) {
        sink_.discard(sink_.context, file);
        throw;
    }
}

void SinkTarget::FinishFolder(const Entry& entry, const std::vector<std::string>& path) {
    const std::vector<const char*> names = Names(path);
    Check(sink_.finishFolder(sink_.context, IndexOf(entry), names.data(), static_cast<std::uint32_t>(names.size())));
}

bool SinkTarget::Progress(const Entry& entry, std::uint64_t done, std::uint64_t total) {
    return sink_.progress(sink_.context, IndexOf(entry), done, total) != 0;
}

}  // namespace qv::format
