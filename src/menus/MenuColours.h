// The colours of the XP menu look, worked out from the system's colours and
// the surface drawn on: the text area and the icon column are blends of the
// window and menu colours, the selection a blend of the window and highlight
// colours; displays of 256 colours or fewer get flat colours instead.
#pragma once

#include <windows.h>

// Per-channel blend: `share` percent of `a`, the rest of `b`, capped at 255.
COLORREF MixColour(COLORREF a, COLORREF b, int share);
// Each channel times (255 - by) / 255.
COLORREF DarkenColour(COLORREF colour, int by);

// What the colour choice depends on besides the system colours.
struct MenuEnvironment {
    int colourDepth = 32;  // bits per pixel of the surface
    bool highContrast = false;
    bool visualStyles = false;  // the visual-styles library says a theme is active
    bool flatMenus = false;     // the system's flat-menu setting
    // The menu's own background colour (MENUINFO's brush), if it has one.
    bool hasOwnBackground = false;
    COLORREF ownBackground = 0;

    bool LowColour() const { return colourDepth <= 8; }
    // The environment of drawing `menu` on `dc` as the system stands now.
    static MenuEnvironment Of(HDC dc, HMENU menu);
};

struct MenuColours {
    COLORREF window;  // W
    COLORREF menu;    // M: the menu's own background, or the menu-bar or button-face colour
    COLORREF textArea;
    COLORREF iconColumn;
    COLORREF selectionFill;
    COLORREF selectionFrame;
    COLORREF menuText;
    COLORREF grayText;
    COLORREF buttonFace;
    COLORREF buttonShadow;
    bool lowColour;
    bool highContrast;

    // `dc` (optional) tells whether the display can tell text area and column apart.
    static MenuColours For(const MenuEnvironment& env, HDC dc = nullptr);
};
