// CMenu: a menu handle (HMENU) and the item queries the program makes of it.
// It owns nothing: the menu belongs to its window (a menu bar, a system menu)
// or to whoever created it, and goes with them.
#pragma once

#include <windows.h>

#include <string>

class CMenu {
public:
    CMenu() = default;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;
    virtual ~CMenu() = default;

    HMENU m_hMenu = nullptr;
    operator HMENU() const { return m_hMenu; }
    HMENU GetSafeHmenu() const { return m_hMenu; }

    int GetMenuItemCount() const { return m_hMenu ? ::GetMenuItemCount(m_hMenu) : 0; }
    UINT GetMenuItemID(int position) const { return ::GetMenuItemID(m_hMenu, position); }
    HMENU GetSubMenu(int position) const { return ::GetSubMenu(m_hMenu, position); }
    // The item's text (label, then a tab and the shortcut), read by position.
    std::wstring GetMenuString(int position) const {
        const int length = ::GetMenuStringW(m_hMenu, static_cast<UINT>(position), nullptr, 0, MF_BYPOSITION);
        if (length <= 0)
            return std::wstring();
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        ::GetMenuStringW(m_hMenu, static_cast<UINT>(position), &text[0], length + 1, MF_BYPOSITION);
        text.resize(static_cast<size_t>(length));
        return text;
    }
};
