#include "engine/trace.h"

#include "engine/variable_store.h"

namespace qv {

Trace::~Trace() {
    if (file_) std::fclose(file_);
}

void Trace::Open(const std::string& path) {
    if (file_) std::fclose(file_);
    file_ = std::fopen(path.c_str(), "wb");
}

void Trace::Line(std::string_view text) {
    if (!file_) return;
    std::string line = EncodeNewlines(text);
    for (char& c : line)
        if (c == '\r' || c == '\n') c = ' ';
    line.append("\r\n");
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fflush(file_);
}

}  // namespace qv
