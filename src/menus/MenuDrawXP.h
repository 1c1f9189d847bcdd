// The XP look's measuring and drawing of one menu item, on any device context
// (the menu's own, or a memory surface in tests). Measuring follows the system
// menu font (bold for the default item) at the menus' resolution
// (MenuPlatform::CurrentSettings().dpi); drawing lays out the icon column, the
// text area, the selection frame, the label and the right-aligned shortcut.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "menus/MenuColours.h"

// What measuring and drawing need to know of an item.
struct MenuItemLook {
    std::wstring text;  // the label, then (after a tab) the shortcut
    bool separator = false;
    bool menuBar = false;  // an item of a menu bar, not of a popup
    bool isDefault = false;
    bool rightToLeft = false;
    HIMAGELIST icons = nullptr;  // the icon store's image list, and the icon's place in it
    int iconIndex = -1;
};

// The sizes measuring uses, in pixels at 96 dpi (scaled to the menus' resolution).
constexpr int kMenuIconWidth = 16;
constexpr int kMenuIconHeight = 15;
// The icon column is this much wider than an icon.
constexpr int kMenuColumnExtra = 8;

// The system's menu font, made once per setting; the stock GUI font when it cannot be made.
HFONT MenuFont(bool bold);

SIZE MeasureItemXP(HDC dc, const MenuItemLook& item);
// Draws a popup item (a menu-bar item when item.menuBar) into `rect`; `state` is DRAWITEMSTRUCT's itemState.
void DrawItemXP(HDC dc, const RECT& rect, const MenuItemLook& item, UINT state, const MenuColours& colours);
// Menus of this program have no titles; the routine draws a plain caption band for those that do.
void DrawTitleXP(HDC dc, const RECT& rect, const std::wstring& title, const MenuColours& colours);

// The icon's shadow colour for a selected item: the selection fill with 55
// more blue, at 70 % brightness.
COLORREF IconShadowColour(const MenuColours& colours);
// Draws image `index` of `icons` as a one-colour silhouette at (x, y).
void DrawIconSilhouette(HDC dc, HIMAGELIST icons, int index, int x, int y, COLORREF colour);
