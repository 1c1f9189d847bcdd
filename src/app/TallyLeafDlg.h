// CTallyLeafDlg: the main window. The notes tree on the left, the editor on the
// right; it starts hidden and lives in the tray until called up.
//
// Its handlers are split by concern:
//   TallyLeafDlg.cpp       construction, initialisation, settings, life cycle
//   TallyLeafDlgStore.cpp  opening the store, filling the tree, loading and saving notes,
//                          the saves that wait (deferred, failed, typed), recovery files,
//                          and the one report of storage failures
//   TallyLeafDlgBackup.cpp the daily backups of the database in use
//   TallyLeafDlgShell.cpp  tray icon, hot key, hiding on focus loss, always on top
//   TallyLeafDlgNotes.cpp  adding, renaming, deleting and moving notes
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
//   TallyLeafDlgDatabase.cpp  the Settings dialog, closing the database file for a
//                          copy, and the conversion of a database of the old format
//   TallyLeafDlgFiles.cpp  text files: Load from File (and files dropped on the editor),
//                          Save to File, and the export of the whole tree
//   TallyLeafDlgMenus.cpp  the icons of the owner-drawn menus, by the table's rows
// The statements on the notes table are NotesStore's (storage/NotesStore.h); the
// saves that wait are a DeferredSave (storage/DeferredSave.h).
// The window's storage operations are thin steps over them that report failures.
#pragma once

#include <functional>
#include <string>
#include <vector>
#include <unordered_map>

#include "app/CommandTable.h"
#include "settings/Settings.h"
#include "shell/TrayIcon.h"
#include "controls/Splitter.h"
#include "menus/NewDialog.h"
#include "editor/DragEdit.h"
#include "editor/FindReplace.h"
#include "editor/Snippets.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
#include "storage/BackupWorker.h"
#include "storage/CppSQLite3DB.h"
#include "storage/DeferredSave.h"
#include "storage/NotesStore.h"
#include "tree/MyCTreeCtr.h"

class CTallyLeafDlg : public CNewDialog {
public:
    CTallyLeafDlg();
    ~CTallyLeafDlg() override;

    void CallUpWindow();
    void HideWindow();
    void LayoutChildren();

    // The tray icon; the Settings dialog turns it on and off too.
    void AddTrayIcon(const wchar_t* tip);
    void RemoveTrayIcon();
    // Registers the settings' hot key (none when the key
    // is 0); false when the system refused the combination.
    bool RegisterGlobalHotKey();
    void UnregisterGlobalHotKey();
    // Tells the user the hot key was refused, in a box owned by `owner`.
    static void ReportHotKeyRefused(HWND owner);

    // The notes store.
    void OpenNotesStore();
    // Makes the day's verified backup of the database in use at once (the
    // Settings dialog's database commands call it before leaving the file).
    void BackUpBeforeLeavingDatabase();
    // Writes a waiting save and closes the database file (before it is copied).
    void CloseNotesStore();
    // Carries the notes of the old-format "notes.db" into the file in use.
    void ConvertOldDatabase();
    void CreateNotesTable();
    int FillTree(int parentId, HTREEITEM parent);
    void LoadNote(int noteId);
    // Writes the editor's text into the note when it is the one shown; a
    // failure keeps the text waiting to be tried again.
    void SaveNote(int noteId);

    // Note operations. AddNote asks for the name when `name` is empty; false
    // when no note was added (cancelled, or a failure already reported).
    bool AddNote(int parentId, std::wstring name);

    // Text files. Reads a file and, after asking, makes it a new note or the
    // shown note's text.
    void LoadFileIntoNote(const std::wstring& path);
    // Writes the editor's text to a UTF-8 file, replacing it only once the whole
    // text is on the disk; false, after telling the user, when it was not written.
    bool WriteNoteToFile(const std::wstring& path);
    // Exports `item`, its following siblings and everything below them into
    // `folder` (ending with a backslash); returns how many notes were written
    // and adds those that could not be to `failed`, the first few of them,
    // with their reasons, to `named`.
    int ExportLevel(const std::wstring& folder, HTREEITEM item, int& failed,
                    std::vector<std::wstring>* named = nullptr);

    bool PreTranslateMessage(MSG* msg) override;

    // The window's commands, one row each (TallyLeafDlgCommandTable.cpp).
    using Command = CommandRow<CTallyLeafDlg>;
    static CommandTable<CTallyLeafDlg> Commands();

    // The database file in use; the database commands change it.
    std::wstring m_strDbPath;

