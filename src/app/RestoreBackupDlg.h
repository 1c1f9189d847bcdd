// CRestoreBackupDlg: File > Restore from Backup. Lists the backups of the
// database file in use, newest first: when each was made, its size, its
// number of notes, and what PRAGMA quick_check found (a damaged copy is shown
// as such and can't be restored). Restore hands the chosen copy to the notes
// session, which keeps the file as it was in a copy of its own first. The list
// has the keyboard: the arrows choose, Enter restores, Esc closes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/Dialog.h"
#include "notes/NotesParts.h"

class CRestoreBackupDlg : public CDialog {
public:
    CRestoreBackupDlg(HWND owner, NotesParts& notes);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    void FillList();
    // The listed copy chosen, or null.
    const DailyBackups::Listed* Chosen() const;
    LRESULT OnItemChanged(NMHDR*);
    LRESULT OnDoubleClick(NMHDR*);

    NotesSession& m_notes;
    DailyBackups& m_backups;
    std::vector<DailyBackups::Listed> m_copies;

    DECLARE_MESSAGE_TABLE()
};
