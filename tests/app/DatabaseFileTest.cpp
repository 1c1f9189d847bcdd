// Switching to another database file and copying the one in use, from the
// Settings dialog's two buttons with the file dialogs answered.
#include "app/TestSeams.h"
#include "res/resource.h"
#include "settings/AppFolders.h"
#include "storage/CppSQLite3DB.h"
#include "storage/DatabaseBackup.h"
#include "support/MainWindowFixture.h"
#include "support/Pump.h"
#include "framework/WindowText.h"

#include <commctrl.h>

#include <thread>

namespace {
// The notes of a database file as "id/pid/name/note" lines, read through a connection of its own.
std::wstring NotesIn(const std::wstring& path) {
    CppSQLite3DB db(2000);
    db.Open(path);
    std::wstring all;
    CppSQLite3Query q = db.ExecuteQuery(L"SELECT id, pid, name, note FROM notes ORDER BY id;");
    for (; !q.AtEnd(); q.Advance())
        all += std::to_wstring(q.IntByName(L"id", -1)) + L"/" + std::to_wstring(q.IntByName(L"pid", -1)) + L"/" +
               q.TextByName(L"name", L"") + L"/" + q.TextByName(L"note", L"") + L"\n";
    return all;
}

// Each row of a list view as its cells joined by " | ".
std::vector<std::wstring> ListRows(HWND list) {
    std::vector<std::wstring> rows;
    const int columns = Header_GetItemCount(ListView_GetHeader(list));
    for (int row = 0; row < ListView_GetItemCount(list); ++row) {
        std::wstring text;
        for (int column = 0; column < columns; ++column) {
            wchar_t cell[512] = {};
            ListView_GetItemText(list, row, column, cell, 512);
            text += (column ? L" | " : L"") + std::wstring(cell);
        }
        rows.push_back(text);
    }
    return rows;
}

// The first row holding `text`, or -1.
int RowWith(const std::vector<std::wstring>& rows, const std::wstring& text) {
    for (size_t row = 0; row < rows.size(); ++row) {
        if (rows[row].find(text) != std::wstring::npos)
            return static_cast<int>(row);
    }
    return -1;
}

void ChooseRow(HWND list, int row) {
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}
}  // namespace

class DatabaseFile : public MainWindowTest {
protected:
    // Opens Settings, presses `button`, lets `fileDialog` answer the file
    // dialog, then presses OK; returns the path the dialog showed afterwards.
    std::wstring UseButton(int button, ModalAnswer::Script fileDialog) {
        std::wstring shownPath;
        modal.Drive([&](HWND settings) {
            ModalAnswer::Click(settings, button);
            shownPath = WindowText(::GetDlgItem(settings, IDC_EDIT_DB_PATH));
            ModalAnswer::Click(settings, IDOK);
        });
        modal.Drive(std::move(fileDialog));
        dlg->Parts().tray.CallUp();
        Command(ID_FILE_OPTIONS);
        PumpPending();
        return shownPath;
    }
    // `replace` answers the question whether to replace an existing file, if it comes.
    std::wstring Choose(int button, const std::wstring& path, int replace = IDNO) {
        return Choose(button, path, [replace](HWND) { return replace; });
    }
    std::wstring Choose(int button, const std::wstring& path, ModalAnswer::Action replace) {
        return UseButton(button, [this, path, replace](HWND fileDialog) {
            modal.Answer(replace);
            ModalAnswer::ChooseFile(fileDialog, path);
        });
    }

    // The shown note's text goes to the file in use: the store works.
    void ExpectSavesGoTo(const std::wstring& path) {
        dlg->Parts().editor.SetSel(0, -1);
        Type(L"written after the switch");
        dlg->Parts().tray.Hide();
        EXPECT_NE(NotesIn(path).find(L"written after the switch"), std::wstring::npos);
    }
};