    // What the window shows and counts, for the windows and tests that look at it.
    MyCTreeCtr& Tree() { return m_wndTree; }
    const MyCTreeCtr& Tree() const { return m_wndTree; }
    CDragEdit& Editor() { return m_wndEditor; }
    const CDragEdit& Editor() const { return m_wndEditor; }
    int CallUps() const { return m_nCallUps; }
    bool NoteDeleted() const { return m_bNoteDeleted; }
    bool SaveIsWaiting() const { return m_deferredSave.IsWaiting(); }
    // The text waiting to be written into a note (a failed or deferred save), or null.
    const std::wstring* WaitingText(int noteId) const {
        const DeferredSave::Waiting* save = m_deferredSave.Find(noteId);
        return save ? &save->text : nullptr;
    }
    CFindReplace& FindReplace() { return m_findReplace; }
    const std::vector<Snippet>& InsertSnippets() const { return m_snippets; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    // The settings in force; the Settings dialog changes them too.
    Settings m_settings;
    CFont m_fontEditor;
    CBrush m_brBack;
    int m_nCallUps = 0;
    bool m_bShowAllowed = false;
    // The hot key called the window up while Alt was held: the release of that
    // Alt must not open the menu bar (see DropsAltRelease).
    bool m_bHotKeyAltHeld = false;
    // The saves that wait: the note left last, written by timer 12
    // (TIMER_DEFERRED_SAVE), and saves that failed, tried again by the same timer.
    DeferredSave m_deferredSave;
    // While failed saves wait: how long until the next try (0: none failed).
    UINT m_nRetryMs = 0;
    // Whether the user was told of the failures that wait (once until they are written).
    bool m_bSaveFailureReported = false;
    // Whether typing since the last save waits for the typing timers.
    bool m_bTypingUnsaved = false;
    // The selected note that another program's lock kept from being read (0: none).
    int m_nUnreadNoteId = 0;
    bool m_bNoteDeleted = false;
    // The note whose text the editor holds; 0 while it holds none (read-only then).
    int m_nShownNoteId = 0;
    MyCTreeCtr m_wndTree;
    CDragEdit m_wndEditor;
    CSplitter m_wndSplitter;
    bool m_bClearingTree = false;
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
    // Creates the editor window, wrapping its lines or not.
    void RecreateEditor(bool wrap);
    // Whether the editor wraps `text`: word wrap is on and no paragraph is too
    // long for the edit control to wrap in reasonable time.
    bool WrapsText(const std::wstring& text) const;
    // Re-creates the editor when it must wrap (or not) to show `text`, keeping
    // its drag and drop, font, place and focus.
    void WrapEditorFor(const std::wstring& text);
    void LoadFontAndColours();
    void SaveOnExit();
    // The storage steps of SaveOnExit: the waiting deferred save, the note shown,
    // and the compaction of the file after a delete.
    void SaveNotesOnExit();
    void SavePlacement();
    // Records the editor's text and position as the deferred save of `noteId`
    // (writing a save already waiting first) and starts the timer.
    void StartDeferredSave(int noteId);
    // Timer 12: writes what waits; a retry waits only briefly for locks.
    void WriteDeferredSaves();
    // Writes every save that waits; a failure keeps them waiting for a retry
    // and is reported (once). True when nothing waits any more.
    bool WriteWaitingSaves();
    // Before the database file is let go of: writes what waits, or else keeps
    // it in recovery files and tells the user.
    void WriteOrRecoverWaitingSaves();
    // Writes every waiting text into a recovery file, forgets it, and tells the
    // user where, after `why`.
    void KeepInRecoveryFiles(const std::wstring& why);
    // A save failed: its retry is scheduled, and the user told once.
    void SaveFailed(const wchar_t* failurePrefix, const CppSQLite3Exception& e);
    // Everything that waited was written.
    void EndSaveFailures();
    // An empty, read-only editor that stands for no note.
    void ShowNoNote();
    // A read-only editor saying that the note can't be read yet; it is read
    // again by timer 22 (TIMER_READ_NOTE_AGAIN).
    void ShowNoteNotReadYet(int noteId);
    void ReadUnreadNoteAgain();
    // Typing is saved after a pause and at least every so often (timers 20 and 21).
    void OnEditorChange(UINT);
    void SaveTyping();
    void StopTypingSave();
    // Inserts the notes under `parentId` (taking them out of `rows`) and their
    // children below them; returns how many it inserted.
    int InsertChildren(NotesStore::RowsByParent& rows, int parentId, HTREEITEM parent);
    // Writes the editor's text (in m_strNoteText) and position into the note
    // shown; a failure keeps them waiting. False when it was not written.
    bool WriteShownNote(int noteId, const wchar_t* failurePrefix);
    // Runs a storage step. A failure is shown in an error box as `failurePrefix`
    // followed by the exception's message; returns whether the step succeeded.
    bool TryStorage(const wchar_t* failurePrefix, const std::function<void()>& step);
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
    // Gives a menu item (by command or by position) its command's enabled state and check mark.
    void ShowCommandState(HMENU menu, UINT item, UINT byCommandOrPosition);

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
    LRESULT OnNoteSelChanged(NMHDR* hdr);
    LRESULT OnNoteMoved(NMHDR* hdr);
    void OnAddNewNote(UINT);
    void OnAddSubnote(UINT);
    void OnRenameNote(UINT);
    void OnDeleteNote(UINT);
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
    LRESULT OnFindReplaceMessage(WPARAM, LPARAM);
    void OnInsertSnippet(UINT id);
    void OnLoadFromFile(UINT);
    void OnSaveToFile(UINT);
    void OnExportTree(UINT);

    // The export's walk over the tree, with the notes' texts read beforehand.
    int ExportItems(const std::wstring& folder, HTREEITEM item, const std::unordered_map<int, std::wstring>& texts,
                    int& failed, std::vector<std::wstring>& named);

    // Posted at start-up to make the window topmost once it is initialised.
    static const UINT s_nApplyAlwaysOnTopMsg;

    // Daily backups: started on a worker thread when a day has no copy yet.
    void BackUpIfDue();
    LRESULT OnBackupDone(WPARAM, LPARAM);
    // Tells the user (once a run) of a backup that was not made.
    void ReportBackup(const BackupResult& result);
    BackupWorker m_backups;
    // The day a backup was last made or found (none yet: all zero).
    BackupDate m_lastBackupDay{};
    bool m_bBackupFailureReported = false;

    CTrayIcon m_trayIcon;
    // The notes table, on the program's connection theDB.
    NotesStore m_store{theDB};
    // Set while the system asks to end the session: the shutdown steps have run.
    bool m_bShutDown = false;

    DECLARE_MESSAGE_TABLE()
};
