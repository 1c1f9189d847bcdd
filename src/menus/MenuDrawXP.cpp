#include "menus/MenuDrawXP.h"

#include <algorithm>
#include <cstring>

#include "menus/MenuTheme.h"
#include "menus/NewMemDC.h"
#include "framework/DC.h"
#include "framework/Dpi.h"
#include "framework/Gdi.h"

namespace {
using MenuPlatform::Scaled;

// The menu bar's height at the resolution of the menus.
int MenuBarHeight() {
    return Dpi::SystemMetric(SM_CYMENU, MenuPlatform::CurrentSettings().dpi);
}

// The menu fonts of the last setting seen; a setting change makes them again.
struct MenuFonts {
    LOGFONTW logFont{};
    CFont normal;
    CFont bold;
};

MenuFonts& Fonts() {
    static MenuFonts fonts;
    return fonts;
}

// The label and the shortcut (the part after the last tab).
void SplitText(const std::wstring& text, std::wstring& label, std::wstring& shortcut) {
    const size_t tab = text.rfind(L'\t');
    label = tab == std::wstring::npos ? text : text.substr(0, tab);
    shortcut = tab == std::wstring::npos ? std::wstring() : text.substr(tab + 1);
}

// Extra width of popup items, from the menu bar's height.
int WidthAllowance() {
    const int cyMenu = MenuBarHeight();
    return (cyMenu & 16) ? cyMenu : cyMenu / 2;
}

RECT IconColumn(const RECT& rect, bool rightToLeft) {
    const int width = Scaled(kMenuIconWidth + kMenuColumnExtra);
    return rightToLeft ? RECT{rect.right - width, rect.top, rect.right, rect.bottom}
                       : RECT{rect.left, rect.top, rect.left + width, rect.bottom};
}

void DrawCheckMark(const CDC& dc, const RECT& column, const MenuColours& colours, UINT state) {
    const int cx = (column.left + column.right) / 2;
    const int cy = (column.top + column.bottom) / 2;
    const int half = Scaled(9);
    const RECT box{cx - half, cy - half, cx + half, cy + half};
    dc.FillSolidRect(box, colours.selectionFill);
    dc.FrameRect(box, colours.selectionFrame);
    const COLORREF ink = (state & (ODS_GRAYED | ODS_DISABLED)) ? colours.grayText : colours.menuText;
    // A tick two pixels thick (at 96 dpi): down to the right, then up.
    for (int i = 0; i < 3; ++i)
        dc.FillSolidRect({cx + Scaled(-4 + i), cy + Scaled(-1 + i), cx + Scaled(-3 + i), cy + Scaled(1 + i)}, ink);
    for (int i = 0; i < 5; ++i)
        dc.FillSolidRect({cx + Scaled(-1 + i), cy + Scaled(1 - i), cx + Scaled(i), cy + Scaled(3 - i)}, ink);
}

void DrawIcon(const CDC& dc, const RECT& column, const MenuItemLook& item, UINT state, const MenuColours& colours) {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(item.icons, &cx, &cy);
    const int x = column.left + (column.right - column.left - cx) / 2;
    const int y = column.top + (column.bottom - column.top - cy) / 2;
    if (state & (ODS_GRAYED | ODS_DISABLED)) {
        DrawIconSilhouette(dc, item.icons, item.iconIndex, x, y, DarkenColour(colours.iconColumn, 70));
    } else if (state & ODS_SELECTED) {
        DrawIconSilhouette(dc, item.icons, item.iconIndex, x + 1, y + 1, IconShadowColour(colours));
        ImageList_Draw(item.icons, item.iconIndex, dc, x - 1, y - 1, ILD_TRANSPARENT);
    } else {
        ImageList_Draw(item.icons, item.iconIndex, dc, x, y, ILD_TRANSPARENT);
    }
}

void DrawText(const CDC& dc, const RECT& rect, const std::wstring& text, UINT format) {
    RECT r = rect;
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_SINGLELINE | DT_VCENTER);
}

UINT PrefixFormat(UINT state) {
    return (state & ODS_NOACCEL) ? DT_HIDEPREFIX : 0;
}

