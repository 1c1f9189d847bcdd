// The main window's Settings dialog and its database file: the Options command,
// closing the file so it can be copied, and the conversion of a database of the
// previous release into the file in use.
#include "settings/AppFolders.h"
#include "dialogs/Options.h"
#include "app/TallyLeafDlg.h"
#include "framework/AppMessageBox.h"
#include "storage/OldDatabase.h"

namespace {
constexpr const wchar_t* kNotConverted = L"Can't convert database to new format.";
}  // namespace

void CTallyLeafDlg::OnOptions(UINT) {
    // The note shown goes to the file first: the database commands of the
    // dialog may copy the file or leave it.
    SaveNote(m_wndTree.SelectedNoteId());
    COptions options(*this, m_settings);
    options.DoModal();
}

void CTallyLeafDlg::CloseNotesStore() {
    WriteOrRecoverWaitingSaves();
    m_store.CloseQuietly();
}

void CTallyLeafDlg::ConvertOldDatabase() {
    const std::wstring oldPath = AppFolders::DataFolder() + OldDatabase::kFileName;
    auto report = [this](OldDatabase::Failure failure, const std::wstring& message) {
        switch (failure) {
            case OldDatabase::Failure::PathMemory:
                AppMessageBox(L"Memory Allocation error #1", nullptr, MB_OK, m_hWnd);
                break;
            case OldDatabase::Failure::Open:
                AppMessageBox(message, nullptr, MB_OK | MB_ICONERROR, m_hWnd);
                AppMessageBox(kNotConverted, nullptr, MB_OK | MB_ICONERROR, m_hWnd);
                break;
            case OldDatabase::Failure::Read:
                // Without a caption of its own: the system's default one shows.
                ::MessageBoxW(m_hWnd, message.c_str(), nullptr, MB_OK);
                AppMessageBox(kNotConverted, nullptr, MB_OK | MB_ICONERROR, m_hWnd);
                break;
            case OldDatabase::Failure::Storage:
                AppMessageBox(message, nullptr, MB_OK | MB_ICONERROR, m_hWnd);
                break;
        }
    };
    if (!OldDatabase::ConvertInto(oldPath, m_strDbPath, report))
        return;
    AppMessageBox(L"Tallyleaf has successfully converted your database to new format.\n\n  Old database file is " +
                      oldPath + L" \n\n  New file is " + m_strDbPath,
                  nullptr, MB_OK | MB_ICONINFORMATION, m_hWnd);
}
