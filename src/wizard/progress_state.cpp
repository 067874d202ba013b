#include "wizard/progress_state.h"

namespace qv {

void ProgressState::Set(const std::string& caption, std::int64_t minimum, std::int64_t maximum,
                        std::int64_t position) {
    if (caption == kKeepProgressMarker) return;
    std::lock_guard<std::mutex> guard(lock_);
    values_.caption = caption;
    if (position == -1) return;
    values_.minimum = minimum;
    values_.maximum = maximum;
    values_.position = position;
}

ProgressValues ProgressState::Get() const {
    std::lock_guard<std::mutex> guard(lock_);
    return values_;
}

}  // namespace qv
