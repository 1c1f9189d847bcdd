#include "app/TestSeams.h"
#include "support/MainWindowFixture.h"

#include <functional>
#include <iostream>

#include "app/AppConstants.h"
#include "settings/AppFolders.h"
#include "storage/CppSQLite3DB.h"
#include "support/Pump.h"
#include "support/TreeShape.h"

void MainWindowTest::SetUp() {
    TestSeams::SetDataFolder(dir.Path());
    // A folder of the test's own, so no file beside the test program (a
    // portable-mode marker) decides how the window starts.
    TestSeams::SetProgramFolder(dir.File(L"program"));
}

void MainWindowTest::TearDown() {
    Finish();
    theDB.Close();
    TestSeams::SetProgramFolder(L"");
    // A failing test shows every box the program put up, to tell why.
    if (HasFailure()) {
        for (const ModalAnswer::Box& box : modal.Boxes())
            std::wcerr << L"  box [" << box.caption << L"]: " << box.text << L"\n";
    }
}

void MainWindowTest::Start() {
    dlg = std::make_unique<CTallyLeafDlg>(typingSaves);
    ASSERT_TRUE(dlg->Create());
    PumpPending();
}

void CalledUpMainWindowTest::SetUp() {
    MainWindowTest::SetUp();
    Start();
    dlg->Parts().tray.CallUp();
    PumpPending();
}

void MainWindowTest::Finish() {
    if (dlg && dlg->m_hWnd) {
        // Whatever the test did, the tree's model holds what the control shows.
        EXPECT_EQ(ModelShape(dlg->Parts().tree), ShownShape(dlg->Parts().tree));
        ::DestroyWindow(dlg->m_hWnd);
    }
    PumpPending();
    dlg.reset();
}

void MainWindowTest::Configure(const wchar_t* section, const wchar_t* key, const std::wstring& value) {
    ::WritePrivateProfileStringW(section, key, value.c_str(), dir.File(L"tallyleaf.cfg").c_str());
}

std::wstring MainWindowTest::ConfigValue(const wchar_t* section, const wchar_t* key) {
    wchar_t buffer[1024] = {};
    ::GetPrivateProfileStringW(section, key, L"<absent>", buffer, 1024, dir.File(L"tallyleaf.cfg").c_str());
    return buffer;
}

namespace {
template <class Fn>
auto WithOwnConnection(const std::wstring& path, Fn fn) {
    CppSQLite3DB db(2000);
    db.Open(path);
    return fn(db);
}
}  // namespace

std::wstring MainWindowTest::StoredText(long long id) {
    return WithOwnConnection(DbPath(), [id](CppSQLite3DB& db) {
        CppSQLite3Query q = db.ExecuteQuery(L"SELECT note FROM notes WHERE id=?", {id});
        return q.TextByName(L"note", L"<none>");
    });
}

int MainWindowTest::StoredPos(long long id) {
    return WithOwnConnection(DbPath(), [id](CppSQLite3DB& db) {
        CppSQLite3Query q = db.ExecuteQuery(L"SELECT pos FROM notes WHERE id=?", {id});
        return q.IntByName(L"pos", -1);
    });
}

std::vector<std::wstring> MainWindowTest::StoredRows() {
    return ::StoredRows(DbPath());
}

int MainWindowTest::StoredCount(const std::wstring& where) {
    return WithOwnConnection(DbPath(), [&where](CppSQLite3DB& db) {
        return db.ExecuteScalar(L"SELECT count(*) FROM notes WHERE " + where);
    });
}

void MainWindowTest::Execute(const std::wstring& sql) {
    WithOwnConnection(DbPath(), [&sql](CppSQLite3DB& db) { return db.ExecuteStatement(sql); });
}

HTREEITEM MainWindowTest::FindItem(const std::wstring& label) {
    std::function<HTREEITEM(HTREEITEM)> walk = [&](HTREEITEM item) -> HTREEITEM {
        for (; item; item = dlg->Parts().tree.GetNextSiblingItem(item)) {
            if (dlg->Parts().tree.GetItemText(item) == label)
                return item;
            if (HTREEITEM found = walk(dlg->Parts().tree.GetChildItem(item)))
                return found;
        }
        return nullptr;
    };
    return walk(dlg->Parts().tree.GetRootItem());
}

void MainWindowTest::Select(const std::wstring& label) {
    HTREEITEM item = FindItem(label);
    ASSERT_NE(item, nullptr) << "no tree item labelled " << std::string(label.begin(), label.end());
    dlg->Parts().tree.SelectItem(item);
}

std::wstring MainWindowTest::EditorText() {
    return dlg->Parts().editor.GetWindowText();
}

void MainWindowTest::Type(const std::wstring& text) {
    dlg->Parts().editor.ReplaceSel(text.c_str());
}

std::pair<int, int> MainWindowTest::Selection() {
    int start = 0;
    int end = 0;
    dlg->Parts().editor.GetSel(start, end);
    return {start, end};
}

std::wstring MainWindowTest::SelectedLabel() {
    return dlg->Parts().tree.GetItemText(dlg->Parts().tree.GetSelectedItem());
}

void MainWindowTest::PumpPastDeferredSave() {
    MessageWatch saveTimer{dlg->m_hWnd, WM_TIMER, WindowNotesHost::TimerId(NotesHost::Timer::DeferredSave)};
    PumpUntil([&] { return saveTimer.seen > 0; }, NotesSession::kDeferredSaveMs + 100, &saveTimer);
}
