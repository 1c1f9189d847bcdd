#include "menus/MenuColours.h"

#include <algorithm>

#include "menus/MenuTheme.h"
#include "framework/DC.h"

COLORREF MixColour(COLORREF a, COLORREF b, int share) {
    auto channel = [share](int x, int y) { return std::min(255, (x * share + y * (100 - share) + 50) / 100); };
    return RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
               channel(GetBValue(a), GetBValue(b)));
}

COLORREF DarkenColour(COLORREF colour, int by) {
    auto channel = [by](int x) { return x * (255 - by) / 255; };
    return RGB(channel(GetRValue(colour)), channel(GetGValue(colour)), channel(GetBValue(colour)));
}

MenuEnvironment MenuEnvironment::Of(HDC dc, HMENU menu) {
    MenuEnvironment env;
    env.colourDepth = dc ? CDC(dc).ColourDepth() : 32;
    const MenuPlatform::Settings& settings = MenuPlatform::CurrentSettings();
    env.highContrast = settings.highContrast;
    env.flatMenus = settings.flatMenus;
    env.visualStyles = settings.visualStyles;
    MENUINFO info{};
    info.cbSize = sizeof info;
    info.fMask = MIM_BACKGROUND;
    LOGBRUSH brush{};
    if (menu && ::GetMenuInfo(menu, &info) && info.hbrBack && ::GetObjectW(info.hbrBack, sizeof brush, &brush) &&
        brush.lbStyle == BS_SOLID) {
        env.hasOwnBackground = true;
        env.ownBackground = brush.lbColor;
    }
    return env;
}

MenuColours MenuColours::For(const MenuEnvironment& env, HDC dc) {
    MenuColours c{};
    c.lowColour = env.LowColour();
    c.highContrast = env.highContrast;
    c.window = ::GetSysColor(COLOR_WINDOW);
    c.buttonFace = ::GetSysColor(COLOR_BTNFACE);
    c.buttonShadow = ::GetSysColor(COLOR_BTNSHADOW);
    c.menuText = ::GetSysColor(COLOR_MENUTEXT);
    c.grayText = ::GetSysColor(COLOR_GRAYTEXT);
    if (env.hasOwnBackground)
        c.menu = env.ownBackground;
    else if (env.flatMenus || env.visualStyles)
        c.menu = ::GetSysColor(COLOR_MENUBAR);
    else
        c.menu = c.buttonFace;
    // A scheme whose menus are as white as its windows (Wine's default) would
    // leave no column to see: the column then takes the button face.
    if (c.menu == c.window && !env.hasOwnBackground)
        c.menu = c.buttonFace;

    c.textArea = MixColour(c.window, c.menu, 86);
    c.iconColumn = c.lowColour ? c.buttonFace : MixColour(c.menu, c.window, 86);
    if (dc && ::GetNearestColor(dc, c.textArea) == ::GetNearestColor(dc, c.iconColumn)) {
        c.textArea = c.window;
        c.iconColumn = c.menu;
    }

    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    if (env.highContrast)
        c.selectionFill = highlight;
    else if (c.lowColour)
        c.selectionFill = c.window;
    else if (!env.visualStyles && GetRValue(highlight) + GetGValue(highlight) + GetBValue(highlight) > 384)
        c.selectionFill = MixColour(c.window, highlight, 86);
    else
        c.selectionFill = MixColour(c.window, highlight, 70);
    c.selectionFrame = env.highContrast ? ::GetSysColor(COLOR_BTNTEXT) : highlight;
    return c;
}
