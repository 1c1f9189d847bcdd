// CTallyLeafDlg: the main window. The notes tree on the left, the editor on the
// right; it starts hidden and lives in the tray until called up.
//
// The notes themselves (the database file in use, loading and saving, the
// saves that wait, note operations, the export, the daily backups) are its
// NotesSession's (notes/NotesSession.h); the window forwards its tree's and
// editor's notifications, its timers and its note commands to it.
//
// Its handlers are split by concern:
//   TallyLeafDlg.cpp       construction, initialisation, settings, layout, life cycle, timers
//   TallyLeafDlgNotes.cpp  the note commands and the tree's and editor's notifications,
//                          forwarded to the notes session
//   TallyLeafDlgShell.cpp  tray icon, hot key, hiding on focus loss, always on top
//   TallyLeafDlgCommandTable.cpp  the command table: every menu command's handler,
//                          rules, key and menu icon in one row (app/CommandTable.h)
//   TallyLeafDlgCommands.cpp  the menu commands: when each is enabled or checked, the
//                          menu states and the routing drawn from the table, the Edit
//                          commands on the editor, the web pages
//   TallyLeafDlgKeys.cpp   the keys the window takes before its controls see them: the
//                          table's, and those of no command
//   TallyLeafDlgFormat.cpp the Format menu (word wrap, font, colours) and printing
//   TallyLeafDlgFind.cpp   Find, Find Next and Replace
//   TallyLeafDlgInsert.cpp the Insert menu's snippets
//   TallyLeafDlgDatabase.cpp  the Settings dialog and what it asks of the window
//   TallyLeafDlgFiles.cpp  text files: Load from File (and files dropped on the editor),
//                          Save to File, and the folder of the export
//   TallyLeafDlgMenus.cpp  the icons of the owner-drawn menus, by the table's rows
#pragma once

#include <string>
#include <vector>

#include "app/CommandTable.h"
#include "app/EditorNoteView.h"
#include "app/SessionSearchHost.h"
#include "app/TreeNotesView.h"
#include "app/WindowNotesHost.h"
#include "dialogs/FindAllNotesDlg.h"
#include "dialogs/SettingsDialogHost.h"
#include "notes/NotesSession.h"
#include "settings/Settings.h"
#include "shell/TrayIcon.h"
#include "controls/Splitter.h"
#include "menus/NewDialog.h"
#include "editor/DragEdit.h"
#include "editor/FindReplace.h"
#include "editor/Snippets.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "storage/CppSQLite3DB.h"
#include "tree/MyCTreeCtr.h"

class CTallyLeafDlg : public CNewDialog, private SettingsDialogHost {
public:
    CTallyLeafDlg();
    ~CTallyLeafDlg() override;

    void CallUpWindow();
    void HideWindow();

    // Text files. Reads a file and, after asking, makes it a new note or the
    // shown note's text.
    void LoadFileIntoNote(const std::wstring& path);
    // Writes the editor's text to a UTF-8 file, replacing it only once the whole
    // text is on the disk; false, after telling the user, when it was not written.
    bool WriteNoteToFile(const std::wstring& path);

    bool PreTranslateMessage(MSG* msg) override;

    // The window's commands, one row each (TallyLeafDlgCommandTable.cpp).
    using Command = CommandRow<CTallyLeafDlg>;
    static CommandTable<CTallyLeafDlg> Commands();

