#include "dialogs/FindAllNotesDlg.h"

#include <commctrl.h>

#include <exception>
#include <memory>
#include <utility>
#include "framework/Exception.h"
#include "framework/ListColumns.h"

#include "framework/WindowText.h"
#include "res/resource.h"

namespace {
constexpr UINT_PTR kTypingTimer = 1;
constexpr UINT_PTR kSearchingTimer = 2;
// The search's answer, posted by the host's worker.
constexpr UINT WM_NOTES_FOUND = WM_APP + 1;

bool IsHeld(int vk) {
    return (::GetKeyState(vk) & 0x8000) != 0;
}

std::wstring Matches(std::size_t count) {
    return std::to_wstring(count) + (count == 1 ? L" match" : L" matches");
}

}  // namespace

// clang-format off
DEFINE_MESSAGE_TABLE(CFindAllNotesDlg, CDialog,
    OnControlNotify(IDC_FIND_ALL_QUERY, EN_CHANGE, &CFindAllNotesDlg::OnQueryChange),
    OnControlNotify(IDC_FIND_ALL_MATCH_CASE, BN_CLICKED, &CFindAllNotesDlg::OnOptionClick),
    OnControlNotify(IDC_FIND_ALL_WHOLE_WORD, BN_CLICKED, &CFindAllNotesDlg::OnOptionClick),
    OnControlNotify(IDC_FIND_ALL_NAMES_ONLY, BN_CLICKED, &CFindAllNotesDlg::OnOptionClick),
    OnMessage(WM_TIMER, &CFindAllNotesDlg::OnTimer),
    OnMessage(WM_NOTES_FOUND, &CFindAllNotesDlg::OnFound),
    OnMessage(WM_DESTROY, &CFindAllNotesDlg::OnDestroy),
    OnNotify(IDC_FIND_ALL_RESULTS, NM_DBLCLK, &CFindAllNotesDlg::OnResultsDoubleClick),
    OnNotify(IDC_FIND_ALL_RESULTS, LVN_GETDISPINFOW, &CFindAllNotesDlg::OnResultsText))
// clang-format on

CFindAllNotesDlg::CFindAllNotesDlg(FindAllNotesHost& host) : CDialog(IDD_FIND_ALL_NOTES), m_host(host) {}

void CFindAllNotesDlg::Open(HWND owner) {
    if (!m_hWnd && !Create(owner))
        return;
    ShowWindow(SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
    HWND query = Item(IDC_FIND_ALL_QUERY);
    ::SetFocus(query);
    ::SendMessageW(query, EM_SETSEL, 0, -1);
    // The notes may have changed since the dialog was last shown.
    Search();
}

BOOL CFindAllNotesDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SetListColumns(Item(IDC_FIND_ALL_RESULTS), {{L"Note", 40}, {L"Line", 60}});
    return TRUE;
}

void CFindAllNotesDlg::OnOK() {
    // Enter shows the match; the dialog stays for the next one.
    OpenSelected();
}

void CFindAllNotesDlg::OnCancel() {
    KillTimer(kTypingTimer);
    KillTimer(kSearchingTimer);
    ShowWindow(SW_HIDE);
    if (HWND owner = ::GetWindow(m_hWnd, GW_OWNER))
        ::SetActiveWindow(owner);
}

bool CFindAllNotesDlg::PreTranslateMessage(MSG* msg) {
    if (!m_hWnd || (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)))
        return false;
    if (msg->message == WM_KEYDOWN) {
        const bool ctrlShift = IsHeld(VK_CONTROL) && IsHeld(VK_SHIFT) && !IsHeld(VK_MENU);
        if (ctrlShift && msg->wParam == 'F') {
            Open(::GetWindow(m_hWnd, GW_OWNER));
            return true;
        }
        if (msg->hwnd == Item(IDC_FIND_ALL_QUERY) && (msg->wParam == VK_DOWN || msg->wParam == VK_UP)) {
            MoveSelection(msg->wParam == VK_DOWN ? 1 : -1);
            return true;
        }
    }
    return ::IsDialogMessageW(m_hWnd, msg) != FALSE;
}

void CFindAllNotesDlg::OnQueryChange(UINT) {
    // Searched once the typing pauses, not on every key.
    SetTimer(kTypingTimer, kTypingPauseMs);
}

void CFindAllNotesDlg::OnOptionClick(UINT) {
    Search();
}

LRESULT CFindAllNotesDlg::OnTimer(WPARAM id, LPARAM) {
    if (id == kSearchingTimer) {
        KillTimer(kSearchingTimer);
        SetCount(L"Searching...");
        return 0;
    }
    if (id != kTypingTimer)
        return Default();
    KillTimer(kTypingTimer);
    Search();
    return 0;
}

LRESULT CFindAllNotesDlg::OnFound(WPARAM, LPARAM lParam) {
    std::unique_ptr<NoteSearch::Found> found = m_host.TakeFound(lParam);
    // An answer to a search overtaken by a newer one is dropped.
    if (!found || found->generation != m_generation)
        return 0;
    KillTimer(kSearchingTimer);
    m_results = std::move(found->results);
    m_failure = std::move(found->failure);
    m_listedQuery = found->query.text;
    FillList(std::move(found->paths));
    SetCount(CountLine());
    return 0;
}

