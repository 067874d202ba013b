// The progress of the current long operation: a caption and 64-bit values
// behind one lock, written by the engine and by worker threads, shown by the
// page on screen at its next timer tick.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

namespace qv {

// As a caption: keep the caption and values that are stored.
inline constexpr const char* kKeepProgressMarker = "$VOSK$";

struct ProgressValues {
    std::string caption;
    std::int64_t minimum = 0;
    std::int64_t maximum = 0;
    std::int64_t position = 0;
};

class ProgressState {
public:
    // The keep-marker changes nothing; a position of -1 changes only the
    // caption. Any thread.
    void Set(const std::string& caption, std::int64_t minimum, std::int64_t maximum, std::int64_t position);
    ProgressValues Get() const;
    // The values while the caller holds lock().
    const ProgressValues& ValuesLocked() const { return values_; }

    // Workers keep their own progress fields under the same lock.
    std::mutex& lock() const { return lock_; }

private:
    mutable std::mutex lock_;
    ProgressValues values_;
};

// What a progress bar shows: values that do not fit its 32-bit range are
// scaled down by 1024, all three alike.
struct ProgressBarValues {
    std::int32_t minimum = 0;
    std::int32_t maximum = 0;
    std::int32_t position = 0;
};
ProgressBarValues ScaleForProgressBar(std::int64_t minimum, std::int64_t maximum, std::int64_t position);

}  // namespace qv
