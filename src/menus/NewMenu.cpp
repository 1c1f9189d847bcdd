#include "menus/NewMenu.h"

#include <algorithm>
#include <map>

#include "menus/MenuTheme.h"
#include "menus/NewMenuIcons.h"
#include "framework/DC.h"
#include "framework/Dpi.h"

namespace {
std::map<HMENU, CNewMenu*>& Menus() {
    static std::map<HMENU, CNewMenu*> menus;
    return menus;
}

// The system-menu commands the system would draw pictures for (restore, close, minimise).
constexpr UINT kPictureCommands[] = {SC_RESTORE, SC_CLOSE, SC_MINIMIZE};

bool IsSystemCommand(UINT id) {
    return (id >= 0xF000 && id <= 0xF140) || id == 0xF150;
}

std::wstring ItemText(HMENU menu, int position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    if (!::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info) || info.cch == 0)
        return std::wstring();
    std::wstring text(info.cch + 1, L'\0');
    info.dwTypeData = &text[0];
    ++info.cch;
    ::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
    text.resize(info.cch);
    return text;
}
}  // namespace

CNewMenu::~CNewMenu() {
    Detach();
}

bool CNewMenu::Attach(HMENU menu, bool isPopup, CNewMenu* parent) {
    if (!menu || !::IsMenu(menu) || FromHandle(menu))
        return false;
    Detach();
    m_hMenu = menu;
    m_bIsPopup = isPopup;
    m_pParent = parent;
    Menus()[menu] = this;
    for (int i = 0; i < GetMenuItemCount(); ++i) {
        if (HMENU sub = GetSubMenu(i))
            GetNewSubMenu(sub);
    }
    // A menu bar is never initialised as a popup: its items change over now.
    if (!isPopup) {
        MenuPlatform::ReadSettings();
        ConvertItems();
    }
    return true;
}

HMENU CNewMenu::Detach() {
    HMENU menu = m_hMenu;
    if (menu)
        Menus().erase(menu);
    m_subMenus.clear();
    m_items.clear();
    m_hMenu = nullptr;
    return menu;
}

CNewMenu* CNewMenu::FromHandle(HMENU menu) {
    auto found = Menus().find(menu);
    return found == Menus().end() ? nullptr : found->second;
}

CNewMenu* CNewMenu::FromItemData(ULONG_PTR itemData) {
    for (const auto& entry : Menus()) {
        if (entry.second->OwnsData(itemData))
            return entry.second;
    }
    return nullptr;
}

bool CNewMenu::OwnsData(ULONG_PTR itemData) const {
    for (const auto& item : m_items) {
        if (reinterpret_cast<ULONG_PTR>(item.get()) == itemData)
            return true;
    }
    return false;
}

CNewMenu* CNewMenu::GetNewSubMenu(HMENU menu) {
    for (const auto& sub : m_subMenus) {
        if (sub->m_hMenu == menu)
            return sub.get();
    }
    if (CNewMenu* other = FromHandle(menu))
        return other;
    auto sub = std::make_unique<CNewMenu>();
    if (!sub->Attach(menu, true, this))
        return nullptr;
    m_subMenus.push_back(std::move(sub));
    return m_subMenus.back().get();
}

CNewMenu* CNewMenu::Root() {
    CNewMenu* menu = this;
    while (menu->m_pParent)
        menu = menu->m_pParent;
    return menu;
}

void CNewMenu::FindIcon(UINT id, CNewMenuItemData& data) {
    data.m_pIcons = nullptr;
    data.m_nIconIndex = -1;
    if (id == 0)
        return;
    for (CNewMenuIcons* store : Root()->m_stores) {
        const int index = store->FindIndex(id);
        if (index >= 0) {
            data.m_pIcons = store;
            data.m_nIconIndex = index;
            return;
        }
    }
}