// Darkens the pixels of `strip` column by column: outermost (right) column by
// 225/255, then 195, 165 and 135 inwards; the top 4 pixels stay as they are.
void DarkenStrip(const CDC& dc, const RECT& strip, COLORREF under) {
    static const int kFactors[4] = {135, 165, 195, 225};
    for (int x = strip.left; x < strip.right; ++x) {
        const int f = kFactors[std::min<LONG>(3, x - strip.left)];
        const COLORREF c = RGB(GetRValue(under) * f / 255, GetGValue(under) * f / 255, GetBValue(under) * f / 255);
        dc.FillSolidRect({x, strip.top + 4, x + 1, strip.bottom}, c);
    }
}

void DrawBarItem(const CDC& dc, const RECT& rect, const MenuItemLook& item, UINT state, const MenuColours& colours) {
    dc.FillSolidRect(rect, colours.menu);
    if (state & ODS_SELECTED) {
        // The item whose popup is open: raised in the column colour, with its own shade.
        RECT raised = rect;
        raised.right -= 4;
        dc.FillSolidRect(raised, colours.iconColumn);
        dc.FrameRect(raised, colours.highContrast ? ::GetSysColor(COLOR_BTNTEXT) : DarkenColour(colours.menu, 128));
        DarkenStrip(dc, {raised.right, rect.top, rect.right, rect.bottom}, colours.menu);
    } else if (state & ODS_HOTLIGHT) {
        dc.FillSolidRect(rect, colours.selectionFill);
        dc.FrameRect(rect, colours.selectionFrame);
    }
    CSelectObject font(dc, MenuFont(item.isDefault));
    ::SetBkMode(dc, TRANSPARENT);
    const bool grey = (state & (ODS_GRAYED | ODS_DISABLED | ODS_INACTIVE)) != 0;
    ::SetTextColor(dc, grey ? colours.grayText : colours.menuText);
    RECT text = rect;
    if (state & ODS_SELECTED)
        text.right -= 4;
    DrawText(dc, text, item.text, DT_CENTER | PrefixFormat(state));
}
}  // namespace

HFONT MenuFont(bool bold) {
    const LOGFONTW& menuFont = MenuPlatform::CurrentSettings().menuFont;
    MenuFonts& fonts = Fonts();
    if (std::memcmp(&menuFont, &fonts.logFont, sizeof fonts.logFont) != 0 || !fonts.normal) {
        fonts.logFont = menuFont;
        fonts.normal.CreateFontIndirect(menuFont);
        LOGFONTW heavy = menuFont;
        heavy.lfWeight = FW_BOLD;
        fonts.bold.CreateFontIndirect(heavy);
    }
    HFONT font = bold ? fonts.bold : fonts.normal;
    // Without a font of its own the item is still written, in the stock one.
    return font ? font : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

SIZE MeasureItemXP(HDC dc, const MenuItemLook& item) {
    const int cyMenu = MenuBarHeight();
    if (item.separator && !item.menuBar)
        return {Scaled(3), Scaled(3)};
    CSelectObject font(dc, MenuFont(item.isDefault));
    if (item.menuBar) {
        SIZE extent{};
        ::GetTextExtentPoint32W(dc, item.text.c_str(), static_cast<int>(item.text.size()), &extent);
        const bool ampersand = item.text.find(L'&') != std::wstring::npos;
        return {extent.cx - (ampersand ? Scaled(6) : 0), std::max(Scaled(kMenuIconHeight + 2), cyMenu)};
    }
    std::wstring label, shortcut;
    SplitText(item.text, label, shortcut);
    // "nnn" is the gap between the label and the shortcut.
    const std::wstring measured = label + L"nnn" + shortcut;
    RECT extent{0, 0, 0, 0};
    ::DrawTextW(dc, measured.c_str(), static_cast<int>(measured.size()), &extent, DT_SINGLELINE | DT_CALCRECT);
    SIZE size;
    size.cx = extent.right + Scaled(kMenuIconWidth + 6) + WidthAllowance();
    size.cy = cyMenu > Scaled(kMenuIconHeight + 8) ? cyMenu : Scaled(kMenuIconHeight + 7);
    size.cy = std::max<LONG>(size.cy, extent.bottom);
    return size;
}

void DrawItemXP(HDC target, const RECT& rect, const MenuItemLook& item, UINT state, const MenuColours& colours) {
    if (item.menuBar) {
        DrawBarItem(CDC(target), rect, item, state, colours);
        return;
    }
    const RECT column = IconColumn(rect, item.rightToLeft);
    RECT textArea = rect;
    (item.rightToLeft ? textArea.right : textArea.left) = item.rightToLeft ? column.left : column.right;
    if (item.separator) {
        const CDC dc(target);
        dc.FillSolidRect(column, colours.iconColumn);
        dc.FillSolidRect(textArea, colours.textArea);
        const int y = (rect.top + rect.bottom) / 2;
        if (item.rightToLeft)
            dc.FillSolidRect({rect.left, y, column.left - Scaled(4), y + 1}, colours.grayText);
        else
            dc.FillSolidRect({column.right + Scaled(4), y, rect.right, y + 1}, colours.grayText);
        return;
    }

    CNewMemDC dc(target, rect);
    if (state & ODS_SELECTED) {
        dc.FillSolidRect(rect, colours.selectionFill);
        dc.FrameRect(rect, colours.selectionFrame);
    } else {
        dc.FillSolidRect(column, colours.iconColumn);
        dc.FillSolidRect(textArea, colours.textArea);
    }
    if (item.icons && item.iconIndex >= 0)
        DrawIcon(dc, column, item, state, colours);
    else if (state & ODS_CHECKED)
        DrawCheckMark(dc, column, colours, state);

    std::wstring label, shortcut;
    SplitText(item.text, label, shortcut);
    RECT text = rect;
    if (item.rightToLeft) {
        text.left = rect.left + Scaled(15);
        text.right = column.left - Scaled(4);
    } else {
        text.left = column.right + Scaled(4);
        text.right = rect.right - Scaled(15);
    }
    CSelectObject font(dc, MenuFont(item.isDefault || (state & ODS_DEFAULT)));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, (state & (ODS_GRAYED | ODS_DISABLED)) ? colours.grayText : colours.menuText);
    const UINT prefix = PrefixFormat(state);
    const UINT reading = item.rightToLeft ? DT_RTLREADING : 0;
    DrawText(dc, text, label, (item.rightToLeft ? DT_RIGHT : DT_LEFT) | prefix | reading);
    if (!shortcut.empty())
        DrawText(dc, text, shortcut, (item.rightToLeft ? DT_LEFT : DT_RIGHT) | prefix | reading);
}

