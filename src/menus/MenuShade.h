// The frame of a popup menu window in the XP look: the flat two-line border
// and the shade along the right and bottom edges, drawn over a capture of the
// screen that the window covers. Both draw on any device context whose origin
// is the window's top left, so they can be checked on a memory surface.
#pragma once

#include <windows.h>

#include "menus/MenuColours.h"
#include "framework/Gdi.h"

// A copy of an area of the screen, in 32-bit pixels.
class CScreenCapture {
public:
    // Copies `screenRect` of the screen; false when it could not.
    bool Take(const RECT& screenRect);
    // Copies `rect` of `dc` instead (tests draw a known background).
    bool TakeFrom(HDC dc, const RECT& rect);
    void Drop();
    bool IsTaken() const { return m_pBits != nullptr; }
    const RECT& Rect() const { return m_rect; }
    // The pixel at (x, y) in the coordinates the capture was taken in; black outside it.
    COLORREF At(int x, int y) const;

    // How many screen captures this process has taken (the bench counts them per popup).
    static long Count();

private:
    RECT m_rect{};
    CBitmap m_bitmap;
    DWORD* m_pBits = nullptr;
};

// Border of a popup that draws its own (theme 2): within `frame` (window
// coordinates, the shade left out), an outer line in the menu colour darkened
// and an inner line in the text-area blend, its left side in the column blend.
void DrawMenuBorderXP(HDC dc, const RECT& frame, const MenuColours& colours);

// The shade: `window` is the window's rectangle on the screen (its size
// includes the shade), `shade` the shade's width and height, `capture` the
// screen under the window. Full colour: the captured pixels darkened in four
// steps towards the window; 256 colours or fewer: a flat 2-pixel line.
void PaintMenuShadow(HDC dc, const RECT& window, SIZE shade, const CScreenCapture& capture, const MenuColours& colours);
