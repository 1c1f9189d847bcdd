// Build-time checks of the identifiers in resource.h. Include it from one
// translation unit; it declares nothing and generates no code.
//
// Command ids must be pairwise distinct and must not fall into the snippet
// range of the Insert menu, or a menu item would run the wrong handler; the
// controls of the main dialog must be distinct from each other too.

#ifndef TALLYLEAF_RES_RESOURCEIDSCHECK_H
#define TALLYLEAF_RES_RESOURCEIDSCHECK_H

#include "resource.h"

#include <cstddef>

namespace tallyleaf::resource_check {

constexpr unsigned kMenuCommands[] = {
    ID_FILE_LOAD,          ID_FILE_SAVE,   ID_FILE_EXPORT,       ID_FILE_PRINT,        ID_FILE_OPTIONS,
    ID_FILE_ALWAYS_ON_TOP, ID_FILE_HIDE,   ID_FILE_EXIT,         ID_EDIT_UNDO,         ID_EDIT_CUT,
    ID_EDIT_COPY,          ID_EDIT_PASTE,  ID_EDIT_DELETE,       ID_EDIT_FIND,         ID_EDIT_FIND_NEXT,
    ID_EDIT_REPLACE,       ID_NOTES_ADD,   ID_NOTES_ADD_SUBNOTE, ID_NOTES_RENAME,      ID_NOTES_DELETE,
    ID_FORMAT_WORD_WRAP,   ID_FORMAT_FONT, ID_FORMAT_FONT_COLOR, ID_FORMAT_BACK_COLOR, ID_HELP_ABOUT,
    ID_HELP_HOME_PAGE,     ID_HELP_FORUM,  ID_HELP_FEEDBACK,     ID_HELP_NEWSLETTER,
};

constexpr unsigned kMainDialogControls[] = {IDC_EDIT_NOTE, IDC_TREE_NOTES, IDC_SPLITTER};

constexpr unsigned kAboutControls[] = {IDC_ABOUT_HOME_PAGE, IDC_ABOUT_MAIL,    IDC_ABOUT_PRODUCT1,
                                       IDC_ABOUT_PRODUCT2,  IDC_ABOUT_NAME,    IDC_ABOUT_VERSION,
                                       IDC_ABOUT_ARCHIVE,   IDC_ABOUT_PICTURE, 1 /* IDOK */};
constexpr unsigned kOptionsDialogControls[] = {IDC_HOTKEY,
                                               IDC_CHECK_ICON_IN_TRAY,
                                               IDC_BUTTON_SWITCH_DB,
                                               IDC_EDIT_DB_PATH,
                                               IDC_CHECK_MINIMIZE_ON_CLOSE,
                                               IDC_CHECK_RUN_ON_STARTUP,
                                               IDC_BUTTON_COPY_DB,
                                               IDC_GROUP_HOTKEY,
                                               IDC_GROUP_GENERAL,
                                               IDC_GROUP_DATABASE};

template <std::size_t N>
constexpr bool AllDistinct(const unsigned (&ids)[N]) {
    for (std::size_t i = 0; i < N; ++i)
        for (std::size_t j = i + 1; j < N; ++j)
            if (ids[i] == ids[j])
                return false;
    return true;
}

template <std::size_t N>
constexpr bool NoneInRange(const unsigned (&ids)[N], unsigned first, unsigned last) {
    for (std::size_t i = 0; i < N; ++i)
        if (ids[i] >= first && ids[i] <= last)
            return false;
    return true;
}

// Menu item ids are 16-bit, and ids from 0xF000 up belong to the system menu.
template <std::size_t N>
constexpr bool AllBelowSystemCommands(const unsigned (&ids)[N]) {
    for (std::size_t i = 0; i < N; ++i)
        if (ids[i] == 0 || ids[i] >= 0xF000)
            return false;
    return true;
}

static_assert(AllDistinct(kMenuCommands), "two menu commands share an id in resource.h");
static_assert(NoneInRange(kMenuCommands, ID_INSERT_FIRST, ID_INSERT_LAST),
              "a menu command lies in the Insert snippet range");
static_assert(ID_INSERT_FIRST < ID_INSERT_LAST, "empty Insert snippet range");
static_assert(AllBelowSystemCommands(kMenuCommands), "a menu command id is out of range");
static_assert(AllDistinct(kMainDialogControls), "two main window controls share an id");
static_assert(NoneInRange(kMainDialogControls, ID_INSERT_FIRST, ID_INSERT_LAST),
              "a main window control id lies in the Insert snippet range");
static_assert(AllDistinct(kAboutControls), "two About box controls share an id");
static_assert(AllDistinct(kOptionsDialogControls), "two Settings dialog controls share an id");

}  // namespace tallyleaf::resource_check

#endif  // TALLYLEAF_RES_RESOURCEIDSCHECK_H