void DrawTitleXP(HDC target, const RECT& rect, const std::wstring& title, const MenuColours& colours) {
    const CDC dc(target);
    dc.FillSolidRect(rect, colours.iconColumn);
    CSelectObject font(dc, MenuFont(true));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, colours.menuText);
    RECT text = rect;
    text.left += Scaled(kMenuColumnExtra / 2);
    DrawText(dc, text, title, DT_LEFT);
}

COLORREF IconShadowColour(const MenuColours& colours) {
    const COLORREF base = colours.selectionFill;
    const int blue = std::min(255, GetBValue(base) + 55);
    return RGB(GetRValue(base) * 70 / 100, GetGValue(base) * 70 / 100, blue * 70 / 100);
}

void DrawIconSilhouette(HDC dc, HIMAGELIST icons, int index, int x, int y, COLORREF colour) {
    int cx = 0, cy = 0;
    ImageList_GetIconSize(icons, &cx, &cy);
    CMemoryDC maskDC(dc);
    CBitmap mask;
    mask.Attach(::CreateBitmap(cx, cy, 1, 1, nullptr));
    CBrush brush;
    if (!maskDC || !mask || !brush.CreateSolidBrush(colour))
        return;
    CSelectObject maskSelected(maskDC, mask);
    // The list's mask: black where the image covers, white where it is transparent.
    ::PatBlt(maskDC, 0, 0, cx, cy, WHITENESS);
    ImageList_Draw(icons, index, maskDC, 0, 0, ILD_MASK);
    CSelectObject brushSelected(dc, brush);
    const COLORREF text = ::SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF back = ::SetBkColor(dc, RGB(255, 255, 255));
    // Where the mask is white the target stays; where it is black the brush paints.
    constexpr DWORD kMaskedPattern = 0x00B8074A;
    ::BitBlt(dc, x, y, cx, cy, maskDC, 0, 0, kMaskedPattern);
    ::SetTextColor(dc, text);
    ::SetBkColor(dc, back);
}
