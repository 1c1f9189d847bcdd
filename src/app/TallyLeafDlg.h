// CTallyLeafDlg: the main window. The notes tree on the left, the editor on the
// right; it starts hidden and lives in the tray until called up.
//
// The window does layout, message routing and ownership, nothing else:
//   - the notes themselves (the database file in use, loading and saving, the
//     saves that wait, note operations) are its NotesSession's, to which it
//     forwards its tree's and editor's notifications and its timers; the
//     search's reads, export and import, and the daily backups are the classes
//     beside it (notes/NotesParts.h);
//   - its commands are handled by the objects of MainCommands (app/MainCommands.h),
//     routed through their command table, and the tray, hot key and focus
//     messages go to its TrayAndHotKey;
//   - the keys it takes before its controls are MainWindowKeys'.
#pragma once

#include "app/EditorNoteView.h"
#include "app/MainCommands.h"
#include "app/MainWindowKeys.h"
#include "app/MainWindowParts.h"
#include "app/TreeNotesView.h"
#include "app/WindowNotesHost.h"
#include "controls/Splitter.h"
#include "editor/DragEdit.h"
#include "menus/NewDialog.h"
#include "notes/NotesParts.h"
#include "settings/Settings.h"
#include "storage/CppSQLite3DB.h"
#include "tree/MyCTreeCtr.h"

class CTallyLeafDlg : public CNewDialog {
public:
    // Typing is saved after the pauses of `typingSaves` (the tests and the
    // bench shorten them so as not to wait seconds).
    explicit CTallyLeafDlg(SaveScheduler::Timings typingSaves = {});
    ~CTallyLeafDlg() override;

    bool PreTranslateMessage(MSG* msg) override;
    // The window's parts, for those that drive it from outside its messages.
    MainWindowParts Parts();

protected:
    void DoDataExchange(CDataExchange& dx) override;
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    void LoadSettings();
    // Places the tree, the splitter bar and the editor in the client area.
    void LayoutChildren();
    void SaveOnExit();
    void SavePlacement();
    bool RouteCommand(UINT id, HWND control);

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
    // An installer asks the program to save and end (app/CloseForUpdate.h).
    LRESULT OnCloseForUpdate(WPARAM, LPARAM);
    LRESULT OnNoteSelChanged(NMHDR* hdr);
    LRESULT OnNoteMoved(NMHDR* hdr);
    void OnEditorChange(UINT);
    LRESULT OnFindReplaceMessage(WPARAM, LPARAM);
    void OnInsertSnippet(UINT id);
    LRESULT OnBackupDone(WPARAM, LPARAM);
    LRESULT OnSearchWarmed(WPARAM, LPARAM);

    // Sent by an installer or uninstaller (app/CloseForUpdate.h).
    static const UINT s_closeForUpdateMsg;

    // The settings in force; the objects of m_commands keep them up to date.
    Settings m_settings;
    HICON m_icon = nullptr;
    HICON m_smallIcon = nullptr;
    MyCTreeCtr m_tree;
    CDragEdit m_editor;
    CSplitter m_splitter;
    // The notes, on the program's connection theDB, shown in the tree and the editor.
    TreeNotesView m_treeView{m_tree};
    EditorNoteView m_editorView{m_editor, [this](const std::wstring& text) { m_commands.format.WrapEditorFor(text); }};
    WindowNotesHost m_notesHost{*this};
    NotesParts m_notes;
    MainCommands m_commands{*this, m_settings, m_tree, m_editor, m_notes, m_smallIcon};
    MainWindowKeys m_keys{*this, m_tree, m_editor, m_commands};

    DECLARE_MESSAGE_TABLE()
};
