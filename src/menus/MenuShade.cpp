#include "menus/MenuShade.h"

#include <algorithm>

#include "framework/DC.h"

namespace {
long g_captures = 0;

// How much of each channel stays, by the distance from the window's edge:
// the column (or row) next to the menu keeps least.
constexpr int kKeep[4] = {135, 165, 195, 225};
constexpr int kPlain = 4;  // undarkened pixels at the start of each strip
constexpr int kRamp = 4;   // pixels over which the darkening grows

// The share of the full darkening at `pos` along a strip of `length`: none for
// the first kPlain pixels, growing over kRamp, fading out over the last kRamp.
int Strength(int pos, int length) {
    if (pos < kPlain)
        return 0;
    int s = std::min(100, (pos - kPlain + 1) * 100 / (kRamp + 1));
    const int fromEnd = length - 1 - pos;
    if (fromEnd < kRamp)
        s = std::min(s, (fromEnd + 1) * 100 / (kRamp + 1));
    return s;
}

COLORREF Darken(COLORREF c, int keep, int strength) {
    const int k = 255 - (255 - keep) * strength / 100;
    return RGB(GetRValue(c) * k / 255, GetGValue(c) * k / 255, GetBValue(c) * k / 255);
}
}  // namespace

long CScreenCapture::Count() {
    return g_captures;
}

bool CScreenCapture::TakeFrom(HDC source, const RECT& rect) {
    Drop();
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    DWORD* bits = nullptr;
    if (width <= 0 || height <= 0 || !m_bitmap.CreateDIB32(width, height, &bits))
        return false;
    CMemoryDC memory(source);
    if (!memory)
        return false;
    CSelectObject selected(memory, m_bitmap);
    if (!::BitBlt(memory, 0, 0, width, height, source, rect.left, rect.top, SRCCOPY))
        return false;
    ::GdiFlush();
    m_rect = rect;
    m_pBits = bits;
    return true;
}

bool CScreenCapture::Take(const RECT& screenRect) {
    ++g_captures;
    CClientDC screen(nullptr);
    return screen && TakeFrom(screen, screenRect);
}

void CScreenCapture::Drop() {
    m_bitmap.DeleteObject();
    m_pBits = nullptr;
    m_rect = {};
}

COLORREF CScreenCapture::At(int x, int y) const {
    const int width = m_rect.right - m_rect.left;
    const int cx = x - m_rect.left;
    const int cy = y - m_rect.top;
    if (!m_pBits || cx < 0 || cy < 0 || cx >= width || cy >= m_rect.bottom - m_rect.top)
        return RGB(0, 0, 0);
    const DWORD p = m_pBits[cy * width + cx];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

void DrawMenuBorderXP(HDC target, const RECT& frame, const MenuColours& colours) {
    const CDC dc(target);
    if (colours.highContrast) {
        dc.FrameRect(frame, ::GetSysColor(COLOR_BTNTEXT));
        return;
    }
    dc.FrameRect(frame, DarkenColour(colours.menu, 128));
    const RECT inner{frame.left + 1, frame.top + 1, frame.right - 1, frame.bottom - 1};
    dc.FrameRect(inner, MixColour(colours.window, colours.menu, 86));
    // The inner left side continues the icon column, from its third pixel down.
    const COLORREF column = colours.lowColour ? colours.buttonFace : MixColour(colours.menu, colours.window, 86);
    dc.FillSolidRect({inner.left, inner.top + 2, inner.left + 1, inner.bottom - 1}, column);
}

void PaintMenuShadow(HDC target, const RECT& window, SIZE shade, const CScreenCapture& capture,
                     const MenuColours& colours) {
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    if (shade.cx <= 0 || shade.cy <= 0 || width <= shade.cx || height <= shade.cy)
        return;
    // The two strips as one 32-bit picture each, built from the capture and copied in one go.
    struct Strip {
        RECT rect;  // window coordinates
        bool right;
    };
    const Strip strips[2] = {{{width - shade.cx, 0, width, height}, true},
                             {{0, height - shade.cy, width - shade.cx, height}, false}};
    for (const Strip& strip : strips) {
        const int sw = strip.rect.right - strip.rect.left;
        const int sh = strip.rect.bottom - strip.rect.top;
        CBitmap picture;
        DWORD* bits = nullptr;
        CMemoryDC memory(target);
        if (!memory || !picture.CreateDIB32(sw, sh, &bits))
            continue;
        for (int y = 0; y < sh; ++y) {
            for (int x = 0; x < sw; ++x) {
                const int wx = strip.rect.left + x;
                const int wy = strip.rect.top + y;
                COLORREF c = capture.IsTaken() ? capture.At(window.left + wx, window.top + wy) : colours.buttonFace;
                // Distance inwards from the outer edge (0: outermost) and position along the strip.
                const int depth = strip.right ? width - 1 - wx : height - 1 - wy;
                const int along = strip.right ? wy : wx;
                const int length = strip.right ? height : width;
                if (colours.lowColour) {
                    // A flat line, two pixels thick, next to the menu.
                    const int thickness = strip.right ? shade.cx : shade.cy;
                    if (depth >= thickness - 2 && along >= kPlain)
                        c = colours.buttonShadow;
                } else if (depth < 4) {
                    int strength = Strength(along, length);
                    // The corner fades in both directions.
                    if (strip.right && wy >= height - shade.cy)
                        strength = strength * (height - 1 - wy + 1) / (shade.cy + 1);
                    c = Darken(c, kKeep[3 - depth], strength);
                }
                bits[y * sw + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
            }
        }
        CSelectObject selected(memory, picture);
        ::BitBlt(target, strip.rect.left, strip.rect.top, sw, sh, memory, 0, 0, SRCCOPY);
    }
}
