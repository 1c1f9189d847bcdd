// The icons of the main window's menus: one strip, bitmap 133, with the
// commands its ten images stand for, left to right.
#include "app/TallyLeafDlg.h"
#include "res/resource.h"

namespace {
constexpr COLORREF kIconBackground = RGB(192, 192, 192);

// Bitmap, image width and height, then the command of each image; 0 ends it.
constexpr WORD kMenuIcons[] = {
    IDB_MENU_ICONS,
    16,
    16,
    ID_FILE_OPTIONS,
    ID_FORMAT_BACK_COLOR,
    ID_HELP_HOME_PAGE,
    ID_HELP_FORUM,
    ID_HELP_FEEDBACK,
    ID_HELP_ABOUT,
    ID_FILE_HIDE,
    ID_FILE_EXIT,
    ID_FILE_LOAD,
    ID_FILE_SAVE,
    0,
};
}  // namespace

void CTallyLeafDlg::AttachMenuIcons() {
    MenuBar().AttachIconStrip(kMenuIcons, kIconBackground);
}
