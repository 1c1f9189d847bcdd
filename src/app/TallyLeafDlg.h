// CTallyLeafDlg: the main window. The notes tree on the left, the editor on the
// right; it starts hidden and lives in the tray until called up.
//
// Its handlers are split by concern:
//   TallyLeafDlg.cpp       construction, initialisation, settings, life cycle
//   TallyLeafDlgStore.cpp  opening the store, filling the tree, loading and saving notes,
//                          the deferred save, and the one report of storage failures
//   TallyLeafDlgShell.cpp  tray icon, hot key, hiding on focus loss, always on top
//   TallyLeafDlgNotes.cpp  adding, renaming, deleting and moving notes
//   TallyLeafDlgCommands.cpp  the menu commands: when each is enabled or checked, the
//                          Edit commands on the editor, the web pages
//   TallyLeafDlgKeys.cpp   the keys the window takes before its controls see them
//   TallyLeafDlgFormat.cpp the Format menu (word wrap, font, colours) and printing
//   TallyLeafDlgFind.cpp   Find, Find Next and Replace; the Insert menu's snippets
//   TallyLeafDlgDatabase.cpp  the Settings dialog, closing the database file for a
//                          copy, and the conversion of a database of the old format
//   TallyLeafDlgFiles.cpp  text files: Load from File (and files dropped on the editor),
//                          Save to File, and the export of the whole tree
//   TallyLeafDlgMenus.cpp  the icons of the owner-drawn menus
// The statements on the notes table are NotesStore's (storage/NotesStore.h); the
// save waiting after a note is left is a DeferredSave (storage/DeferredSave.h).
// The window's storage operations are thin steps over them that report failures.
#pragma once

#include <functional>
#include <string>
#include <vector>
#include <unordered_map>

#include "app/Settings.h"
#include "app/TrayIcon.h"
#include "chrome/Splitter.h"
#include "chrome/NewDialog.h"
#include "editor/DragEdit.h"
#include "editor/FindReplace.h"
#include "editor/Snippets.h"
#include "framework/Dialog.h"
#include "framework/Gdi.h"
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
    // Writes a waiting save and closes the database file (before it is copied).
    void CloseNotesStore();
    // Carries the notes of the old-format "notes.db" into the file in use.
    void ConvertOldDatabase();
    void CreateNotesTable();
    int FillTree(int parentId, HTREEITEM parent);
    void LoadNote(int noteId);
    void SaveNote(int noteId);
    void FlushPendingSave();

    // Note operations. AddNote asks for the name when `name` is empty; false
    // when no note was added (cancelled, or a failure already reported).
    bool AddNote(int parentId, std::wstring name);
    // Deletes `item`, its following siblings and all their descendants, each
    // row before its item; false when a failure (already reported) stopped it.
    bool DeleteItemsFrom(HTREEITEM item);

    // Text files. Reads a file and, after asking, makes it a new note or the
    // shown note's text.
    void LoadFileIntoNote(const std::wstring& path);
    // Writes the editor's text (no item) or the stored text of `item`'s note
    // to a UTF-8 file; false, after telling the user, when it was not written.
    bool WriteNoteToFile(const std::wstring& path, HTREEITEM item);
    // Exports `item`, its following siblings and everything below them into
    // `folder` (ending with a backslash); returns how many notes were written
    // and adds those that could not be to `failed`.
    int ExportLevel(const std::wstring& folder, HTREEITEM item, int& failed);

    bool PreTranslateMessage(MSG* msg) override;

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
    CFindReplace& FindReplace() { return m_findReplace; }
    const std::vector<Snippet>& InsertSnippets() const { return m_snippets; }

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override;

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
    // The save of the note left last, written by timer 12 (TIMER_DEFERRED_SAVE).
    DeferredSave m_deferredSave;
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
    // Writes a waiting deferred save at once and forgets it.
    void WritePendingSaveNow();
    // An empty, read-only editor that stands for no note.
    void ShowNoNote();
    // Inserts the notes under `parentId` (taking them out of `rows`) and their
    // children below them; returns how many it inserted.
    int InsertChildren(NotesStore::RowsByParent& rows, int parentId, HTREEITEM parent);
    // Writes the editor's text and position into a note; throws on failure.
    void WriteNoteText(int noteId);
    // Runs a storage step. A failure is shown in an error box as `failurePrefix`
    // followed by the exception's message; returns whether the step succeeded.
    bool TryStorage(const wchar_t* failurePrefix, const std::function<void()>& step);
    void ShowFirstRunBalloon();
    // Gives the menus their icons (TallyLeafDlgMenus.cpp).
    void AttachMenuIcons();
    // Makes the window topmost or not, as m_bAlwaysOnTop says, without moving it.
    void ApplyAlwaysOnTop();
    // One rule per command, used by the menus as they open and by the dispatch:
    // a command without a sending control runs only while it is enabled.
    bool IsCommandEnabled(UINT id);
    bool IsCommandChecked(UINT id) const;
    // Gives a menu item (by command or by position) its command's enabled state and check mark.
    void ShowCommandState(HMENU menu, UINT item, UINT byCommandOrPosition);

    // Keys, in the order they are looked at; each returns true when it took the key.
    bool DropsAltRelease(const MSG& msg);
    bool OnControlKey(const MSG& msg);
    bool OnSystemKey(MSG& msg);
    bool OnPlainKey(const MSG& msg);
    // Selects the whole note in the editor, wherever the focus is.
    void SelectWholeNote();
    // Sends a command as the menu does: it runs only while enabled.
    void SendCommand(UINT id);
    // The Find and Replace dialogs. Their keys reach them even while the
    // commands are disabled (an empty note).
    void OpenFindDialog();
    void OpenReplaceDialog();
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
                    int& failed);
    // Writes `text` to a new UTF-8 file; false, after telling the user, when it was not written.
    bool WriteTextToFile(const std::wstring& path, const std::wstring& text);

    // Posted at start-up to make the window topmost once it is initialised.
    static const UINT s_nApplyAlwaysOnTopMsg;

    CTrayIcon m_trayIcon;
    // The notes table, on the program's connection theDB.
    NotesStore m_store{theDB};
    // Set while the system asks to end the session: the shutdown steps have run.
    bool m_bShutDown = false;

    DECLARE_MESSAGE_TABLE()
};
