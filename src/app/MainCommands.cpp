// The main window's command table: one row per item of the menu bar (the
// Insert menu's snippets excepted, a range of their own). A new command is a
// row here, its handler, and its item in tallyleaf.rc.
#include "app/MainCommands.h"

#include "res/resource.h"

MainCommands::MainCommands(CNewDialog& window, Settings& settings, MyCTreeCtr& tree, CDragEdit& editor,
                           NotesParts& notesParts, HICON trayIcon)
    : edit(editor),
      format(window, settings, tree, editor),
      tray(window, settings, editor, notesParts.session, notesParts.backups, trayIcon),
      notes(tree, notesParts.session),
      find(window, editor, notesParts.search),
      insert(window, editor),
      files(window, settings, tree, editor, notesParts, format),
      settingsHost(window, settings, notesParts, tray),
      help(window) {}

namespace {
using Key = CommandKey;
using C = MainCommands;
template <auto Part, auto Member>
constexpr auto Run = &CommandHandler<Part, Member>::Run;
template <auto Part, auto Member>
constexpr auto While = &CommandHandler<Part, Member>::Enabled;
template <auto Part, auto Member>
constexpr auto Checked = &CommandHandler<Part, Member>::Checked;

// The images of the menu icon strip (bitmap IDB_MENU_ICONS), each 16 x 16.
constexpr int kMenuIcons = 10;
constexpr COLORREF kIconBackground = RGB(192, 192, 192);
constexpr WORD kIconSize = 16;

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

// Undo, Cut, Copy, Paste and Delete have no key here: Ctrl+Z, X, C, V and Del
// are the editor's own.
// clang-format off
constexpr C::Row kRows[] = {
    // command               handler                                          enabled while                                   checked while                                 key                                 icon
    {ID_FILE_LOAD,           Run<&C::files, &FileCommands::LoadFromFile>,     nullptr,                                        nullptr,                                      Ctrl('O'),                          8},
    {ID_FILE_SAVE,           Run<&C::files, &FileCommands::SaveToFile>,       nullptr,                                        nullptr,                                      Ctrl('S'),                          9},
    {ID_FILE_EXPORT,         Run<&C::files, &FileCommands::ExportTree>,       nullptr,                                        nullptr,                                      kNoKey,                             kNoIcon},
    {ID_FILE_IMPORT,         Run<&C::files, &FileCommands::ImportFolder>,     nullptr,                                        nullptr,                                      kNoKey,                             kNoIcon},
    {ID_FILE_RESTORE_BACKUP, Run<&C::files, &FileCommands::RestoreBackup>,    nullptr,                                        nullptr,                                      kNoKey,                             kNoIcon},
    {ID_FILE_PRINT,          Run<&C::files, &FileCommands::Print>,            nullptr,                                        nullptr,                                      Ctrl('P'),                          kNoIcon},
    {ID_FILE_OPTIONS,        Run<&C::settingsHost, &SettingsHost::Open>,      nullptr,                                        nullptr,                                      Plain(VK_F4),                       0},
    {ID_FILE_ALWAYS_ON_TOP,  Run<&C::tray, &TrayAndHotKey::ToggleAlwaysOnTop>, nullptr,                                       Checked<&C::tray, &TrayAndHotKey::AlwaysOnTopIsOn>, kNoKey,                       kNoIcon},
    // Esc hides; it never reaches Cancel, which asks to close.
    {ID_FILE_HIDE,           Run<&C::tray, &TrayAndHotKey::Hide>,             nullptr,                                        nullptr,                                      Plain(VK_ESCAPE),                   6},
    {ID_FILE_EXIT,           Run<&C::tray, &TrayAndHotKey::Exit>,             nullptr,                                        nullptr,                                      kNoKey,                             7},
    {ID_EDIT_UNDO,           Run<&C::edit, &EditCommands::Undo>,              While<&C::edit, &EditCommands::CanUndo>,        nullptr,                                      kNoKey,                             kNoIcon},
    {ID_EDIT_CUT,            Run<&C::edit, &EditCommands::Cut>,               While<&C::edit, &EditCommands::HasSelection>,   nullptr,                                      kNoKey,                             kNoIcon},
    {ID_EDIT_COPY,           Run<&C::edit, &EditCommands::Copy>,              While<&C::edit, &EditCommands::HasSelection>,   nullptr,                                      kNoKey,                             kNoIcon},
    {ID_EDIT_PASTE,          Run<&C::edit, &EditCommands::Paste>,             While<&C::edit, &EditCommands::ClipboardHasText>, nullptr,                                    kNoKey,                             kNoIcon},
    {ID_EDIT_DELETE,         Run<&C::edit, &EditCommands::Delete>,            While<&C::edit, &EditCommands::HasSelection>,   nullptr,                                      kNoKey,                             kNoIcon},
    // The keys of Find and Replace open their dialogs even on an empty note.
    {ID_EDIT_FIND,           Run<&C::find, &FindCommands::OpenFind>,          While<&C::find, &FindCommands::NoteHasText>,    nullptr,                                      CtrlEvenWhileDisabled('F'),         kNoIcon},
    {ID_EDIT_FIND_NEXT,      Run<&C::find, &FindCommands::FindNext>,          While<&C::find, &FindCommands::NoteHasText>,    nullptr,                                      Plain(VK_F3),                       kNoIcon},
    {ID_EDIT_REPLACE,        Run<&C::find, &FindCommands::OpenReplace>,       While<&C::find, &FindCommands::NoteHasText>,    nullptr,                                      CtrlEvenWhileDisabled('H'),         kNoIcon},
    {ID_EDIT_FIND_ALL,       Run<&C::find, &FindCommands::OpenFindAll>,       nullptr,                                        nullptr,                                      CtrlShift('F'),                     kNoIcon},
    {ID_NOTES_ADD,           Run<&C::notes, &NoteCommands::Add>,              nullptr,                                        nullptr,                                      Plain(VK_F5),                       kNoIcon},
    {ID_NOTES_ADD_SUBNOTE,   Run<&C::notes, &NoteCommands::AddSubnote>,       nullptr,                                        nullptr,                                      Plain(VK_F6),                       kNoIcon},
    {ID_NOTES_RENAME,        Run<&C::notes, &NoteCommands::Rename>,           nullptr,                                        nullptr,                                      Plain(VK_F2),                       kNoIcon},
    // Del deletes the note in the tree; in the editor it deletes text.
    {ID_NOTES_DELETE,        Run<&C::notes, &NoteCommands::Delete>,           nullptr,                                        nullptr,                                      PlainIn(VK_DELETE, IDC_TREE_NOTES), kNoIcon},
    // Ctrl+Z alone stays the editor's own undo.
    {ID_NOTES_UNDO_DELETE,   Run<&C::notes, &NoteCommands::UndoDelete>,       While<&C::notes, &NoteCommands::CanUndoDelete>, nullptr,                                      CtrlShift('Z'),                     kNoIcon},
    {ID_FORMAT_WORD_WRAP,    Run<&C::format, &FormatCommands::ToggleWordWrap>, nullptr,                                       Checked<&C::format, &FormatCommands::WordWrapIsOn>, kNoKey,                       kNoIcon},
    {ID_FORMAT_FONT,         Run<&C::format, &FormatCommands::PickFont>,      nullptr,                                        nullptr,                                      kNoKey,                             kNoIcon},
    {ID_FORMAT_FONT_COLOR,   Run<&C::format, &FormatCommands::PickTextColour>, nullptr,                                       nullptr,                                      kNoKey,                             kNoIcon},
    {ID_FORMAT_BACK_COLOR,   Run<&C::format, &FormatCommands::PickBackColour>, nullptr,                                       nullptr,                                      kNoKey,                             1},
    {ID_HELP_ABOUT,          Run<&C::help, &HelpCommands::About>,             nullptr,                                        nullptr,                                      kNoKey,                             5},
    {ID_HELP_HOME_PAGE,      Run<&C::help, &HelpCommands::OpenWebPage>,       nullptr,                                        nullptr,                                      kNoKey,                             2},
    {ID_HELP_FORUM,          Run<&C::help, &HelpCommands::OpenWebPage>,       nullptr,                                        nullptr,                                      kNoKey,                             3},
    {ID_HELP_FEEDBACK,       Run<&C::help, &HelpCommands::OpenWebPage>,       nullptr,                                        nullptr,                                      kNoKey,                             4},
    {ID_HELP_NEWSLETTER,     Run<&C::help, &HelpCommands::OpenWebPage>,       nullptr,                                        nullptr,                                      kNoKey,                             kNoIcon},
};
// clang-format on

constexpr CommandTable<MainCommands> kTable{kRows};
static_assert(kTable.HandlersSet(), "a command without a handler");
static_assert(kTable.IdsDistinct(), "two commands share an id in resource.h");
static_assert(kTable.IdsOutside(ID_INSERT_FIRST, ID_INSERT_LAST), "a command lies in the Insert snippet range");
static_assert(kTable.IdsAreMenuIds(), "a command id is out of the range of menu items");
static_assert(kTable.KeysDistinct(), "two commands share a key");
static_assert(kTable.IconsFill(kMenuIcons), "the icon strip's images and the commands do not pair up");
}  // namespace

CommandTable<MainCommands> MainCommands::Table() {
    return kTable;
}

void MainCommands::ShowStates(HMENU popup) {
    const CommandTable<MainCommands> table = Table();
    const int count = ::GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_SUBMENU | MIIM_ID;
        if (!::GetMenuItemInfoW(popup, static_cast<UINT>(i), TRUE, &info) || info.hSubMenu ||
            (info.fType & MFT_SEPARATOR))
            continue;
        const UINT item = static_cast<UINT>(i);
        ::EnableMenuItem(popup, item, MF_BYPOSITION | (table.IsEnabled(*this, info.wID) ? MF_ENABLED : MF_GRAYED));
        ::CheckMenuItem(popup, item, MF_BYPOSITION | (table.IsChecked(*this, info.wID) ? MF_CHECKED : MF_UNCHECKED));
    }
}

void MainCommands::AttachMenuIcons(CNewMenu& bar) {
    bar.AttachIconStrip(Table().IconStrip(IDB_MENU_ICONS, kIconSize, kIconSize).data(), kIconBackground);
}