    // What the window shows and counts, for the windows and tests that look at it.
    MyCTreeCtr& Tree() { return m_wndTree; }
    const MyCTreeCtr& Tree() const { return m_wndTree; }
    CDragEdit& Editor() { return m_wndEditor; }
    const CDragEdit& Editor() const { return m_wndEditor; }
    int CallUps() const { return m_nCallUps; }
    // The notes the window shows: the database file in use, the saves that wait.
    NotesSession& Notes() { return m_notes; }
    const NotesSession& Notes() const { return m_notes; }
    CFindReplace& FindReplace() { return m_findReplace; }
    CFindAllNotesDlg& FindAll() { return m_findAll; }
    const std::vector<Snippet>& InsertSnippets() const { return m_snippets; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    // The settings in force; the Settings dialog has them changed through
    // SettingsDialogHost.
    Settings m_settings;
    CFont m_fontEditor;
    CBrush m_brBack;
    int m_nCallUps = 0;
    bool m_bShowAllowed = false;
    // The hot key called the window up while Alt was held: the release of that
    // Alt must not open the menu bar (see DropsAltRelease).
    bool m_bHotKeyAltHeld = false;
    MyCTreeCtr m_wndTree;
    CDragEdit m_wndEditor;
    CSplitter m_wndSplitter;
    // The editor's text, refreshed from it (UpdateData) where a command needs it.
    std::wstring m_strNoteText;
    HICON m_hIcon = nullptr;
    HICON m_hSmallIcon = nullptr;
    // The Find and Replace dialogs and their state; they search m_strNoteText,
    // refreshed from the editor.
    CFindReplace m_findReplace{*this, m_wndEditor, [this]() -> const std::wstring& {
                                   UpdateData(true);
                                   return m_strNoteText;
                               }};
    // The snippets of the Insert menu; snippet k is command ID_INSERT_FIRST + k.
    std::vector<Snippet> m_snippets;

    void LoadSettings();
    // Places the tree, the splitter bar and the editor in the client area.
    void LayoutChildren();
    // Creates the editor window, wrapping its lines or not.
    void RecreateEditor(bool wrap);
    // Whether the editor wraps `text`: word wrap is on and no paragraph is too
    // long for the edit control to wrap in reasonable time.
    bool WrapsText(const std::wstring& text) const;
    // Re-creates the editor when it must wrap (or not) to show `text`, keeping
    // its drag and drop, font, place and focus.
    void WrapEditorFor(const std::wstring& text);
    void LoadFontAndColours();
    // The editor's and the tree's font: the configured one at the window's resolution.
    void LoadFont();
    void SaveOnExit();
    void SavePlacement();
    // The tray icon and the settings' hot key (none when the key is 0;
    // false when the system refused the combination).
    void AddTrayIcon(const wchar_t* tip);
    void RemoveTrayIcon();
    bool RegisterGlobalHotKey();
    void UnregisterGlobalHotKey();
    void ShowFirstRunBalloon();
    // Gives the menus their icons (TallyLeafDlgMenus.cpp).
    void AttachMenuIcons();
    // Makes the window topmost or not, as m_bAlwaysOnTop says, without moving it.
    void ApplyAlwaysOnTop();
    // Holds the table's rows; a member, so that they may name the private handlers.
    struct CommandRows;
    // WM_COMMAND through the table: a command without a sending control runs
    // only while it is enabled.
    bool RouteCommand(UINT id, HWND control);
    // The table's rules, used by the menus as they open and by the routing.
    bool EditorCanUndo();
    bool EditorHasSelection();
    bool ClipboardHasText();
    bool NoteHasText();
    bool AlwaysOnTopIsOn() const;
    bool WordWrapIsOn() const;
    bool CanUndoDelete();
    // Gives a menu item (by command or by position) its command's enabled state and check mark.
    void ShowCommandState(HMENU menu, UINT item, UINT byCommandOrPosition);
    void ShowUndoDeleteText(HMENU popup);

    // Keys, in the order they are looked at; each returns true when it took the key.
    bool DropsAltRelease(const MSG& msg);
    bool OnControlKey(const MSG& msg);
    bool OnSystemKey(MSG& msg);
    bool OnPlainKey(const MSG& msg);
    // The table's key held with `modifiers` sends its command.
    bool OnCommandKey(const MSG& msg, unsigned modifiers);
    // Selects the whole note in the editor, wherever the focus is.
    void SelectWholeNote();
    // Sends a command as the menu does: it runs only while enabled.
    void SendCommand(UINT id);
    // Reads Insert.cfg from the data folder into the Insert menu.
    void BuildInsertMenu();

    LRESULT OnWindowPosChanging(WPARAM, LPARAM);
    LRESULT OnSize(WPARAM, LPARAM);
    LRESULT OnDpiChanged(WPARAM, LPARAM);
    // The editor's colours, asked for as an edit or, while read-only, as a static.
    LRESULT OnCtlColorEditor(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnQueryEndSession(WPARAM, LPARAM);
    LRESULT OnEndSession(WPARAM, LPARAM);
    LRESULT OnTrayCallback(WPARAM, LPARAM);
    LRESULT OnTaskbarCreated(WPARAM, LPARAM);
    LRESULT OnHotKey(WPARAM, LPARAM);
    LRESULT OnActivate(WPARAM, LPARAM);
    LRESULT OnInitMenuPopup(WPARAM, LPARAM);
    LRESULT OnApplyAlwaysOnTop(WPARAM, LPARAM);
    // An installer asks the program to save and end (TallyLeafDlgCloseForUpdate.cpp).
    LRESULT OnCloseForUpdate(WPARAM, LPARAM);
    LRESULT OnNoteSelChanged(NMHDR* hdr);
    LRESULT OnNoteMoved(NMHDR* hdr);
    void OnEditorChange(UINT);
    void OnAddNewNote(UINT);
    void OnAddSubnote(UINT);
    void OnRenameNote(UINT);
    void OnDeleteNote(UINT);
    void OnUndoDelete(UINT);
    void OnHide(UINT);
    void OnExit(UINT);
    void OnAlwaysOnTop(UINT);
    void OnOptions(UINT);
    void OnEditCommand(UINT id);
    void OnWebPage(UINT id);
    void OnAbout(UINT);
    // The Format menu and printing (TallyLeafDlgFormat.cpp).
    void OnWordWrap(UINT);
    void OnChooseFont(UINT);
    void OnFontColor(UINT);
    void OnBackColor(UINT);
    void OnPrint(UINT);
    void OnFind(UINT);
    void OnFindNext(UINT);
    void OnReplace(UINT);
    void OnFindAll(UINT);
    LRESULT OnFindReplaceMessage(WPARAM, LPARAM);
    void OnInsertSnippet(UINT id);
    void OnLoadFromFile(UINT);
    void OnSaveToFile(UINT);
    void OnExportTree(UINT);
    void OnImportFolder(UINT);
    void OnRestoreBackup(UINT);

    LRESULT OnBackupDone(WPARAM, LPARAM);

    // Posted at start-up to make the window topmost once it is initialised.
    static const UINT s_nApplyAlwaysOnTopMsg;
    // Sent by an installer or uninstaller (app/CloseForUpdate.h).
    static const UINT s_nCloseForUpdateMsg;

    // What the Settings dialog asks of the window (TallyLeafDlgDatabase.cpp).
    HWND Window() const override { return m_hWnd; }
    void ShowTrayIcon(bool shown) override;
    void SetMinimizeOnClose(bool on) override;
    bool ApplyHotKey(WORD modifiers, WORD vk) override;
    void ReportHotKeyRefused(HWND owner) override;
    std::wstring DatabasePath() const override { return m_notes.DatabasePath(); }
    void SwitchDatabase(const std::wstring& path) override;
    void BackUpBeforeLeavingDatabase(const std::wstring& next) override { m_notes.BackUpBeforeLeavingDatabase(next); }
    std::wstring CopyDatabaseTo(const std::wstring& target) override { return m_notes.CopyDatabaseTo(target); }
    std::wstring LastBackupTime() const override { return m_notes.LastBackupTime(); }

    CTrayIcon m_trayIcon;
    // The notes, on the program's connection theDB, shown in the tree and the editor.
    TreeNotesView m_treeView{m_wndTree};
    EditorNoteView m_editorView{m_wndEditor, [this](const std::wstring& text) { WrapEditorFor(text); }};
    WindowNotesHost m_notesHost{*this};
    NotesSession m_notes{theDB, m_treeView, m_editorView, m_notesHost};
    // Find in All Notes, over the notes session.
    SessionSearchHost m_findAllHost{m_notes};
    CFindAllNotesDlg m_findAll{m_findAllHost};
    // Set while the system asks to end the session: the shutdown steps have run.
    bool m_bShutDown = false;

    DECLARE_MESSAGE_TABLE()
};