LRESULT CFindAllNotesDlg::OnDestroy(WPARAM, LPARAM) {
    // Answers still queued would go with the window's messages, unfreed.
    MSG queued;
    while (::PeekMessageW(&queued, m_hWnd, WM_NOTES_FOUND, WM_NOTES_FOUND, PM_REMOVE))
        m_host.TakeFound(queued.lParam);
    return Default();
}

LRESULT CFindAllNotesDlg::OnResultsDoubleClick(NMHDR*) {
    OpenSelected();
    return 0;
}

NoteSearch::Query CFindAllNotesDlg::ReadQuery() const {
    NoteSearch::Query query;
    query.text = WindowText(Item(IDC_FIND_ALL_QUERY));
    query.matchCase = ::IsDlgButtonChecked(m_hWnd, IDC_FIND_ALL_MATCH_CASE) == BST_CHECKED;
    query.wholeWord = ::IsDlgButtonChecked(m_hWnd, IDC_FIND_ALL_WHOLE_WORD) == BST_CHECKED;
    query.namesOnly = ::IsDlgButtonChecked(m_hWnd, IDC_FIND_ALL_NAMES_ONLY) == BST_CHECKED;
    return query;
}

void CFindAllNotesDlg::Search() {
    KillTimer(kTypingTimer);
    const NoteSearch::Query query = ReadQuery();
    ++m_generation;
    if (query.text.empty()) {
        // Nothing is listed at once; the search still goes to the host, which
        // reads what later searches need while the user types the first one.
        KillTimer(kSearchingTimer);
        m_results = {};
        m_failure.clear();
        m_listedQuery.clear();
        FillList({});
        SetCount(CountLine());
    } else {
        // The list keeps the last answer until this one comes.
        SetTimer(kSearchingTimer, kSearchingNoticeMs);
    }
    try {
        m_host.StartSearch(query, kListed, m_generation, m_hWnd, WM_NOTES_FOUND);
    } catch (const std::exception& e) {
        KillTimer(kSearchingTimer);
        SetCount(L"The search could not start: " + ExceptionMessage(e));
    }
}

std::wstring CFindAllNotesDlg::CountLine() const {
    if (!m_failure.empty())
        return L"The notes could not be read: " + m_failure;
    if (m_results.total > m_results.hits.size())
        return Matches(m_results.total) + L", the first " + std::to_wstring(m_results.hits.size()) + L" listed";
    return m_listedQuery.empty() ? std::wstring() : Matches(m_results.total);
}

void CFindAllNotesDlg::FillList(std::vector<std::wstring> paths) {
    m_paths = std::move(paths);
    m_paths.resize(m_results.hits.size());
    m_lines.clear();
    m_lines.reserve(m_results.hits.size());
    for (const NoteSearch::Hit& hit : m_results.hits) {
        std::wstring line = hit.inName ? L"(name) " + hit.line : hit.line;
        for (wchar_t& c : line)
            if (c == L'\t')
                c = L' ';
        m_lines.push_back(std::move(line));
    }
    HWND list = Item(IDC_FIND_ALL_RESULTS);
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemCountEx(list, static_cast<int>(m_lines.size()), 0);
    ::InvalidateRect(list, nullptr, TRUE);
}

LRESULT CFindAllNotesDlg::OnResultsText(NMHDR* header) {
    auto* info = reinterpret_cast<NMLVDISPINFOW*>(header);
    const auto row = static_cast<std::size_t>(info->item.iItem);
    if (!(info->item.mask & LVIF_TEXT) || row >= m_lines.size() || info->item.cchTextMax <= 0)
        return 0;
    const std::wstring& text = info->item.iSubItem == 0 ? m_paths[row] : m_lines[row];
    const std::size_t room = static_cast<std::size_t>(info->item.cchTextMax) - 1;
    const std::size_t length = text.size() < room ? text.size() : room;
    text.copy(info->item.pszText, length);
    info->item.pszText[length] = L'\0';
    return 0;
}

void CFindAllNotesDlg::MoveSelection(int step) {
    HWND list = Item(IDC_FIND_ALL_RESULTS);
    const int count = ListView_GetItemCount(list);
    if (count == 0)
        return;
    const int selected = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    int next = selected < 0 ? (step > 0 ? 0 : count - 1) : selected + step;
    next = next < 0 ? 0 : next >= count ? count - 1 : next;
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemState(list, next, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, next, FALSE);
}

void CFindAllNotesDlg::OpenSelected() {
    if (m_results.hits.empty())
        return;
    const int selected = ListView_GetNextItem(Item(IDC_FIND_ALL_RESULTS), -1, LVNI_SELECTED);
    const auto index = static_cast<std::size_t>(selected < 0 ? 0 : selected);
    // A match the notes no longer hold: the list is searched again.
    if (index < m_results.hits.size() && !m_host.ShowFound(m_results.hits[index]))
        Search();
}

void CFindAllNotesDlg::SetCount(const std::wstring& text) {
    ::SetDlgItemTextW(m_hWnd, IDC_FIND_ALL_COUNT, text.c_str());
}
