#include "editor/FindReplace.h"

#include <cwchar>
#include <optional>
#include <utility>

#include "editor/TextSearch.h"
#include "framework/AppMessageBox.h"

const UINT CFindReplace::s_nFindReplaceMsg = ::RegisterWindowMessageW(FINDMSGSTRINGW);

CFindReplace::CFindReplace(const CWnd& owner, CDragEdit& editor, std::function<const std::wstring&()> noteText)
    : m_owner(owner), m_editor(editor), m_noteText(std::move(noteText)) {}

CFindReplace::~CFindReplace() {
    // The dialogs point at the records and the texts of this object.
    for (Dialog& dialog : m_dialogs) {
        if (::IsWindow(dialog.hwnd))
            ::DestroyWindow(dialog.hwnd);
    }
}

void CFindReplace::Open(bool find) {
    ForgetClosedDialogs();
    Dialog& dialog = m_dialogs.emplace_back();
    FINDREPLACEW& request = dialog.request;
    request.lStructSize = sizeof request;
    request.hwndOwner = m_owner.m_hWnd;
    request.Flags = FR_DOWN | FR_HIDEWHOLEWORD;
    request.lpstrFindWhat = m_szFind;
    request.wFindWhatLen = kTextLength;
    if (!find) {
        request.lpstrReplaceWith = m_szReplace;
        request.wReplaceWithLen = kTextLength;
    }
    dialog.isFind = find;
    dialog.hwnd = find ? ::FindTextW(&request) : ::ReplaceTextW(&request);
    if (!dialog.hwnd) {
        m_dialogs.pop_back();
        return;
    }
    m_hDialog = dialog.hwnd;
    m_bDialogIsFind = find;
}

void CFindReplace::ForgetClosedDialogs() {
    // A dialog reports its closing before its window goes, and may read its
    // record until then: a record is dropped only once its window is gone.
    m_dialogs.remove_if([](const Dialog& d) { return !::IsWindow(d.hwnd); });
    m_hDialog = nullptr;
    m_bDialogIsFind = true;
    for (const Dialog& dialog : m_dialogs) {
        if (dialog.closing)
            continue;
        m_hDialog = dialog.hwnd;
        m_bDialogIsFind = dialog.isFind;
    }
}

bool CFindReplace::HoldsRequest(const FINDREPLACEW* request) const {
    for (const Dialog& dialog : m_dialogs) {
        if (&dialog.request == request)
            return true;
    }
    return false;
}

bool CFindReplace::PreTranslateMessage(MSG* msg) {
    if (m_dialogs.empty() || !msg->hwnd)
        return false;
    const HWND root = ::GetAncestor(msg->hwnd, GA_ROOT);
    for (const Dialog& dialog : m_dialogs) {
        if (dialog.hwnd == root)
            return ::IsDialogMessageW(root, msg) != FALSE;
    }
    return false;
}

bool CFindReplace::Search(bool reportFailure) {
    const std::wstring& text = m_noteText();
    if (m_szFind[0] == L'\0') {
        OpenFindDialog();
        return false;
    }
    int start = 0, end = 0;
    m_editor.GetSel(start, end);
    const std::optional<std::size_t> at =
        TextSearch::Find(text, m_szFind, static_cast<std::size_t>(end), {m_bMatchCase, m_bSearchDown});
    if (!at) {
        if (reportFailure)
            AppMessageBox(std::wstring(L"Cannot find:") + m_szFind, nullptr, MB_OK | MB_ICONINFORMATION,
                          m_owner.m_hWnd);
        return false;
    }
    const int found = static_cast<int>(*at);
    m_editor.SetSel(found, found + static_cast<int>(std::wcslen(m_szFind)));
    // The Find dialog has done its work; a Replace dialog stays for the next
    // replacement. Its own Cancel closes it (Wine's ignores IDABORT) and
    // reports the closing like any other.
    if (m_hDialog && m_bDialogIsFind)
        ::PostMessageW(m_hDialog, WM_COMMAND, IDCANCEL, 0);
    return true;
}

bool CFindReplace::SelectionMatches(const std::wstring& text) const {
    int start = 0, end = 0;
    m_editor.GetSel(start, end);
    return start != end && TextSearch::IsMatch(text, static_cast<std::size_t>(start), static_cast<std::size_t>(end),
                                               m_szFind, m_bMatchCase);
}

void CFindReplace::OnNotification(const FINDREPLACEW* request) {
    const DWORD flags = request->Flags;
    if (flags & FR_DIALOGTERM) {
        for (Dialog& dialog : m_dialogs) {
            if (&dialog.request == request)
                dialog.closing = true;
        }
        ForgetClosedDialogs();
        return;
    }
    m_bMatchCase = (flags & FR_MATCHCASE) != 0;
    if (flags & FR_FINDNEXT) {
        m_bSearchDown = (flags & FR_DOWN) != 0;
        Search(true);
    } else if (flags & FR_REPLACE) {
        m_bSearchDown = true;
        if (SelectionMatches(m_noteText())) {
            m_editor.ReplaceSel(m_szReplace, true);
            m_editor.SetModify(true);
        }
        Search(true);
    } else if (flags & FR_REPLACEALL) {
        m_bSearchDown = true;
        ReplaceAll();
    }
}

void CFindReplace::ReplaceAll() {
    const std::wstring& text = m_noteText();
    if (m_szFind[0] == L'\0') {
        OpenFindDialog();
        return;
    }
    int start = 0, end = 0;
    m_editor.GetSel(start, end);
    const TextSearch::Replacement replacement = TextSearch::ReplaceAll(
        text, static_cast<std::size_t>(start), static_cast<std::size_t>(end), m_szFind, m_szReplace, m_bMatchCase);
    if (replacement.count == 0)
        return;
    // One change over the span from the first match to the end of the last:
    // one Undo takes the whole Replace All back.
    m_editor.ReplaceRange(static_cast<int>(replacement.start), static_cast<int>(replacement.end), replacement.text);
    m_editor.SetModify(true);
}
