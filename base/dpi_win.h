// Pixel sizes the program sets itself (window and list sizes, column widths,
// status bar edges, images) are given for 96 DPI and pass through here.
// Dialog templates need none of this: they grow with their font.
#pragma once
#include <windows.h>

// The display's DPI as this process sees it: the program is system aware,
// so it is one value for the whole life of the process.
int display_dpi();

// pixels at 96 DPI, scaled to the display's DPI (rounded to the nearest).
int scale_pixels(int pixels);