TEST_F(DatabaseFile, SwitchingToANewNameStartsAStoreAndToAnExistingFileShowsItsNotes) {
    const std::wstring other = dir.File(L"other.db");
    ::SeedNotes(other, {{5, 0, L"Elsewhere", L"from the other file"}, {6, 5, L"Below"}});
    Start();
    std::wstring offered;
    const std::wstring fresh = dir.File(L"fresh.db");
    EXPECT_EQ(UseButton(IDC_BUTTON_SWITCH_DB,
                        [&](HWND fileDialog) {
                            offered = ModalAnswer::FileNameOf(fileDialog);
                            ModalAnswer::ChooseFile(fileDialog, fresh);
                        }),
              fresh);
    EXPECT_NE(offered.find(NotesStore::kDefaultFileName), std::wstring::npos)
        << "the dialog offered " << offered.size();
    EXPECT_EQ(ConfigValue(L"Main", L"DBPath"), fresh);
    EXPECT_EQ(dlg->Parts().notes.DatabasePath(), fresh);
    EXPECT_EQ(NotesIn(fresh), L"1/0/Note/ This is a place for your quick notes...\n");
    EXPECT_EQ(dlg->Parts().tree.GetCount(), 1u);

    EXPECT_EQ(Choose(IDC_BUTTON_SWITCH_DB, other), other);
    EXPECT_EQ(ConfigValue(L"Main", L"DBPath"), other);
    ASSERT_NE(FindItem(L"Below"), nullptr);
    EXPECT_EQ(dlg->Parts().tree.GetParentItem(FindItem(L"Below")), FindItem(L"Elsewhere"));
    EXPECT_EQ(EditorText(), L"from the other file");
    ExpectSavesGoTo(other);
}

