// What the user sees when the database file is unusable, and that nothing
// already saved is lost.
#include "storage/CppSQLite3DB.h"
#include "support/MainWindowFixture.h"
#include "support/Pump.h"

namespace {
const std::wstring kOpenPrefix = L"Tallyleaf: Can't open database.\n Error #1 - ";

bool StartsWith(const std::wstring& text, const std::wstring& prefix) {
    return text.rfind(prefix, 0) == 0;
}
}  // namespace

using StoreFailures = MainWindowTest;

TEST_F(StoreFailures, ACorruptFileIsReportedOnceAndLeftUntouched) {
    std::string garbage;
    for (int i = 0; i < 8192; ++i)
        garbage += static_cast<char>((i * 7919 + 13) % 251);
    WriteFileBytes(DbPath(), garbage);
    Start();
    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_TRUE(StartsWith(modal.Boxes()[0].text, kOpenPrefix)) ;
    EXPECT_EQ(modal.Boxes()[0].icon, ModalAnswer::StockIcon(IDI_ERROR));
    EXPECT_EQ(dlg->m_wndTree.GetCount(), 0u);

    // Hiding, typing and ending bring no further boxes and write nothing.
    dlg->CallUpWindow();
    Type(L"typed into nothing");
    dlg->HideWindow();
    Finish();
    EXPECT_EQ(modal.Boxes().size(), 1u);
    EXPECT_EQ(ReadFileBytes(DbPath()), garbage);
}

TEST_F(StoreFailures, ADatabaseInAMissingFolderIsReportedAndNotCreated) {
    const std::wstring missing = dir.File(L"no such folder\\notes2.db");
    Configure(L"Main", L"DBPath", missing);
    Start();
    EXPECT_EQ(dlg->m_strDbPath, missing);
    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_TRUE(StartsWith(modal.Boxes()[0].text, kOpenPrefix + L"SQLITE_CANTOPEN[14]: "));
    EXPECT_EQ(dlg->m_wndTree.GetCount(), 0u);
    // The editor takes no typing that could not be kept.
    EXPECT_TRUE(::GetWindowLongW(dlg->m_wndEditor, GWL_STYLE) & ES_READONLY);
    Finish();
    EXPECT_EQ(modal.Boxes().size(), 1u);
    EXPECT_FALSE(FileExists(missing));
    EXPECT_FALSE(FileExists(DbPath()));
}

TEST_F(StoreFailures, AReadOnlyDatabaseShowsItsNotesAndKeepsThemWhenASaveFails) {
    CreateNotesTable();
    InsertNote(1, 0, L"Kept", L"saved text");
    const std::string before = ReadFileBytes(DbPath());
    // Another program holds the file open and lets others only read it (a read-only
    // attribute alone does not stop an administrator, who runs these tests).
    HANDLE holder = ::CreateFileW(DbPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                  nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    Start();
    EXPECT_TRUE(modal.Boxes().empty());
    EXPECT_EQ(EditorText(), L"saved text");

    dlg->CallUpWindow();
    Type(L"unsaveable ");
    dlg->HideWindow();
    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_TRUE(StartsWith(modal.Boxes()[0].text, L"Tallyleaf error: Can't save note.\n - "));
    EXPECT_EQ(modal.Boxes()[0].icon, ModalAnswer::StockIcon(IDI_ERROR));
    // The user's typing stays in the editor; the file keeps what was saved.
    EXPECT_EQ(EditorText(), L"unsaveable saved text");
    // The end of the program meets the same failure, says so, and still writes its settings.
    Finish();
    ASSERT_EQ(modal.Boxes().size(), 2u);
    EXPECT_TRUE(StartsWith(modal.Boxes()[1].text, L"Tallyleaf destroy error.\n - "));
    EXPECT_EQ(ConfigValue(L"Stat", L"Runs"), L"2");
    theDB.Close();
    ::CloseHandle(holder);
    EXPECT_EQ(StoredText(1), L"saved text");
    EXPECT_EQ(ReadFileBytes(DbPath()), before);
}
