// Find, Find Next and Replace in the shown note (the dialogs and the search
// are CFindReplace's), and Find in All Notes (CFindAllNotesDlg, over the
// notes session).
#pragma once

#include <string>

#include "app/AppConstants.h"
#include "app/SessionSearchHost.h"
#include "dialogs/FindAllNotesDlg.h"
#include "editor/DragEdit.h"
#include "editor/FindReplace.h"
#include "notes/SearchedNotes.h"

class FindCommands {
public:
    FindCommands(CWnd& window, CDragEdit& editor, SearchedNotes& notes)
        : m_window(window), m_editor(editor), m_searchHost(notes) {}

    void OpenFind() { m_findReplace.OpenFindDialog(); }
    void FindNext() { m_findReplace.Search(true); }
    void OpenReplace() { m_findReplace.OpenReplaceDialog(); }
    // The shown note's typing is searched as it stands in the editor.
    void OpenFindAll() { m_findAll.Open(m_window); }
    bool NoteHasText() { return ::GetWindowTextLengthW(m_editor) > 0; }

    // The stored texts read and folded ahead of the first Find in All Notes, at
    // a quiet moment; the answer comes as WM_SEARCH_WARMED, for OnSearchWarmed.
    void WarmUpSearch() { m_searchHost.WarmUp(m_window, WM_SEARCH_WARMED); }
    void OnSearchWarmed(LPARAM answer) { m_searchHost.TakeFound(answer); }
    // The window goes.
    void OnWindowDestroyed() { m_searchHost.DiscardWarmUp(m_window, WM_SEARCH_WARMED); }

    // A Find or Replace dialog's message to the window.
    void OnNotification(LPARAM request) {
        m_findReplace.OnNotification(reinterpret_cast<const FINDREPLACEW*>(request));
    }
    // An open Find or Replace dialog keeps its own keys (Tab, Enter, Esc) first.
    bool PreTranslateMessage(MSG* msg) { return m_findReplace.PreTranslateMessage(msg); }

    CFindReplace& FindReplace() { return m_findReplace; }
    CFindAllNotesDlg& FindAllDialog() { return m_findAll; }

private:
    CWnd& m_window;
    CDragEdit& m_editor;
    // The editor's text as the Find and Replace dialogs last searched it.
    std::wstring m_noteText;
    CFindReplace m_findReplace{m_window, m_editor, [this]() -> const std::wstring& {
                                   m_noteText = m_editor.GetWindowText();
                                   return m_noteText;
                               }};
    SessionSearchHost m_searchHost;
    CFindAllNotesDlg m_findAll{m_searchHost};
};
