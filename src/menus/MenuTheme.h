// CMenuTheme: one look of the owner-drawn menus. A theme has an id, flags (bit
// 0: it draws the popup window's border itself), the routines that measure and
// draw items, the border and shade sizes of its popups, and the system colours
// it read when it was made. Its virtual operations look after the popup
// window's frame while the menu hook has taken the window over.
//
// The registry (MenuThemes) holds twelve themes in pairs: an even id draws its
// own popup border, the odd one after it leaves the system's. Theme 2 is the
// XP look and current unless another is selected; under Wine an even id is
// replaced by the odd one (the system draws the popup border there).
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "menus/MenuColours.h"

struct CMenuHookData;
struct MenuItemLook;

// What the menu library learns of the platform once, when it starts.
namespace MenuPlatform {
// The kernel library exports "wine_get_unix_file_name" only under Wine.
bool IsWine();
// A visual style is active (IsThemeActive, looked up at run time; false without it).
bool VisualStylesActive();
// The system draws drop shadows under menus itself (SPI_GETDROPSHADOW).
bool SystemDrawsMenuShadows();
// The system tracks the menu bar's hot item itself: Windows 2000 or later, not a remote display.
bool SystemTracksMenuBar();

// The system settings the drawing follows, read once as each menu opens
// (ReadSettings) rather than for every item: under Wine each read costs a
// round trip, and a popup has dozens of items.
struct Settings {
    bool highContrast = false;
    bool flatMenus = false;
    bool visualStyles = false;
    LOGFONTW menuFont{};
    // The resolution of the window the menus belong to: the font above is
    // for it, and measuring and drawing scale their sizes to it.
    UINT dpi = 96;
};
const Settings& CurrentSettings();
// The size the menu font is asked for with: the record without the field that
// Windows Vista added, which Windows 2000 and XP insist on and later systems
// still take (built for Windows 7, sizeof has the longer form).
constexpr UINT kNonClientMetricsSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
// Reads them for menus of a window at `dpi`; without it, at the resolution
// read last (the system's before the first).
void ReadSettings(UINT dpi);
void ReadSettings();
// `value` in 96-dpi pixels, at the resolution of the settings.
int Scaled(int value);
}  // namespace MenuPlatform

using MeasureRoutine = SIZE (*)(HDC dc, const MenuItemLook& item);
using DrawRoutine = void (*)(HDC dc, const RECT& rect, const MenuItemLook& item, UINT state,
                             const MenuColours& colours);
using TitleRoutine = void (*)(HDC dc, const RECT& rect, const std::wstring& title, const MenuColours& colours);

class CMenuTheme {
public:
    enum Flags : DWORD { kOwnBorder = 1 };

    CMenuTheme(int id, DWORD flags, MeasureRoutine measure, DrawRoutine draw, TitleRoutine title);
    virtual ~CMenuTheme() = default;
    CMenuTheme(const CMenuTheme&) = delete;
    CMenuTheme& operator=(const CMenuTheme&) = delete;

    int Id() const { return m_nId; }
    MeasureRoutine m_pMeasureItem;
    DrawRoutine m_pDrawItem;
    TitleRoutine m_pDrawTitle;

    // The popup window is taken over: a theme with its own border takes the system's away.
    virtual void OnInitWnd(HWND hwnd, CMenuHookData& data);
    // The takeover ends: the styles come back.
    virtual void OnUnInitWnd(HWND hwnd, CMenuHookData& data);
    virtual bool DoDrawBorder() const { return (m_dwFlags & kOwnBorder) != 0; }
    // Reads the system colours again (after a colour change).
    virtual void UpdateSysColors();
    // Border and shade sizes, after a change of the system's shadow setting.
    virtual void UpdateSizes();
    // Draws border and shade on the window's DC (origin at the window's top left).
    virtual void DrawFrame(HWND hwnd, HDC windowDC, CMenuHookData& data);
    // Fills the client area; true when it did.
    virtual bool OnEraseBkgnd(HWND hwnd, HDC dc);
    // Shrinks the client rectangle for the border and shade the system does not draw.
    virtual void OnNcCalcSize(HWND hwnd, RECT& windowRect, const CMenuHookData& data);
    // Enlarges the window for them.
    virtual void OnWindowPosChanging(HWND hwnd, WINDOWPOS& pos, const CMenuHookData& data);
    // The room around the client area that the theme adds: border (if its own) and shade.
    virtual RECT ExtraFrame(const CMenuHookData& data) const;

    SIZE m_border{2, 2};
    // The program's shade beside and below each popup; none when the system draws shadows.
    SIZE m_shade{0, 0};
    COLORREF m_crBtnFace = 0, m_crBtnShadow = 0, m_crBtnHilight = 0, m_crBtnText = 0, m_crWindowFrame = 0;

protected:
    int m_nId;
    DWORD m_dwFlags;
};

// The XP look: a flat frame in the menu's colours and the text-area background.
class CMenuThemeXP : public CMenuTheme {
public:
    using CMenuTheme::CMenuTheme;
    void DrawFrame(HWND hwnd, HDC windowDC, CMenuHookData& data) override;
    bool OnEraseBkgnd(HWND hwnd, HDC dc) override;
};

class CMenuTheme2003 : public CMenuThemeXP {
public:
    using CMenuThemeXP::CMenuThemeXP;
};

namespace MenuThemes {
// Registers the twelve themes and makes theme 2 (3 under Wine) current; again: nothing.
void RegisterAll();
// Frees them (the hook has gone before).
void FreeAll();
// Makes theme `id` current (an even id becomes the next odd one under Wine);
// returns the previous current id, or -1 (and changes nothing) when no theme has the id.
int SelectMenuTheme(int id);
// The current theme, or null before the library starts.
CMenuTheme* Current();
// Whether icons get their derived looks (darkened when selected, faded); returns the previous setting.
bool SetDerivedIconEffects(bool on);
bool DerivedIconEffects();
}  // namespace MenuThemes
