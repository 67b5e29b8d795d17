// Owners of device contexts, whose two kinds end by two different calls: a
// context of a window or of the screen (GetDC) is released to its window, a
// memory context (CreateCompatibleDC) deleted. An object selected into a
// context is selected out again by SelectedObject before the context goes,
// so that the context never takes a font or a bitmap with it: declare the
// SelectedObject after the context it is selected into.
#pragma once
#include <windows.h>

#include <utility>

#include "base/unique_owner.h"

// GetDC(window); null window: the screen.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC()
    {
        if (dc_ != nullptr)
            ReleaseDC(window_, dc_);
    }
    WindowDC(WindowDC&& other) noexcept : window_(other.window_), dc_(std::exchange(other.dc_, nullptr)) {}
    WindowDC& operator=(WindowDC&&) = delete;
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;

    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

struct MemoryDcTraits {
    using Value = HDC;
    static HDC none() { return nullptr; }
    static bool valid(HDC dc) { return dc != nullptr; }
    static void close(HDC dc) { DeleteDC(dc); }
};

// A memory context: MemoryDC memory(CreateCompatibleDC(compatible)); a null
// compatible context makes one compatible with the screen.
using MemoryDC = UniqueOwner<MemoryDcTraits>;

// An object selected into a context for this owner's life; the one it took
// the place of goes back in at the end. Nothing is selected into a null
// context, and nothing goes back when the selection failed.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc != nullptr ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject()
    {
        if (previous_ != nullptr)
            SelectObject(dc_, previous_);
    }
    SelectedObject(SelectedObject&& other) noexcept
        : dc_(other.dc_), previous_(std::exchange(other.previous_, nullptr))
    {
    }
    SelectedObject& operator=(SelectedObject&&) = delete;
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};
