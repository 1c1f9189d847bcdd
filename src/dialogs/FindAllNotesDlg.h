// CFindAllNotesDlg: Find in All Notes, a modeless dialog over the main window.
// The user types a query; after a short pause every note's name and text is
// searched (by the host, on another thread: the box takes keys meanwhile) and
// each match is listed with the note's path and the matching line. Enter or a double click shows the match in the main
// window and the dialog stays open; Down and Up in the search box move through the list; Esc hides the dialog, which
// keeps its query for the next time.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "dialogs/FindAllNotesHost.h"
#include "framework/Dialog.h"
#include "search/NoteSearch.h"

class CFindAllNotesDlg : public CDialog {
public:
    // The pause in typing after which the search runs.
    static constexpr UINT kTypingPauseMs = 75;
    // How long a search may take before the count line says it is searching.
    static constexpr UINT kSearchingNoticeMs = 300;
    // The most matches listed; the count line gives them all.
    static constexpr std::size_t kListed = 1000;

    explicit CFindAllNotesDlg(FindAllNotesHost& host);

    // Shows the dialog (creating it the first time) owned by `owner`, with the
    // focus in the search box and its text selected, and searches again.
    void Open(HWND owner);
    // Whether the dialog is shown.
    bool IsOpen() const { return m_hWnd && IsWindowVisible(); }
    // The matches listed, in the list's order.
    const NoteSearch::Results& Results() const { return m_results; }
    // The query whose matches the list shows (the last search's).
    const std::wstring& ListedQuery() const { return m_listedQuery; }
    // The line under the list: how many matches, or why there are none.
    std::wstring CountLine() const;

    bool PreTranslateMessage(MSG* msg) override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    void OnQueryChange(UINT);
    void OnOptionClick(UINT);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnFound(WPARAM, LPARAM);
    LRESULT OnDestroy(WPARAM, LPARAM);
    LRESULT OnResultsDoubleClick(NMHDR*);
    LRESULT OnResultsText(NMHDR*);

    NoteSearch::Query ReadQuery() const;
    void Search();
    // Shows the results: the list asks for each row's text as it draws it.
    void FillList(std::vector<std::wstring> paths);
    // Moves the list's selection by `step` rows.
    void MoveSelection(int step);
    // Shows the selected match (the first when none is selected).
    void OpenSelected();
    void SetCount(const std::wstring& text);
    HWND Item(int id) const { return ::GetDlgItem(m_hWnd, id); }

    FindAllNotesHost& m_host;
    NoteSearch::Results m_results;
    std::vector<std::wstring> m_paths;  // the note's path of each match listed
    std::vector<std::wstring> m_lines;  // the line shown for each match
    std::wstring m_listedQuery;
    unsigned m_generation = 0;  // the newest search asked for
    std::wstring m_failure;     // why the notes could not be read at the last search

    DECLARE_MESSAGE_TABLE()
};
