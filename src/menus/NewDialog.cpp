#include "menus/NewDialog.h"

#include "menus/MenuTheme.h"
#include "menus/NewBrush.h"

BOOL CNewDialog::OnInitDialog() {
    const BOOL result = CNewFrame<CDialog>::OnInitDialog();
    ReadWindowDpi();
    AttachSystemMenu();
    HMENU bar = ::GetMenu(m_hWnd);
    if (bar && m_DefaultNewMenu.m_hMenu != bar) {
        m_DefaultNewMenu.Detach();
        m_DefaultNewMenu.Attach(bar, false);
        CMenuTheme* theme = MenuThemes::Current();
        if (theme && (theme->Id() == 2 || theme->Id() == 3)) {
            MENUINFO info{};
            info.cbSize = sizeof info;
            info.fMask = MIM_BACKGROUND;
            info.hbrBack = CNewBrushList::Get(CNewBrush::Kind::Solid, ::GetSysColor(COLOR_BTNFACE));
            ::SetMenuInfo(bar, &info);
        }
        ::DrawMenuBar(m_hWnd);
    }
    return result;
}
