// CNewMenu: a menu the program draws itself. One object per menu and per
// popup: it owns the data of its items and the CNewMenu objects of its
// sub-menus, and measures and draws its items through the current theme.
//
// Its items become owner-drawn when the menu is attached (a menu bar) and
// each time the popup opens (ConvertItems), so items that someone added since
// (the snippets of the Insert menu, say) are taken over like the rest.
// Whoever fills a menu at run time may also call ConvertItems at once.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "menus/MenuDrawXP.h"
#include "menus/NewMenuItemData.h"
#include "framework/Menu.h"

class CNewMenuIcons;

class CNewMenu : public CMenu {
public:
    CNewMenu() = default;
    ~CNewMenu() override;

    // Takes `menu` on: a popup, or the menu bar of a window when !isPopup.
    // Sub-menus get CNewMenu objects of their own, recursively.
    bool Attach(HMENU menu, bool isPopup = true, CNewMenu* parent = nullptr);
    // Lets go of the menu (its items stay owner-drawn with stale data, so only
    // for a menu that goes too); returns it.
    HMENU Detach();

    // The object that has taken `menu` on, or null.
    static CNewMenu* FromHandle(HMENU menu);
    // The menu that owns the item data value `itemData`, or null (the value is never followed otherwise).
    static CNewMenu* FromItemData(ULONG_PTR itemData);

    // Makes every item owner-drawn and refreshes its data: text, id, state, icon.
    void ConvertItems();
    // The popup opens (WM_INITMENUPOPUP, after the default processing) for
    // `owner`, a window at `dpi`.
    void OnInitMenuPopup(HWND owner, bool systemMenu, UINT dpi);
    // The items are measured again when next shown (a menu bar after a change of resolution).
    void Remeasure();
    // The popup closed: system-menu commands get their own ids back.
    void OnUnInitMenuPopup();

    void MeasureItem(MEASUREITEMSTRUCT& mis);
    void DrawItem(const DRAWITEMSTRUCT& dis);
    // WM_MENUCHAR: the first item whose text holds "&" and the key, in either case, is executed.
    LRESULT FindKeyboardShortcut(wchar_t key) const;

    // Gives the menu (and its sub-menus) the icons of a strip; see CNewMenuIcons::LoadStrip.
    bool AttachIconStrip(const WORD* description, COLORREF transparent);

    CNewMenu* GetNewSubMenu(HMENU menu);
    const CNewMenuItemData* ItemData(int position) const;
    bool IsPopup() const { return m_bIsPopup; }
    // The item's look, as measuring and drawing need it.
    MenuItemLook LookOf(const CNewMenuItemData& data) const;

    // The item under the pointer while the frame tracks the menu bar itself (-1: none).
    int m_nHotItem = -1;
    // How many of its popups are open (a menu bar).
    int m_nOpenPopups = 0;

private:
    CNewMenu* Root();
    // The icon of `id` in the stores of the menu tree.
    void FindIcon(UINT id, CNewMenuItemData& data);
    bool OwnsData(ULONG_PTR itemData) const;

    std::vector<std::unique_ptr<CNewMenuItemData>> m_items;
    std::vector<std::unique_ptr<CNewMenu>> m_subMenus;
    std::vector<CNewMenuIcons*> m_stores;  // of a root menu
    CNewMenu* m_pParent = nullptr;
    HWND m_hOwner = nullptr;
    bool m_bIsPopup = true;
    // System-menu commands renumbered while the popup is open.
    std::vector<UINT> m_renumbered;
};
