// Handles of the installer's database, view, record, summary and session
// objects: closed through msi.dll when their owner goes.
#pragma once

#include <utility>

namespace qv::win {

using MsiHandleValue = unsigned long;  // MSIHANDLE: 32 bits on both platforms

class MsiHandle {
public:
    MsiHandle() = default;
    explicit MsiHandle(MsiHandleValue value) : value_(value) {}
    MsiHandle(const MsiHandle&) = delete;
    MsiHandle& operator=(const MsiHandle&) = delete;
    MsiHandle(MsiHandle&& other) noexcept : value_(std::exchange(other.value_, 0)) {}
    MsiHandle& operator=(MsiHandle&& other) noexcept {
        if (this != &other) reset(std::exchange(other.value_, 0));
        return *this;
    }
    ~MsiHandle() { reset(); }

    MsiHandleValue get() const { return value_; }
    MsiHandleValue* out() {
        reset();
        return &value_;
    }
    explicit operator bool() const { return value_ != 0; }
    void reset(MsiHandleValue value = 0);

private:
    MsiHandleValue value_ = 0;
};

}  // namespace qv::win