TEST_F(DatabaseFile, CopyAndSwitchAsksBeforeReplacingThenWorksOnTheCopy) {
    SeedNotes({{1, 0, L"First", L"one"}, {2, 1, L"Second", L"two"}});
    const std::wstring copy = dir.File(L"copy.db");
    WriteFileBytes(copy, "a file already there");
    Start();
    Select(L"Second");
    Type(L"typed, ");  // saved as the dialog opens, so the copy has it

    // No to replacing: the file dialog stays, and is cancelled.
    EXPECT_EQ(Choose(IDC_BUTTON_COPY_DB, copy, IDNO), DbPath());
    ASSERT_GE(modal.Boxes().size(), 3u);
    EXPECT_EQ(modal.Boxes()[2].buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(ReadFileBytes(copy), "a file already there");
    EXPECT_EQ(ConfigValue(L"Main", L"DBPath"), L"<absent>");
    EXPECT_EQ(dlg->Parts().notes.DatabasePath(), DbPath());

    EXPECT_EQ(Choose(IDC_BUTTON_COPY_DB, copy, IDYES), copy);
    EXPECT_EQ(ConfigValue(L"Main", L"DBPath"), copy);
    EXPECT_EQ(dlg->Parts().notes.DatabasePath(), copy);
    const std::wstring original = NotesIn(DbPath());
    EXPECT_NE(original.find(L"typed, two"), std::wstring::npos);
    EXPECT_EQ(NotesIn(copy), original);
    ExpectSavesGoTo(copy);
    EXPECT_EQ(NotesIn(DbPath()), original);
}

TEST_F(DatabaseFile, CancellingEitherFileDialogChangesNothing) {
    Start();
    for (int button : {IDC_BUTTON_SWITCH_DB, IDC_BUTTON_COPY_DB}) {
        UseButton(button, [](HWND fileDialog) { ModalAnswer::Click(fileDialog, IDCANCEL); });
        EXPECT_EQ(ConfigValue(L"Main", L"DBPath"), L"<absent>");
        EXPECT_EQ(dlg->Parts().notes.DatabasePath(), DbPath());
        ExpectSavesGoTo(DbPath());
    }
}

TEST_F(DatabaseFile, ACopyThatFailsKeepsTheFileInUse) {
    Start();
    // A file another program holds open without sharing.
    const std::wstring held = dir.File(L"held.db");
    WriteFileBytes(held, "held by another program");
    HANDLE holder = ::CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    // A folder that is gone by the time the copy starts (a removable disk pulled
    // out while the question was open).
    const std::wstring stick = dir.File(L"stick");
    ASSERT_TRUE(::CreateDirectoryW(stick.c_str(), nullptr));
    const std::wstring gone = stick + L"\\copy.db";
    WriteFileBytes(gone, "on the stick");
    auto pullOut = [&](HWND) {
        ::DeleteFileW(gone.c_str());
        ::RemoveDirectoryW(stick.c_str());
        return IDYES;
    };

    const std::wstring prefix = L"Tallyleaf error: Can't copy the database.\n - ";
    for (const std::wstring& target : {held, gone}) {
        if (target == held)
            EXPECT_EQ(Choose(IDC_BUTTON_COPY_DB, target, IDYES), DbPath());
        else
            EXPECT_EQ(Choose(IDC_BUTTON_COPY_DB, target, pullOut), DbPath());
        ASSERT_FALSE(modal.Boxes().empty());
        const ModalAnswer::Box& box = modal.Boxes().back();
        EXPECT_EQ(box.text.rfind(prefix, 0), 0u) << "copy to " << target.size();
        EXPECT_GT(box.text.size(), prefix.size());  // followed by the system's reason
        EXPECT_EQ(box.icon, ModalAnswer::StockIcon(IDI_ERROR));
        EXPECT_EQ(ConfigValue(L"Main", L"DBPath"), L"<absent>");
        EXPECT_EQ(dlg->Parts().notes.DatabasePath(), DbPath());
        EXPECT_EQ(dlg->Parts().tree.GetCount(), 1u);
        ExpectSavesGoTo(DbPath());
    }
    ::CloseHandle(holder);
    EXPECT_EQ(ReadFileBytes(held), "held by another program");

    // The file in use chosen as its own copy: nothing happens, nothing is said.
    const size_t boxesBefore = modal.Boxes().size();
    EXPECT_EQ(Choose(IDC_BUTTON_COPY_DB, DbPath(), IDYES), DbPath());
    EXPECT_EQ(modal.Boxes().size(), boxesBefore + 3);  // Settings, the file dialog, replace?
    EXPECT_EQ(ConfigValue(L"Main", L"DBPath"), L"<absent>");
    ExpectSavesGoTo(DbPath());
}

TEST_F(DatabaseFile, APortableCopyFindsItsChosenFileAfterTheFolderMoved) {
    const std::wstring stick = dir.File(L"stick\\");
    ASSERT_TRUE(::CreateDirectoryW(stick.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((stick + L"work").c_str(), nullptr));
    WriteFileBytes(stick + AppFolders::kPortableMarker, "");
    TestSeams::SetProgramFolder(stick);
    Start();
    EXPECT_EQ(Choose(IDC_BUTTON_SWITCH_DB, stick + L"work\\team.db"), stick + L"work\\team.db");
    Type(L"on the stick ");
    Finish();
    theDB.Close();

    // Another drive letter, or another folder: the file is found where the program now is.
    const std::wstring moved = dir.File(L"moved\\");
    ASSERT_TRUE(::MoveFileW(stick.c_str(), moved.c_str()));
    TestSeams::SetProgramFolder(moved);
    Start();
    EXPECT_EQ(dlg->Parts().notes.DatabasePath(), moved + L"work\\team.db");
    EXPECT_NE(EditorText().find(L"on the stick"), std::wstring::npos) << "the editor shows " << EditorText().size();
}

TEST_F(DatabaseFile, AnOldBackupOpenedBySwitchingOutlivesTheBackupBeforeLeaving) {
    SeedNotes({{1, 0, L"Plans", L"as they are now"}});
    const std::wstring backups = dir.File(L"Backups\\");
    ASSERT_TRUE(::CreateDirectoryW(backups.c_str(), nullptr));
    // The day's copy is there already, so the next copy of the day thins the
    // folder: the old copy and the oldest of the week after it are past keeping.
    ::SeedNotes(backups + L"notes2 " + DateText(DatabaseBackup::Today()) + L".db", {{1, 0, L"Plans", L"today"}});
    const std::wstring old = backups + L"notes2 2000-01-10.db";
    ::SeedNotes(old, {{1, 0, L"Plans", L"as they were in January"}});
    for (int day = 1; day <= 7; ++day)
        ::SeedNotes(backups + L"notes2 2001-01-0" + std::to_wstring(day) + L".db", {{1, 0, L"Plans", L"later"}});
    Start();

    EXPECT_EQ(Choose(IDC_BUTTON_SWITCH_DB, old), old);
    EXPECT_FALSE(FileExists(backups + L"notes2 2001-01-01.db")) << "the folder was not thinned";
    EXPECT_EQ(dlg->Parts().notes.DatabasePath(), old);
    EXPECT_EQ(EditorText(), L"as they were in January");
    EXPECT_EQ(NotesIn(old), L"1/0/Plans/as they were in January\n");
    EXPECT_EQ(modal.Boxes().size(), 2u);  // Settings and the file dialog, nothing else
}

TEST_F(DatabaseFile, RestoreFromBackupPutsACopyBackKeepsWhatWasThereAndCanBeUndone) {
    SeedNotes({{1, 0, L"Plans", L"as they are"}});
    const std::wstring backups = dir.File(L"Backups\\");
    ASSERT_TRUE(::CreateDirectoryW(backups.c_str(), nullptr));
    const std::wstring chosen = backups + L"notes2 2001-01-01.db";
    ::SeedNotes(chosen, {{1, 0, L"Plans", L"as they were in 2001"}, {2, 0, L"Old"}});
    WriteFileBytes(backups + L"notes2 2001-01-02.db", "SQLite format 3" + std::string(4096, '\x7f'));
    Start();
    // The day's copy, made at start beside the program's work.
    ASSERT_TRUE(PumpUntil([&] { return FileExists(backups + L"notes2 " + DateText(DatabaseBackup::Today()) + L".db"); },
                          10000));
    Type(L"typed today, ");
    const std::wstring typed = EditorText();
    const std::string chosenBytes = ReadFileBytes(chosen);

    std::vector<std::wstring> rows;
    bool damagedRestorable = true;
    bool shown = false;
    modal.Drive([&](HWND restore) {
        shown = ::IsWindowVisible(restore) != FALSE;
        HWND list = ::GetDlgItem(restore, IDC_RESTORE_LIST);
        rows = ListRows(list);
        ChooseRow(list, RowWith(rows, L"damaged"));
        damagedRestorable = ::IsWindowEnabled(::GetDlgItem(restore, IDOK)) != FALSE;
        ChooseRow(list, RowWith(rows, L"2001-01-01"));
        ModalAnswer::Click(restore, IDOK);
    });
    Command(ID_FILE_RESTORE_BACKUP);
    PumpPending();

    EXPECT_TRUE(shown);
    ASSERT_EQ(rows.size(), 3u);  // the day's copy made at start, the damaged one, the chosen one
    EXPECT_EQ(RowWith(rows, DateText(DatabaseBackup::Today())), 0);
    EXPECT_EQ(rows[1].find(L"2001-01-02 | 5 KB |  | damaged: "), 0u) << rows[1].size();
    EXPECT_EQ(rows[2], L"2001-01-01 | 8 KB | 2 | sound");
    EXPECT_FALSE(damagedRestorable);
    EXPECT_EQ(EditorText(), L"as they were in 2001");
    EXPECT_NE(FindItem(L"Old"), nullptr);
    EXPECT_EQ(NotesIn(DbPath()), NotesIn(chosen));
    EXPECT_EQ(ReadFileBytes(chosen), chosenBytes);
    const std::vector<std::wstring> undoCopies = NamesIn(backups, L"* before restore.db");
    ASSERT_EQ(undoCopies.size(), 1u);
    EXPECT_EQ(NotesIn(backups + undoCopies[0]), L"1/0/Plans/" + typed + L"\n");
    ASSERT_FALSE(modal.Boxes().empty());
    EXPECT_NE(modal.Boxes().back().text.find(backups + undoCopies[0]), std::wstring::npos);

    // The copy made before the restore is offered first; the keys restore it.
    modal.Drive([&](HWND restore) {
        HWND list = ::GetDlgItem(restore, IDC_RESTORE_LIST);
        rows = ListRows(list);
        for (UINT key : {VK_END, VK_HOME, VK_RETURN})
            ::PostMessageW(list, WM_KEYDOWN, key, 0);
    });
    Command(ID_FILE_RESTORE_BACKUP);
    PumpPending();
    EXPECT_NE(RowWith(rows, L"before restore"), -1);
    EXPECT_EQ(RowWith(rows, L"before restore"), 0);
    EXPECT_EQ(EditorText(), typed);
    EXPECT_EQ(FindItem(L"Old"), nullptr);
    EXPECT_EQ(NamesIn(backups, L"* before restore.db").size(), 2u);
}

TEST_F(DatabaseFile, CopyAndSwitchOfAFileAnotherProgramIsHalfWayThroughWritingGivesAWholeCopy) {
    SeedNotes({{1, 0, L"First", L"one"}});
    Start();
    const std::wstring copies = dir.File(L"copies\\");
    ASSERT_TRUE(::CreateDirectoryW(copies.c_str(), nullptr));
    const std::wstring copy = copies + L"copy.db";
    const size_t sizeBefore = ReadFileBytes(DbPath()).size();

    // Another program writes many notes in one transaction; its cache is small,
    // so part of them is in the file before the commit. It begins while the
    // Settings dialog is open, and commits once the copy has begun (its
    // temporary file is in the folder).
    HANDLE begin = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE holding = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread writer([&] {
        ::WaitForSingleObject(begin, 30000);
        CppSQLite3DB other(2000);
        other.Open(DbPath());
        other.ExecuteStatement(L"PRAGMA cache_size = 10");
        other.ExecuteStatement(L"BEGIN");
        other.ExecuteStatement(
            L"WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 2000) "
            L"INSERT INTO notes(pid, name, note, pos) SELECT 0, 'Row ' || i, hex(randomblob(400)), 0 FROM n");
        ::SetEvent(holding);
        const DWORD deadline = ::GetTickCount() + 30000;
        while (NamesIn(copies, L"tlb*.tmp").empty() && ::GetTickCount() < deadline)
            ::Sleep(10);
        other.ExecuteStatement(L"COMMIT");
    });
    size_t sizeWhileHeld = 0;
    modal.Drive([&](HWND settings) {
        ::SetEvent(begin);
        ::WaitForSingleObject(holding, 30000);
        sizeWhileHeld = ReadFileBytes(DbPath()).size();
        ModalAnswer::Click(settings, IDC_BUTTON_COPY_DB);
        ModalAnswer::Click(settings, IDOK);
    });
    modal.Drive([&](HWND fileDialog) { ModalAnswer::ChooseFile(fileDialog, copy); });
    dlg->Parts().tray.CallUp();
    Command(ID_FILE_OPTIONS);
    PumpPending();
    ::SetEvent(begin);
    writer.join();
    ::CloseHandle(begin);
    ::CloseHandle(holding);

    EXPECT_GT(sizeWhileHeld, sizeBefore + 100000) << "nothing of the transaction reached the file";
    EXPECT_EQ(dlg->Parts().notes.DatabasePath(), copy);
    EXPECT_TRUE(NotesIn(copy) == NotesIn(DbPath()));
    CppSQLite3DB check(2000);
    check.Open(copy);
    EXPECT_EQ(check.ExecuteScalar(L"SELECT count(*) FROM notes"), 2001);
    EXPECT_EQ(check.ExecuteQuery(L"PRAGMA quick_check").TextByName(L"quick_check", L""), std::wstring(L"ok"));
}
