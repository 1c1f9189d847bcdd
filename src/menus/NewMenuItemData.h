// CNewMenuItemData: what a CNewMenu keeps of one owner-drawn item. The item's
// data value in the system's menu points at it, so the measuring and drawing
// requests find it again.
#pragma once

#include <windows.h>

#include <string>

class CNewMenuIcons;

class CNewMenuItemData {
public:
    // The label and, after a tab, the shortcut text.
    std::wstring m_szMenuText;
    UINT m_nID = 0;
    // The item's type and state as the system had them (MFT_* | MFS_*).
    UINT m_nFlags = 0;
    // The icon store and the icon's place in it (-1: no icon).
    CNewMenuIcons* m_pIcons = nullptr;
    int m_nIconIndex = -1;

    bool IsSeparator() const { return (m_nFlags & MFT_SEPARATOR) != 0; }
};
