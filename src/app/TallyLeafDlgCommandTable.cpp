// The main window's command table: one row per item of the menu bar (the
// Insert menu's snippets excepted, a range of their own). A new command is a
// row here, its handler, and its item in tallyleaf.rc.
#include "app/TallyLeafDlg.h"
#include "res/resource.h"

namespace {
using Key = CommandKey;
using W = CTallyLeafDlg;

// The images of the menu icon strip (bitmap IDB_MENU_ICONS), each 16 x 16.
constexpr int kMenuIcons = 10;

constexpr Key kNoKey{};
constexpr Key Plain(UINT vk) {
    return Key{vk, Key::kPlain, 0};
}
// A plain key of one control's only.
constexpr Key PlainIn(UINT vk, UINT control) {
    return Key{vk, Key::kPlain, control};
}
constexpr Key Ctrl(UINT vk) {
    return Key{vk, Key::kCtrl, 0};
}
constexpr Key CtrlShift(UINT vk) {
    return Key{vk, Key::kCtrl | Key::kShift, 0};
}
constexpr Key CtrlEvenWhileDisabled(UINT vk) {
    return Key{vk, Key::kCtrl | Key::kEvenWhileDisabled, 0};
}
}  // namespace

// Undo, Cut, Copy, Paste and Delete have no key here: Ctrl+Z, X, C, V and Del
// are the editor's own.
struct CTallyLeafDlg::CommandRows {
    // clang-format off
    static constexpr Command kRows[] = {
        // command              handler             enabled while           checked while        key                                 icon
        {ID_FILE_LOAD,          &W::OnLoadFromFile, nullptr,                nullptr,             Ctrl('O'),                          8},
        {ID_FILE_SAVE,          &W::OnSaveToFile,   nullptr,                nullptr,             Ctrl('S'),                          9},
        {ID_FILE_EXPORT,        &W::OnExportTree,   nullptr,                nullptr,             kNoKey,                             kNoIcon},
        {ID_FILE_IMPORT,        &W::OnImportFolder, nullptr,                nullptr,             kNoKey,                             kNoIcon},
        {ID_FILE_RESTORE_BACKUP, &W::OnRestoreBackup, nullptr,              nullptr,             kNoKey,                             kNoIcon},
        {ID_FILE_PRINT,         &W::OnPrint,        nullptr,                nullptr,             Ctrl('P'),                          kNoIcon},
        {ID_FILE_OPTIONS,       &W::OnOptions,      nullptr,                nullptr,             Plain(VK_F4),                       0},
        {ID_FILE_ALWAYS_ON_TOP, &W::OnAlwaysOnTop,  nullptr,                &W::AlwaysOnTopIsOn, kNoKey,                             kNoIcon},
        // Esc hides; it never reaches Cancel, which asks to close.
        {ID_FILE_HIDE,          &W::OnHide,         nullptr,                nullptr,             Plain(VK_ESCAPE),                   6},
        {ID_FILE_EXIT,          &W::OnExit,         nullptr,                nullptr,             kNoKey,                             7},
        {ID_EDIT_UNDO,          &W::OnEditCommand,  &W::EditorCanUndo,      nullptr,             kNoKey,                             kNoIcon},
        {ID_EDIT_CUT,           &W::OnEditCommand,  &W::EditorHasSelection, nullptr,             kNoKey,                             kNoIcon},
        {ID_EDIT_COPY,          &W::OnEditCommand,  &W::EditorHasSelection, nullptr,             kNoKey,                             kNoIcon},
        {ID_EDIT_PASTE,         &W::OnEditCommand,  &W::ClipboardHasText,   nullptr,             kNoKey,                             kNoIcon},
        {ID_EDIT_DELETE,        &W::OnEditCommand,  &W::EditorHasSelection, nullptr,             kNoKey,                             kNoIcon},
        // The keys of Find and Replace open their dialogs even on an empty note.
        {ID_EDIT_FIND,          &W::OnFind,         &W::NoteHasText,        nullptr,             CtrlEvenWhileDisabled('F'),         kNoIcon},
        {ID_EDIT_FIND_NEXT,     &W::OnFindNext,     &W::NoteHasText,        nullptr,             Plain(VK_F3),                       kNoIcon},
        {ID_EDIT_REPLACE,       &W::OnReplace,      &W::NoteHasText,        nullptr,             CtrlEvenWhileDisabled('H'),         kNoIcon},
        {ID_EDIT_FIND_ALL,      &W::OnFindAll,      nullptr,                nullptr,             CtrlShift('F'),                     kNoIcon},
        {ID_NOTES_ADD,          &W::OnAddNewNote,   nullptr,                nullptr,             Plain(VK_F5),                       kNoIcon},
        {ID_NOTES_ADD_SUBNOTE,  &W::OnAddSubnote,   nullptr,                nullptr,             Plain(VK_F6),                       kNoIcon},
        {ID_NOTES_RENAME,       &W::OnRenameNote,   nullptr,                nullptr,             Plain(VK_F2),                       kNoIcon},
        // Del deletes the note in the tree; in the editor it deletes text.
        {ID_NOTES_DELETE,       &W::OnDeleteNote,   nullptr,                nullptr,             PlainIn(VK_DELETE, IDC_TREE_NOTES), kNoIcon},
        // Ctrl+Z alone stays the editor's own undo.
        {ID_NOTES_UNDO_DELETE,  &W::OnUndoDelete,   &W::CanUndoDelete,      nullptr,             CtrlShift('Z'),                     kNoIcon},
        {ID_FORMAT_WORD_WRAP,   &W::OnWordWrap,     nullptr,                &W::WordWrapIsOn,    kNoKey,                             kNoIcon},
        {ID_FORMAT_FONT,        &W::OnChooseFont,   nullptr,                nullptr,             kNoKey,                             kNoIcon},
        {ID_FORMAT_FONT_COLOR,  &W::OnFontColor,    nullptr,                nullptr,             kNoKey,                             kNoIcon},
        {ID_FORMAT_BACK_COLOR,  &W::OnBackColor,    nullptr,                nullptr,             kNoKey,                             1},
        {ID_HELP_ABOUT,         &W::OnAbout,        nullptr,                nullptr,             kNoKey,                             5},
        {ID_HELP_HOME_PAGE,     &W::OnWebPage,      nullptr,                nullptr,             kNoKey,                             2},
        {ID_HELP_FORUM,         &W::OnWebPage,      nullptr,                nullptr,             kNoKey,                             3},
        {ID_HELP_FEEDBACK,      &W::OnWebPage,      nullptr,                nullptr,             kNoKey,                             4},
        {ID_HELP_NEWSLETTER,    &W::OnWebPage,      nullptr,                nullptr,             kNoKey,                             kNoIcon},
    };
    // clang-format on

    static constexpr CommandTable<CTallyLeafDlg> kTable{kRows};
    static_assert(kTable.HandlersSet(), "a command without a handler");
    static_assert(kTable.IdsDistinct(), "two commands share an id in resource.h");
    static_assert(kTable.IdsOutside(ID_INSERT_FIRST, ID_INSERT_LAST), "a command lies in the Insert snippet range");
    static_assert(kTable.IdsAreMenuIds(), "a command id is out of the range of menu items");
    static_assert(kTable.KeysDistinct(), "two commands share a key");
    static_assert(kTable.IconsFill(kMenuIcons), "the icon strip's images and the commands do not pair up");
};

CommandTable<CTallyLeafDlg> CTallyLeafDlg::Commands() {
    return CommandRows::kTable;
}
