// Build-time checks of the identifiers in resource.h. Include it from one
// translation unit; it declares nothing and generates no code.
//
// The controls of each dialog must be distinct from each other, and the main
// window's must not fall into the snippet range of the Insert menu. The menu
// commands are checked over the main window's command table
// (app/MainCommands.cpp).

#ifndef TALLYLEAF_RES_RESOURCEIDSCHECK_H
#define TALLYLEAF_RES_RESOURCEIDSCHECK_H

#include "resource.h"

#include <cstddef>

namespace tallyleaf::resource_check {

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
                                               IDC_GROUP_DATABASE,
                                               IDC_STATIC_LAST_BACKUP};

constexpr unsigned kFindAllControls[] = {IDC_FIND_ALL_QUERY,      IDC_FIND_ALL_MATCH_CASE, IDC_FIND_ALL_WHOLE_WORD,
                                         IDC_FIND_ALL_NAMES_ONLY, IDC_FIND_ALL_RESULTS,    IDC_FIND_ALL_COUNT};

constexpr unsigned kRestoreControls[] = {IDC_RESTORE_FILE, IDC_RESTORE_LIST, 1 /* IDOK */, 2 /* IDCANCEL */};

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

static_assert(ID_INSERT_FIRST < ID_INSERT_LAST, "empty Insert snippet range");
static_assert(AllDistinct(kMainDialogControls), "two main window controls share an id");
static_assert(NoneInRange(kMainDialogControls, ID_INSERT_FIRST, ID_INSERT_LAST),
              "a main window control id lies in the Insert snippet range");
static_assert(AllDistinct(kAboutControls), "two About box controls share an id");
static_assert(AllDistinct(kOptionsDialogControls), "two Settings dialog controls share an id");
static_assert(AllDistinct(kFindAllControls), "two Find in All Notes controls share an id");
static_assert(AllDistinct(kRestoreControls), "two Restore from Backup controls share an id");

}  // namespace tallyleaf::resource_check

#endif  // TALLYLEAF_RES_RESOURCEIDSCHECK_H
