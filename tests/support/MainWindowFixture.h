// A fixture that runs the real main window, created modeless, on a fresh data
// folder with a sandboxed registry; modal boxes and name windows are answered
// by `modal`.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/TallyLeafDlg.h"
#include "storage/NotesStore.h"
#include "support/ModalAnswer.h"
#include "support/RegistrySandbox.h"
#include "support/SeededStore.h"
#include "support/TempDir.h"

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the main window (it starts hidden) and waits for it to settle.
    void Start();
    // Destroys the main window as the end of the program does.
    void Finish();
    // The popup at `position` of the main window's menu bar.
    HMENU BarPopup(int position) const { return ::GetSubMenu(::GetMenu(dlg->m_hWnd), position); }

    // Writes a configuration value before the window starts.
    void Configure(const wchar_t* section, const wchar_t* key, const std::wstring& value);
    std::wstring ConfigValue(const wchar_t* section, const wchar_t* key);

    // Reads the database file through a connection of its own.
    std::wstring StoredText(long long id);
    int StoredPos(long long id);
    int StoredCount(const std::wstring& where = L"1");
    // Every row as "id pid name = note @pos", in id order.
    std::vector<std::wstring> StoredRows();
    // Runs statements on the database file through a connection of its own.
    void Execute(const std::wstring& sql);
    // Writes the notes table with these rows into the database file (before Start()).
    void SeedNotes(const std::vector<NoteRow>& rows) { ::SeedNotes(DbPath(), rows); }

    // Tree and editor helpers.
    HTREEITEM FindItem(const std::wstring& label);
    void Select(const std::wstring& label);
    std::wstring EditorText();
    // Types text into the editor at the caret, as a user edit (sets the modified flag).
    void Type(const std::wstring& text);
    // The editor's selection as (start, end).
    std::pair<int, int> Selection();
    // The label of the tree's selected note.
    std::wstring SelectedLabel();
    // Pumps until a save deferred now would have been written: the save timer
    // fires once, NotesSession::kDeferredSaveMs after a move. Tests that prove nothing is
    // written wait this long and no longer.
    void PumpPastDeferredSave();
    // Sends a menu or accelerator command to the main window.
    void Command(UINT id) { dlg->SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    std::wstring DbPath() const { return dir.File(NotesStore::kDefaultFileName); }

    RegistrySandbox registry;
    TempDir dir;
    ModalAnswer modal;
    // Set before Start() to save typing sooner than the program's 2 and 30 seconds.
    SaveScheduler::Timings typingSaves;
    std::unique_ptr<CTallyLeafDlg> dlg;
};

// The main window started and called up, as a user sees it before using its menus.
class CalledUpMainWindowTest : public MainWindowTest {
protected:
    void SetUp() override;
};
