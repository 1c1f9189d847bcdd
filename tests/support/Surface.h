// A drawing surface for tests of painting code: a memory DC holding a bitmap
// of a given size and colour depth, whose pixels the test reads back.
#pragma once

#include <windows.h>

#include "framework/DC.h"
#include "framework/Gdi.h"

class Surface {
public:
    // 32 bits per pixel, or 8 with a palette of the system's colours and a colour cube.
    Surface(int width, int height, int bitsPerPixel = 32, COLORREF background = RGB(255, 255, 255));
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HDC dc() const { return m_dc; }
    COLORREF Pixel(int x, int y) const { return ::GetPixel(m_dc, x, y); }
    // How many pixels of the rectangle have the colour.
    int Count(const RECT& area, COLORREF colour) const;
    // The rightmost column of the rectangle holding the colour, or -1.
    int RightmostOf(const RECT& area, COLORREF colour) const;

private:
    CMemoryDC m_dc;
    CBitmap m_bitmap;
    HGDIOBJ m_old = nullptr;
};
