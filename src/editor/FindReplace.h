// CFindReplace: the system's modeless Find and Replace dialogs over the note
// editor, and Find Next.
//
// The find and replace texts (80 characters each) keep their content from one
// dialog to the next and for the life of the main window, as do match case and
// the direction (case-insensitive and downward until a dialog sets them).
// Every Find or Replace command opens a new dialog, even while one is open; the
// newest is the one Find closes after a hit. The dialogs report to their owner
// with the registered message s_nFindReplaceMsg ("commdlg_FindReplace"), which
// the owner hands to OnNotification.
//
// The search itself is TextSearch's; this class takes the text from the owner
// (refreshed from the editor) and shows the result in the editor. Every change
// to the text is one undoable replacement of the editor's selection.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <functional>
#include <list>
#include <string>

#include "editor/DragEdit.h"

class CFindReplace {
public:
    static constexpr int kTextLength = 80;
    // The message the dialogs send their owner.
    static const UINT s_nFindReplaceMsg;

    // `owner` owns the dialogs and gets their messages; `noteText` refreshes the
    // owner's copy of the editor's text and returns it.
    CFindReplace(const CWnd& owner, CDragEdit& editor, std::function<const std::wstring&()> noteText);
    ~CFindReplace();
    CFindReplace(const CFindReplace&) = delete;
    CFindReplace& operator=(const CFindReplace&) = delete;

    void OpenFindDialog() { Open(true); }
    void OpenReplaceDialog() { Open(false); }
    // Searches with the stored match case and direction; false when nothing was
    // found. With `reportFailure` the user is told "Cannot find:". An empty find
    // text opens the Find dialog instead.
    bool Search(bool reportFailure);
    // A dialog's message: find next, replace, replace all or closing.
    void OnNotification(const FINDREPLACEW* request);
    // Gives an open dialog its own keys (Tab, Enter, Esc): true when the
    // message was one of a dialog's and has been handled.
    bool PreTranslateMessage(MSG* msg);

    // The newest open dialog, or null.
    HWND DialogWindow() const { return m_hDialog; }
    // Whether `request` is still one of this object's records (it stays until its dialog's window is gone).
    bool HoldsRequest(const FINDREPLACEW* request) const;
    std::wstring FindText() const { return m_szFind; }
    bool MatchCase() const { return m_bMatchCase; }
    bool SearchDown() const { return m_bSearchDown; }

private:
    struct Dialog {
        FINDREPLACEW request{};
        HWND hwnd = nullptr;
        bool isFind = true;
        // It has reported its closing; its window may not be gone yet.
        bool closing = false;
    };

    void Open(bool find);
    // Replaces every match from the selection on in one change.
    void ReplaceAll();
    // Whether the editor's selection is a match of the find text (in `text`).
    bool SelectionMatches(const std::wstring& text) const;
    // Drops the records of dialogs whose windows are gone; the newest dialog
    // that has not reported its closing becomes the current one.
    void ForgetClosedDialogs();

    const CWnd& m_owner;
    CDragEdit& m_editor;
    std::function<const std::wstring&()> m_noteText;
    wchar_t m_szFind[kTextLength] = {};
    wchar_t m_szReplace[kTextLength] = {};
    bool m_bMatchCase = false;
    bool m_bSearchDown = true;
    // One request record a dialog: a notification names its dialog by its record.
    // A list, so the records stay where the dialogs know them.
    std::list<Dialog> m_dialogs;
    HWND m_hDialog = nullptr;
    bool m_bDialogIsFind = true;
};
