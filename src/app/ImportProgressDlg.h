// CImportProgressDlg: the small window that shows how far File > Import Folder
// has come, with Cancel (Esc too). While it is up the main window is disabled,
// and every step of the import lets the messages through a few times a second,
// so that the window goes on drawing and answering.
#pragma once

#include <windows.h>

#include "framework/Dialog.h"
#include "notes/ImportProgress.h"

class CImportProgressDlg : public CDialog, public ImportProgress {
public:
    // Shows the window over `owner`, which it disables until it goes.
    explicit CImportProgressDlg(HWND owner);
    // How often the window is brought up to date and the messages let through
    // while the import runs: often enough that nothing waits a noticeable while.
    static constexpr DWORD kShowEveryMs = 20;
    ~CImportProgressDlg() override;
    CImportProgressDlg(const CImportProgressDlg&) = delete;
    CImportProgressDlg& operator=(const CImportProgressDlg&) = delete;

    bool Going(int filesRead, int stored, int total) override;
    void Finished() override;

protected:
    void OnCancel() override;

private:
    void PumpMessages();

    HWND m_hOwner;
    bool m_bCancelled = false;
    DWORD m_nLastShown = 0;
};
