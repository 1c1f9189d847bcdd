// Switching to another database file and copying the one in use, from the
// Settings dialog's two buttons with the file dialogs answered.
#include "app/TestSeams.h"
#include "res/resource.h"
#include "settings/AppFolders.h"
#include "storage/CppSQLite3DB.h"
#include "support/MainWindowFixture.h"
#include "support/Pump.h"
#include "framework/WindowText.h"

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
        dlg->CallUpWindow();
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
        dlg->Editor().SetSel(0, -1);
        Type(L"written after the switch");
        dlg->HideWindow();
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
    EXPECT_EQ(dlg->Notes().DatabasePath(), fresh);
    EXPECT_EQ(NotesIn(fresh), L"1/0/Note/ This is a place for your quick notes...\n");
    EXPECT_EQ(dlg->Tree().GetCount(), 1u);

    EXPECT_EQ(Choose(IDC_BUTTON_SWITCH_DB, other), other);
    EXPECT_EQ(ConfigValue(L"Main", L"DBPath"), other);
    ASSERT_NE(FindItem(L"Below"), nullptr);
    EXPECT_EQ(dlg->Tree().GetParentItem(FindItem(L"Below")), FindItem(L"Elsewhere"));
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
    EXPECT_EQ(dlg->Notes().DatabasePath(), DbPath());

    EXPECT_EQ(Choose(IDC_BUTTON_COPY_DB, copy, IDYES), copy);
    EXPECT_EQ(ConfigValue(L"Main", L"DBPath"), copy);
    EXPECT_EQ(dlg->Notes().DatabasePath(), copy);
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
        EXPECT_EQ(dlg->Notes().DatabasePath(), DbPath());
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
        EXPECT_EQ(dlg->Notes().DatabasePath(), DbPath());
        EXPECT_EQ(dlg->Tree().GetCount(), 1u);
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
    EXPECT_EQ(dlg->Notes().DatabasePath(), moved + L"work\\team.db");
    EXPECT_NE(EditorText().find(L"on the stick"), std::wstring::npos) << "the editor shows " << EditorText().size();
}
