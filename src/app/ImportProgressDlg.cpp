#include "app/ImportProgressDlg.h"

#include <string>

#include "res/resource.h"

CImportProgressDlg::CImportProgressDlg(HWND owner) : CDialog(IDD_IMPORT_PROGRESS, owner), m_hOwner(owner) {
    // The owner is disabled first, as a modal window's is: nothing there runs
    // while the import does.
    ::EnableWindow(m_hOwner, FALSE);
    Create(owner);
    if (m_hWnd) {
        ShowWindow(SW_SHOW);
        ::SetFocus(::GetDlgItem(m_hWnd, IDCANCEL));
    }
    m_nLastShown = ::GetTickCount() - kShowEveryMs;
}

CImportProgressDlg::~CImportProgressDlg() {
    Finished();
}

void CImportProgressDlg::Finished() {
    // The owner is enabled before the window goes, so the activation returns to it.
    ::EnableWindow(m_hOwner, TRUE);
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

void CImportProgressDlg::OnCancel() {
    m_bCancelled = true;
}

bool CImportProgressDlg::Going(int filesRead, int stored, int total) {
    if (::GetTickCount() - m_nLastShown < kShowEveryMs)
        return !m_bCancelled;
    const std::wstring text = total == 0
                                  ? L"Reading files: " + std::to_wstring(filesRead)
                                  : L"Storing notes: " + std::to_wstring(stored) + L" of " + std::to_wstring(total);
    if (m_hWnd)
        ::SetDlgItemTextW(m_hWnd, IDC_IMPORT_PROGRESS_TEXT, text.c_str());
    PumpMessages();
    m_nLastShown = ::GetTickCount();
    return !m_bCancelled;
}

void CImportProgressDlg::PumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            // Left for the program's own loop, which ends when the import has.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_bCancelled = true;
            return;
        }
        if (m_hWnd && ::IsDialogMessageW(m_hWnd, &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}
