// An owner of a kernel handle for a header that builds without <windows.h>
// (engine.h builds natively): the handle is held as void* and closed by
// owned_handle_win.cpp. Null counts as "nothing owned", as CreateEventA and
// CreateThread give it on failure. Files keep ScopedHandle (handle_win.h),
// whose "nothing" is also INVALID_HANDLE_VALUE.
#pragma once
#include <utility>

class OwnedHandle {
public:
    OwnedHandle() = default;
    explicit OwnedHandle(void* h) : h_(h) {}
    ~OwnedHandle() { reset(); }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    OwnedHandle(OwnedHandle&& other) noexcept : h_(other.release()) {}
    OwnedHandle& operator=(OwnedHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    explicit operator bool() const { return h_ != nullptr; }
    void* get() const { return h_; }
    void* release() { return std::exchange(h_, nullptr); }
    // Closes the handle held (if any) and takes h.
    void reset(void* h = nullptr);

private:
    void* h_ = nullptr;
};
