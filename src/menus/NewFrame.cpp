#include "menus/NewFrame.h"

#include "menus/MenuTheme.h"
#include "menus/NewBrush.h"
#include "menus/NewMenuHook.h"
#include "menus/NewMenuIcons.h"
#include "framework/Dpi.h"

namespace {
// The hot-tracking timer's id: the first of the ids 31 to 99 that the menu library keeps for itself.
constexpr UINT_PTR kHotTrackTimer = 31;
constexpr UINT kHotTrackMs = 100;
constexpr DWORD kColourRebuildMs = 2000;

bool IsBarPopup(HMENU bar, HMENU popup) {
    for (int i = 0, n = bar ? ::GetMenuItemCount(bar) : 0; i < n; ++i) {
        if (::GetSubMenu(bar, i) == popup)
            return true;
    }
    return false;
}
}  // namespace

// clang-format off
template <>
const MessageEntry CNewFrame<CDialog>::kMessageEntries[] = {
    CWnd::OnMessage(WM_CREATE, &CNewFrame<CDialog>::OnCreate),
    CWnd::OnMessage(WM_INITMENUPOPUP, &CNewFrame<CDialog>::OnInitMenuPopup),
    CWnd::OnMessage(WM_UNINITMENUPOPUP, &CNewFrame<CDialog>::OnUnInitMenuPopup),
    CWnd::OnMessage(WM_MEASUREITEM, &CNewFrame<CDialog>::OnMeasureItem),
    CWnd::OnMessage(WM_DRAWITEM, &CNewFrame<CDialog>::OnDrawItem),
    CWnd::OnMessage(WM_MENUCHAR, &CNewFrame<CDialog>::OnMenuChar),
    CWnd::OnMessage(WM_ENTERMENULOOP, &CNewFrame<CDialog>::OnEnterMenuLoop),
    CWnd::OnMessage(WM_EXITMENULOOP, &CNewFrame<CDialog>::OnExitMenuLoop),
    CWnd::OnMessage(WM_TIMER, &CNewFrame<CDialog>::OnTimer),
    CWnd::OnMessage(WM_NCHITTEST, &CNewFrame<CDialog>::OnNcHitTest),
    CWnd::OnMessage(WM_DESTROY, &CNewFrame<CDialog>::OnDestroy),
    CWnd::OnMessage(WM_SYSCOLORCHANGE, &CNewFrame<CDialog>::OnSysColorChange),
    CWnd::OnMessage(WM_DPICHANGED, &CNewFrame<CDialog>::OnDpiChanged),
};
template <>
const MessageTable CNewFrame<CDialog>::kMessageTable = {
    &CDialog::kMessageTable, CNewFrame<CDialog>::kMessageEntries,
    sizeof(CNewFrame<CDialog>::kMessageEntries) / sizeof(MessageEntry)};
// clang-format on

template <class Base>
void CNewFrame<Base>::AttachSystemMenu() {
    HMENU system = ::GetSystemMenu(this->m_hWnd, FALSE);
    if (!system || m_SystemNewMenu.m_hMenu == system)
        return;
    m_SystemNewMenu.Detach();
    m_SystemNewMenu.Attach(system, true);
}

template <class Base>
void CNewFrame<Base>::ReadWindowDpi() {
    m_nDpi = Dpi::OfWindow(this->m_hWnd);
    MenuPlatform::ReadSettings(m_nDpi);
}

template <class Base>
LRESULT CNewFrame<Base>::OnCreate(WPARAM, LPARAM) {
    const LRESULT result = this->Default();
    ReadWindowDpi();
    AttachSystemMenu();
    return result;
}

template <class Base>
LRESULT CNewFrame<Base>::OnInitMenuPopup(WPARAM w, LPARAM l) {
    const LRESULT result = this->Default();
    auto popup = reinterpret_cast<HMENU>(w);
    const bool systemMenu = HIWORD(l) != 0;
    CNewMenuHook::NotePopupMenu(popup);
    if (systemMenu)
        AttachSystemMenu();
    CNewMenu* menu = CNewMenu::FromHandle(popup);
    if (!menu)
        return result;
    menu->OnInitMenuPopup(this->m_hWnd, systemMenu, m_nDpi);
    // The menu-bar item gets its raised look with the first popup.
    if (IsBarPopup(m_DefaultNewMenu, popup) && ++m_DefaultNewMenu.m_nOpenPopups == 1)
        ::DrawMenuBar(this->m_hWnd);
    return result;
}

template <class Base>
LRESULT CNewFrame<Base>::OnUnInitMenuPopup(WPARAM w, LPARAM) {
    auto popup = reinterpret_cast<HMENU>(w);
    if (CNewMenu* menu = CNewMenu::FromHandle(popup))
        menu->OnUnInitMenuPopup();
    if (IsBarPopup(m_DefaultNewMenu, popup) && m_DefaultNewMenu.m_nOpenPopups > 0 &&
        --m_DefaultNewMenu.m_nOpenPopups == 0)
        ::DrawMenuBar(this->m_hWnd);
    return this->Default();
}

template <class Base>
LRESULT CNewFrame<Base>::OnMeasureItem(WPARAM, LPARAM l) {
    auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
    CNewMenu* menu = mis->CtlType == ODT_MENU ? CNewMenu::FromItemData(mis->itemData) : nullptr;
    if (!menu)
        return this->Default();
    menu->MeasureItem(*mis);
    return TRUE;
}

