#include "base/dpi_win.h"

#include "base/dc_win.h"

int display_dpi()
{
    // A system-aware process keeps the DPI it started with, so it is read once.
    static const int dpi = [] {
        WindowDC screen(nullptr);
        int value = screen.get() != nullptr ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
        return value > 0 ? value : 96;
    }();
    return dpi;
}

int scale_pixels(int pixels)
{
    return MulDiv(pixels, display_dpi(), 96);
}
