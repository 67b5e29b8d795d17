#include "base/dpi_win.h"

int display_dpi()
{
    // A system-aware process keeps the DPI it started with, so it is read once.
    static const int dpi = [] {
        HDC screen = GetDC(nullptr);
        int value = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
        if (screen != nullptr)
            ReleaseDC(nullptr, screen);
        return value > 0 ? value : 96;
    }();
    return dpi;
}

int scale_pixels(int pixels)
{
    return MulDiv(pixels, display_dpi(), 96);
}