template <class Base>
LRESULT CNewFrame<Base>::OnDrawItem(WPARAM, LPARAM l) {
    auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(l);
    CNewMenu* menu = dis->CtlType == ODT_MENU ? CNewMenu::FromHandle(reinterpret_cast<HMENU>(dis->hwndItem)) : nullptr;
    if (!menu || CNewMenu::FromItemData(dis->itemData) != menu)
        return this->Default();
    menu->DrawItem(*dis);
    return TRUE;
}

template <class Base>
LRESULT CNewFrame<Base>::OnMenuChar(WPARAM w, LPARAM l) {
    CNewMenu* menu = CNewMenu::FromHandle(reinterpret_cast<HMENU>(l));
    if (!menu)
        return this->Default();
    return menu->FindKeyboardShortcut(static_cast<wchar_t>(LOWORD(w)));
}

template <class Base>
LRESULT CNewFrame<Base>::OnEnterMenuLoop(WPARAM, LPARAM) {
    if (!m_bInMenuLoop)
        CNewMenuHook::BeginMenuLoop();
    m_bInMenuLoop = true;
    if (m_nTimerID) {
        this->KillTimer(m_nTimerID);
        m_nTimerID = 0;
    }
    SetHotItem(-1);
    return this->Default();
}

template <class Base>
LRESULT CNewFrame<Base>::OnExitMenuLoop(WPARAM, LPARAM) {
    if (m_bInMenuLoop)
        CNewMenuHook::EndMenuLoop();
    m_bInMenuLoop = false;
    CNewMenuHook::NotePopupMenu(nullptr);
    return this->Default();
}

template <class Base>
LRESULT CNewFrame<Base>::OnTimer(WPARAM w, LPARAM) {
    if (!m_nTimerID || w != m_nTimerID)
        return this->Default();
    POINT pt{};
    ::GetCursorPos(&pt);
    this->SendMessage(WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    return 0;
}

template <class Base>
LRESULT CNewFrame<Base>::OnNcHitTest(WPARAM, LPARAM l) {
    const LRESULT result = this->Default();
    // Windows 2000 and later track the menu bar themselves (not on a remote display).
    if (MenuPlatform::SystemTracksMenuBar() || m_bInMenuLoop || !m_DefaultNewMenu.m_hMenu)
        return result;
    int item = -1;
    if (result == HTMENU) {
        const POINT pt{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
        item = ::MenuItemFromPoint(this->m_hWnd, m_DefaultNewMenu, pt);
    }
    SetHotItem(item);
    if (item >= 0 && !m_nTimerID) {
        m_nTimerID = this->SetTimer(kHotTrackTimer, kHotTrackMs);
    } else if (item < 0 && m_nTimerID) {
        this->KillTimer(m_nTimerID);
        m_nTimerID = 0;
    }
    return result;
}

template <class Base>
void CNewFrame<Base>::SetHotItem(int item) {
    if (m_DefaultNewMenu.m_nHotItem == item)
        return;
    m_DefaultNewMenu.m_nHotItem = item;
    ::DrawMenuBar(this->m_hWnd);
}

template <class Base>
LRESULT CNewFrame<Base>::OnDestroy(WPARAM, LPARAM) {
    if (m_nTimerID) {
        this->KillTimer(m_nTimerID);
        m_nTimerID = 0;
    }
    // A popup still open goes now, and nothing on the screen keeps a way into
    // this window's menu objects, which go with it.
    if (m_bInMenuLoop || CNewMenuHook::TakenOverCount() > 0)
        ::EndMenu();
    // The loop's end may never reach this window now.
    if (m_bInMenuLoop)
        CNewMenuHook::EndMenuLoop();
    m_bInMenuLoop = false;
    CNewMenuHook::ReleaseAll();
    m_DefaultNewMenu.Detach();
    m_SystemNewMenu.Detach();
    return this->Default();
}

template <class Base>
LRESULT CNewFrame<Base>::OnSysColorChange(WPARAM, LPARAM) {
    const LRESULT result = this->Default();
    const DWORD now = ::GetTickCount();
    if (now - m_dwLastColourChange >= kColourRebuildMs) {
        m_dwLastColourChange = now;
        CNewMenuIcons::RebuildAllDerived();
        if (CMenuTheme* theme = MenuThemes::Current())
            theme->UpdateSysColors();
    }
    if (m_DefaultNewMenu.m_hMenu) {
        MENUINFO info{};
        info.cbSize = sizeof info;
        info.fMask = MIM_BACKGROUND;
        if (::GetMenuInfo(m_DefaultNewMenu, &info) && info.hbrBack) {
            info.hbrBack = CNewBrushList::Get(CNewBrush::Kind::Solid, ::GetSysColor(COLOR_BTNFACE));
            ::SetMenuInfo(m_DefaultNewMenu, &info);
        }
        ::DrawMenuBar(this->m_hWnd);
    }
    return result;
}

template <class Base>
LRESULT CNewFrame<Base>::OnDpiChanged(WPARAM w, LPARAM) {
    m_nDpi = HIWORD(w);
    MenuPlatform::ReadSettings(m_nDpi);
    CNewMenuIcons::ScaleAllFor(m_nDpi);
    if (m_DefaultNewMenu.m_hMenu) {
        m_DefaultNewMenu.Remeasure();
        ::DrawMenuBar(this->m_hWnd);
    }
    return 0;
}

template class CNewFrame<CDialog>;
