// Owners for kernel handles, so that every early return of a file operation
// closes what it opened. A HANDLE of CreateFileA is invalid as
// INVALID_HANDLE_VALUE, one of CreateEventA or CreateThread as null; both
// count as "nothing owned".
#pragma once
#include <windows.h>

#include <utility>

template <BOOL(WINAPI* Close)(HANDLE)>
class ScopedKernelHandle {
public:
    ScopedKernelHandle() = default;
    explicit ScopedKernelHandle(HANDLE h) : h_(h) {}
    ~ScopedKernelHandle() { reset(); }
    ScopedKernelHandle(const ScopedKernelHandle&) = delete;
    ScopedKernelHandle& operator=(const ScopedKernelHandle&) = delete;
    ScopedKernelHandle(ScopedKernelHandle&& other) noexcept : h_(other.release()) {}
    ScopedKernelHandle& operator=(ScopedKernelHandle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }

    bool valid() const { return h_ != nullptr && h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }
    HANDLE release() { return std::exchange(h_, INVALID_HANDLE_VALUE); }
    // Closes the handle held (if any) and takes h.
    void reset(HANDLE h = INVALID_HANDLE_VALUE)
    {
        if (valid())
            Close(h_);
        h_ = h;
    }

private:
    HANDLE h_ = INVALID_HANDLE_VALUE;
};

using ScopedHandle = ScopedKernelHandle<CloseHandle>;  // files, events, threads
using ScopedFind = ScopedKernelHandle<FindClose>;      // FindFirstFileA searches
