// The icons of the main window's menus: one strip, bitmap 133, whose images
// the command table's rows name, and the commands they stand for.
#include "app/TallyLeafDlg.h"
#include "res/resource.h"

namespace {
constexpr COLORREF kIconBackground = RGB(192, 192, 192);
constexpr WORD kIconSize = 16;
}  // namespace

void CTallyLeafDlg::AttachMenuIcons() {
    MenuBar().AttachIconStrip(Commands().IconStrip(IDB_MENU_ICONS, kIconSize, kIconSize).data(), kIconBackground);
}
