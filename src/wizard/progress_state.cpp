#include "wizard/progress_state.h"

#include <algorithm>
#include <limits>

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

ProgressBarValues ScaleForProgressBar(std::int64_t minimum, std::int64_t maximum, std::int64_t position) {
    const std::int64_t divisor = maximum >= (std::int64_t(1) << 31) ? 1024 : 1;
    // Still too large after scaling (beyond 2 TiB): pinned to the range
    // rather than wrapped into nonsense.
    auto fit = [divisor](std::int64_t v) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(v / divisor, std::numeric_limits<std::int32_t>::min(),
                                                                  std::numeric_limits<std::int32_t>::max()));
    };
    return {fit(minimum), fit(maximum), fit(position)};
}

}  // namespace qv
