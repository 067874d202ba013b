// Owning wrappers for the Win32 handle kinds the stub uses. Each knows which
// value means "no handle" and how to close it.
#pragma once

#include <windows.h>

#include <utility>

namespace qv::win {

template <typename T, T Empty, typename Closer>
class Unique {
public:
    Unique() = default;
    explicit Unique(T value) : value_(value) {}
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;
    Unique(Unique&& other) noexcept : value_(std::exchange(other.value_, Empty)) {}
    Unique& operator=(Unique&& other) noexcept {
        if (this != &other) reset(std::exchange(other.value_, Empty));
        return *this;
    }
    ~Unique() { reset(); }

    T get() const { return value_; }
    explicit operator bool() const { return value_ != Empty; }
    T release() { return std::exchange(value_, Empty); }
    void reset(T value = Empty) {
        if (value_ != Empty) Closer()(value_);
        value_ = value;
    }

private:
    T value_ = Empty;
};

struct CloseHandleCloser {
    void operator()(HANDLE h) const { ::CloseHandle(h); }
};
struct FindCloser {
    void operator()(HANDLE h) const { ::FindClose(h); }
};
struct RegCloser {
    void operator()(HKEY k) const { ::RegCloseKey(k); }
};
struct ModuleCloser {
    void operator()(HMODULE m) const { ::FreeLibrary(m); }
};
struct WindowCloser {
    void operator()(HWND w) const { ::DestroyWindow(w); }
};

// Files and other kernel objects whose "none" is INVALID_HANDLE_VALUE.
class UniqueFile : public Unique<HANDLE, nullptr, CloseHandleCloser> {
public:
    UniqueFile() = default;
    explicit UniqueFile(HANDLE h) : Unique(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
};
// Threads, processes, events: "none" is NULL.
using UniqueHandle = Unique<HANDLE, nullptr, CloseHandleCloser>;
class UniqueFind : public Unique<HANDLE, nullptr, FindCloser> {
public:
    UniqueFind() = default;
    explicit UniqueFind(HANDLE h) : Unique(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
};
using UniqueKey = Unique<HKEY, nullptr, RegCloser>;
using UniqueModule = Unique<HMODULE, nullptr, ModuleCloser>;
using UniqueWindow = Unique<HWND, nullptr, WindowCloser>;

}  // namespace qv::win
