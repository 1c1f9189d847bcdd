#include "app/RestoreBackupDlg.h"

#include <commctrl.h>

#include "framework/ByteSizeText.h"
#include "framework/ListColumns.h"
#include "res/resource.h"

namespace {

void SetCell(HWND list, int row, int column, const std::wstring& text) {
    ListView_SetItemText(list, row, column, const_cast<wchar_t*>(text.c_str()));
}

std::wstring MadeText(const DailyBackups::Listed& copy) {
    switch (copy.kind) {
        case BackupSeries::Kind::Undo:
            return copy.madeAt + L", before restore";
        case BackupSeries::Kind::Unmarked:
            // Named before each file had a series: may be of another file of this name.
            return DateText(copy.date) + L" (older name)";
        case BackupSeries::Kind::Daily:
            break;
    }
    // The day in the name; the time when the file is of that day.
    return copy.madeAt.compare(0, 10, DateText(copy.date)) == 0 ? copy.madeAt : DateText(copy.date);
}

std::wstring CheckText(const DailyBackups::Listed& copy) {
    return copy.check.sound ? L"sound" : L"damaged: " + copy.check.finding;
}

}  // namespace

// clang-format off
DEFINE_MESSAGE_TABLE(CRestoreBackupDlg, CDialog,
    OnNotify(IDC_RESTORE_LIST, LVN_ITEMCHANGED, &CRestoreBackupDlg::OnItemChanged),
    OnNotify(IDC_RESTORE_LIST, NM_DBLCLK, &CRestoreBackupDlg::OnDoubleClick))
// clang-format on

CRestoreBackupDlg::CRestoreBackupDlg(HWND owner, NotesParts& notes)
    : CDialog(IDD_RESTORE_BACKUP, owner), m_notes(notes.session), m_backups(notes.backups) {}

BOOL CRestoreBackupDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ::SetDlgItemTextW(m_hWnd, IDC_RESTORE_FILE, m_notes.DatabasePath().c_str());
    HWND list = GetDlgItem(IDC_RESTORE_LIST);
    SetListColumns(list, {{L"Made", 44}, {L"Size", 12}, {L"Notes", 11}, {L"Check", 33}});
    // Each copy is checked as it is listed: a moment for large files.
    HCURSOR previous = ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
    m_copies = m_backups.List();
    ::SetCursor(previous);
    FillList();
    ::SetFocus(list);
    return FALSE;  // the focus is set
}

void CRestoreBackupDlg::FillList() {
    HWND list = GetDlgItem(IDC_RESTORE_LIST);
    ListView_DeleteAllItems(list);
    int first = -1;
    for (size_t i = 0; i < m_copies.size(); ++i) {
        const DailyBackups::Listed& copy = m_copies[i];
        const std::wstring made = MadeText(copy);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = const_cast<wchar_t*>(made.c_str());
        const int row = ListView_InsertItem(list, &item);
        SetCell(list, row, 1, ByteSizeText(copy.bytes));
        SetCell(list, row, 2, copy.check.notes >= 0 ? std::to_wstring(copy.check.notes) : L"");
        SetCell(list, row, 3, CheckText(copy));
        if (first < 0 && copy.check.sound)
            first = row;
    }
    if (m_copies.empty()) {
        const std::wstring none = L"No backups of this file yet.";
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.pszText = const_cast<wchar_t*>(none.c_str());
        ListView_InsertItem(list, &item);
    }
    // The newest sound copy is offered first.
    const int chosen = first < 0 ? 0 : first;
    ListView_SetItemState(list, chosen, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ::EnableWindow(GetDlgItem(IDOK), Chosen() != nullptr);
}

const DailyBackups::Listed* CRestoreBackupDlg::Chosen() const {
    const int row = ListView_GetNextItem(GetDlgItem(IDC_RESTORE_LIST), -1, LVNI_SELECTED);
    if (row < 0 || static_cast<size_t>(row) >= m_copies.size() || !m_copies[row].check.sound)
        return nullptr;
    return &m_copies[row];
}

LRESULT CRestoreBackupDlg::OnItemChanged(NMHDR*) {
    // A damaged copy can't be restored: Enter on it does nothing.
    ::EnableWindow(GetDlgItem(IDOK), Chosen() != nullptr);
    return 0;
}

LRESULT CRestoreBackupDlg::OnDoubleClick(NMHDR*) {
    OnOK();
    return 0;
}

void CRestoreBackupDlg::OnOK() {
    const DailyBackups::Listed* chosen = Chosen();
    if (!chosen)
        return;
    // A copy that could not be restored leaves the notes as they were: the
    // user may choose another.
    if (m_backups.Restore(chosen->path))
        EndDialog(IDOK);
}