void CNewMenu::ConvertItems() {
    if (!m_hMenu || !MenuThemes::Current())
        return;
    std::vector<std::unique_ptr<CNewMenuItemData>> items;
    const int count = GetMenuItemCount();
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_DATA;
        if (!::GetMenuItemInfoW(m_hMenu, static_cast<UINT>(i), TRUE, &info))
            continue;
        std::unique_ptr<CNewMenuItemData> data;
        // An item that is still owner-drawn with this menu's data keeps it; one
        // added or changed since (back to a string) gets new data from its text.
        if ((info.fType & MFT_OWNERDRAW) && OwnsData(info.dwItemData)) {
            for (auto& old : m_items) {
                if (reinterpret_cast<ULONG_PTR>(old.get()) == info.dwItemData)
                    data = std::move(old);
            }
        }
        if (!data) {
            data = std::make_unique<CNewMenuItemData>();
            data->m_szMenuText = ItemText(m_hMenu, i);
            MENUITEMINFOW change{};
            change.cbSize = sizeof change;
            change.fMask = MIIM_FTYPE | MIIM_DATA;
            change.fType = info.fType | MFT_OWNERDRAW;
            change.dwItemData = reinterpret_cast<ULONG_PTR>(data.get());
            ::SetMenuItemInfoW(m_hMenu, static_cast<UINT>(i), TRUE, &change);
        }
        data->m_nID = info.hSubMenu ? 0 : info.wID;
        data->m_nFlags = (info.fType & ~MFT_OWNERDRAW) | info.fState;
        if (info.hSubMenu)
            GetNewSubMenu(info.hSubMenu);
        FindIcon(data->m_nID, *data);
        items.push_back(std::move(data));
    }
    m_items = std::move(items);
}

void CNewMenu::OnInitMenuPopup(HWND owner, bool systemMenu, UINT dpi) {
    m_hOwner = owner;
    MenuPlatform::ReadSettings(dpi);
    CNewMenuIcons::ScaleAllFor(dpi);
    ConvertItems();
    if (!systemMenu)
        return;
    // The system draws its own pictures for these commands; renumbered, they are left to the theme.
    for (UINT id : kPictureCommands) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID;
        info.wID = id + 1;
        if (::SetMenuItemInfoW(m_hMenu, id, FALSE, &info))
            m_renumbered.push_back(id);
    }
}

void CNewMenu::OnUnInitMenuPopup() {
    for (UINT id : m_renumbered) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_ID;
        info.wID = id;
        ::SetMenuItemInfoW(m_hMenu, id + 1, FALSE, &info);
    }
    if (!m_renumbered.empty() && m_hOwner)
        ::SetWindowPos(m_hOwner, nullptr, 0, 0, 0, 0,
                       SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_renumbered.clear();
}

void CNewMenu::Remeasure() {
    // Setting an item's type again makes the system forget the size it keeps.
    for (int i = 0; i < GetMenuItemCount(); ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE;
        if (::GetMenuItemInfoW(m_hMenu, static_cast<UINT>(i), TRUE, &info))
            ::SetMenuItemInfoW(m_hMenu, static_cast<UINT>(i), TRUE, &info);
    }
}

const CNewMenuItemData* CNewMenu::ItemData(int position) const {
    return position >= 0 && position < static_cast<int>(m_items.size()) ? m_items[position].get() : nullptr;
}

MenuItemLook CNewMenu::LookOf(const CNewMenuItemData& data) const {
    MenuItemLook look;
    look.text = data.m_szMenuText;
    look.separator = data.IsSeparator();
    look.menuBar = !m_bIsPopup;
    look.rightToLeft = (data.m_nFlags & MFT_RIGHTORDER) != 0;
    look.isDefault = (data.m_nFlags & MFS_DEFAULT) != 0;
    if (data.m_pIcons && data.m_nIconIndex >= 0) {
        look.icons = data.m_pIcons->Images();
        look.iconIndex = data.m_nIconIndex;
    }
    return look;
}

