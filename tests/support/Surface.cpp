#include "support/Surface.h"

#include <vector>

Surface::Surface(int width, int height, int bitsPerPixel, COLORREF background) : m_dc(nullptr) {
    std::vector<BYTE> storage(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* info = reinterpret_cast<BITMAPINFO*>(storage.data());
    info->bmiHeader.biSize = sizeof info->bmiHeader;
    info->bmiHeader.biWidth = width;
    info->bmiHeader.biHeight = -height;
    info->bmiHeader.biPlanes = 1;
    info->bmiHeader.biBitCount = static_cast<WORD>(bitsPerPixel);
    if (bitsPerPixel == 8) {
        // The system colours first, then a cube of the rest.
        const int system[] = {COLOR_WINDOW,   COLOR_BTNFACE, COLOR_BTNSHADOW, COLOR_HIGHLIGHT, COLOR_MENUTEXT,
                              COLOR_GRAYTEXT, COLOR_MENU,    COLOR_BTNTEXT,   COLOR_MENUBAR,   COLOR_WINDOWFRAME};
        int n = 0;
        for (int index : system) {
            const COLORREF c = ::GetSysColor(index);
            info->bmiColors[n++] = {GetBValue(c), GetGValue(c), GetRValue(c), 0};
        }
        info->bmiColors[n++] = {GetBValue(background), GetGValue(background), GetRValue(background), 0};
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int b = 0; b < 6 && n < 256; ++b)
                    info->bmiColors[n++] = {static_cast<BYTE>(b * 51), static_cast<BYTE>(g * 51),
                                            static_cast<BYTE>(r * 51), 0};
        info->bmiHeader.biClrUsed = static_cast<DWORD>(n);
    }
    void* bits = nullptr;
    m_bitmap.Attach(::CreateDIBSection(nullptr, info, DIB_RGB_COLORS, &bits, nullptr, 0));
    m_dc = CMemoryDC(nullptr);
    m_old = ::SelectObject(m_dc, m_bitmap);
    CDC(m_dc).FillSolidRect({0, 0, width, height}, background);
}

Surface::~Surface() {
    ::SelectObject(m_dc, m_old);
}

int Surface::Count(const RECT& area, COLORREF colour) const {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            n += Pixel(x, y) == colour;
    return n;
}

int Surface::RightmostOf(const RECT& area, COLORREF colour) const {
    for (int x = area.right - 1; x >= area.left; --x)
        for (int y = area.top; y < area.bottom; ++y)
            if (Pixel(x, y) == colour)
                return x;
    return -1;
}