void CNewMenu::MeasureItem(MEASUREITEMSTRUCT& mis) {
    auto* data = reinterpret_cast<CNewMenuItemData*>(mis.itemData);
    CMenuTheme* theme = MenuThemes::Current();
    if (!data || !theme)
        return;
    // Measuring needs no window: one memory DC serves every item (a window's
    // DC costs a server round trip under Wine).
    static CMemoryDC measuring(nullptr);
    const HDC dc = measuring;
    if (!dc) {
        // Out of resources: a size that keeps the item readable and reachable.
        mis.itemWidth = static_cast<UINT>(data->m_szMenuText.size() * 8 + 40);
        mis.itemHeight = MenuPlatform::Scaled(data->IsSeparator() ? 3 : kMenuIconHeight + 7);
        return;
    }
    const SIZE size = theme->m_pMeasureItem(dc, LookOf(*data));
    mis.itemWidth = static_cast<UINT>(size.cx);
    mis.itemHeight = static_cast<UINT>(size.cy);
    if (m_bIsPopup && IsSystemCommand(data->m_nID)) {
        // System-menu commands line up with the items that follow them.
        for (size_t i = 0; i < m_items.size(); ++i) {
            if (m_items[i].get() != data)
                continue;
            for (size_t j = i + 1; j < m_items.size(); ++j) {
                if (m_items[j]->m_nID != 0 && !m_items[j]->IsSeparator()) {
                    const SIZE next = theme->m_pMeasureItem(dc, LookOf(*m_items[j]));
                    mis.itemWidth = std::max<UINT>(mis.itemWidth, static_cast<UINT>(next.cx));
                    break;
                }
            }
        }
        mis.itemHeight = static_cast<UINT>(Dpi::SystemMetric(SM_CYMENU, MenuPlatform::CurrentSettings().dpi));
    }
}

void CNewMenu::DrawItem(const DRAWITEMSTRUCT& dis) {
    auto* data = reinterpret_cast<CNewMenuItemData*>(dis.itemData);
    CMenuTheme* theme = MenuThemes::Current();
    if (!data || !theme)
        return;
    UINT state = dis.itemState;
    if (!m_bIsPopup && m_nHotItem >= 0 && ItemData(m_nHotItem) == data && !(state & ODS_SELECTED))
        state |= ODS_HOTLIGHT;
    const MenuColours colours = MenuColours::For(MenuEnvironment::Of(dis.hDC, m_hMenu), dis.hDC);
    theme->m_pDrawItem(dis.hDC, dis.rcItem, LookOf(*data), state, colours);
}

LRESULT CNewMenu::FindKeyboardShortcut(wchar_t key) const {
    wchar_t wanted[3] = {L'&', key, 0};
    ::CharUpperW(wanted);
    for (size_t i = 0; i < m_items.size(); ++i) {
        std::wstring text = m_items[i]->m_szMenuText;
        if (text.empty())
            continue;
        ::CharUpperBuffW(&text[0], static_cast<DWORD>(text.size()));
        if (text.find(wanted) != std::wstring::npos)
            return MAKELRESULT(static_cast<WORD>(i), MNC_EXECUTE);
    }
    return MAKELRESULT(0, MNC_IGNORE);
}

bool CNewMenu::AttachIconStrip(const WORD* description, COLORREF transparent) {
    CNewMenuIcons* store = CNewMenuIcons::Share(description, transparent);
    if (!store)
        return false;
    CNewMenu* root = Root();
    if (std::find(root->m_stores.begin(), root->m_stores.end(), store) == root->m_stores.end())
        root->m_stores.push_back(store);
    // Items converted before the icons came get theirs now.
    std::vector<CNewMenu*> pending{root};
    while (!pending.empty()) {
        CNewMenu* menu = pending.back();
        pending.pop_back();
        for (auto& item : menu->m_items)
            menu->FindIcon(item->m_nID, *item);
        for (auto& sub : menu->m_subMenus)
            pending.push_back(sub.get());
    }
    return true;
}
