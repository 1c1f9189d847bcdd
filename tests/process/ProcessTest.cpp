// The real tallyleaf.exe as the user starts it: hidden first start, the single
// instance, the question on closing, the files written at the end, a portable
// copy, and the refusal to run on Windows 98. Each test gives the program a
// fresh application data folder.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "shell/FirstInstance.h"
#include "shell/TrayIcon.h"
#include "process/ProcessHarness.h"
#include "storage/NotesStore.h"
#include "support/Pump.h"
#include "support/TempDir.h"

namespace {

const std::wstring kMainTitle = L"Tallyleaf - Work faster.";
const std::wstring kCloseQuestion = L"Do you want to close Tallyleaf?";
const std::wstring kFirstNoteText = L" This is a place for your quick notes...";
constexpr int kEditorId = 1000;
constexpr DWORD kTimeoutMs = 20000;

struct Note {
    int pid;
    std::string name;
    std::string text;
};

// The notes in a database file, read without changing it.
std::vector<Note> ReadNotes(const std::wstring& dbPath) {
    std::vector<Note> notes;
    char path[MAX_PATH * 3] = {};
    ::WideCharToMultiByte(CP_UTF8, 0, dbPath.c_str(), -1, path, sizeof path, nullptr, nullptr);
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT pid, name, note FROM notes ORDER BY id;", -1, &stmt, nullptr) == SQLITE_OK) {
            while (sqlite3_step(stmt) == SQLITE_ROW) {
                auto text = [stmt](int column) {
                    const unsigned char* value = sqlite3_column_text(stmt, column);
                    return value ? std::string(reinterpret_cast<const char*>(value)) : std::string();
                };
                notes.push_back({sqlite3_column_int(stmt, 0), text(1), text(2)});
            }
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return notes;
}

// The text of the first note in a database file; empty when there is none.
std::string FirstNoteText(const std::wstring& dbPath) {
    const std::vector<Note> notes = ReadNotes(dbPath);
    return notes.empty() ? std::string() : notes[0].text;
}

// Every value and key below `subKey`, as "path\\name=type:bytes" lines; "<absent>" when the key is.
std::wstring RegistryTree(HKEY root, const std::wstring& subKey) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return L"<absent>";
    std::wstring all;
    wchar_t name[256];
    BYTE data[2048];
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = 256, type = 0, size = sizeof data;
        if (::RegEnumValueW(key, i, name, &nameSize, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        all += subKey + L"\\" + name + L"=" + std::to_wstring(type) + L":";
        for (DWORD b = 0; b < size; ++b)
            all += std::to_wstring(data[b]) + L" ";
        all += L"\n";
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameSize = 256;
        if (::RegEnumKeyExW(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        all += RegistryTree(root, subKey + L"\\" + name);
    }
    ::RegCloseKey(key);
    return all;
}

// Plays a first instance in this process: a top-level window with the main
// window's title that records the call-ups sent to it.
class StandInMainWindow {
public:
    StandInMainWindow() {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &Proc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TallyleafStandIn";
        ::RegisterClassW(&wc);
        s_callUps.clear();
        m_hWnd = ::CreateWindowExW(0, wc.lpszClassName, kMainTitle.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                   nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~StandInMainWindow() { ::DestroyWindow(m_hWnd); }
    StandInMainWindow(const StandInMainWindow&) = delete;
    StandInMainWindow& operator=(const StandInMainWindow&) = delete;

    // The second parameters of the tray callback messages received.
    static std::vector<LPARAM> s_callUps;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
        if (message == WM_TRAYCALLBACK)
            s_callUps.push_back(l);
        return ::DefWindowProcW(hwnd, message, w, l);
    }
    HWND m_hWnd;
};
std::vector<LPARAM> StandInMainWindow::s_callUps;

class TallyleafProcess : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(FileExists(Exe())) << "tallyleaf.exe is not beside the test program";
        ASSERT_TRUE(m_appData.Active()) << "could not redirect the application data folder";
        // A main window from elsewhere would take every start of ours for a second one.
        ASSERT_EQ(::FindWindowW(nullptr, kMainTitle.c_str()), nullptr) << "another Tallyleaf is running";
    }

    static std::wstring Exe() { return TestProgramFolder() + L"tallyleaf.exe"; }
    std::wstring DataFolder() const { return m_temp.Path() + L"TallyLeaf\\"; }
    std::wstring DataFile(const wchar_t* name) const { return DataFolder() + name; }
    std::wstring Config(const wchar_t* section, const wchar_t* key) const {
        return IniValue(DataFile(L"tallyleaf.cfg"), section, key);
    }

    // Starts the first instance and waits until it sits hidden in its message loop,
    // checking all along that it never shows itself. Returns its main window, or null
    // (after recording the failure).
    HWND StartFirstInstance(const std::wstring& exe = Exe()) {
        if (!m_first.Start(exe)) {
            ADD_FAILURE() << "tallyleaf.exe did not start, error " << m_first.LastError();
            return nullptr;
        }
        HWND main = nullptr;
        bool shown = false;
        // Idle means the start-up is over: the window waits in its message loop, as the user meets it.
        const bool ready = PumpUntil(
            [&] {
                shown = shown || HasVisibleWindow(m_first.Id());
                if (!main)
                    main = FindTopLevelWindow(m_first.Id(), kMainTitle);
                return main && m_first.IsIdle();
            },
            kTimeoutMs);
        EXPECT_FALSE(shown) << "a window showed itself during start-up";
        if (!ready) {
            ADD_FAILURE() << "no main window waiting for input within " << kTimeoutMs << " ms (window "
                          << (main != nullptr) << ", running " << m_first.Running() << ")";
            return nullptr;
        }
        return main;
    }

    // Asks the main window to close, as its close box does; returns the question box or null.
    HWND AskToClose(AppProcess& app, HWND main) {
        ::PostMessageW(main, WM_CLOSE, 0, 0);
        HWND box = nullptr;
        PumpUntil([&] { return (box = FindMessageBox(app.Id(), kCloseQuestion)) != nullptr || !app.Running(); },
                  kTimeoutMs);
        return box;
    }

    // Calls the window up as a click on the tray icon does, and types `text` at the start of the note shown.
    void TypeAtTheStart(HWND main, const std::wstring& text) {
        DWORD_PTR ignored = 0;
        ASSERT_TRUE(::SendMessageTimeoutW(main, 3004, 0, WM_LBUTTONDOWN, SMTO_ABORTIFHUNG, kTimeoutMs, &ignored));
        HWND editor = ::GetDlgItem(main, kEditorId);
        ASSERT_NE(editor, nullptr);
        ::SendMessageTimeoutW(editor, EM_SETSEL, 0, 0, SMTO_ABORTIFHUNG, kTimeoutMs, &ignored);
        for (wchar_t c : text)
            ::PostMessageW(editor, WM_CHAR, c, 1);
    }

    // Closes the main window and answers Yes; the program then ends normally.
    void EndByClosing(AppProcess& app, HWND main) {
        HWND box = AskToClose(app, main);
        ASSERT_NE(box, nullptr) << "no \"Do you want to close Tallyleaf?\" box (running " << app.Running() << ")";
        AnswerMessageBox(box, IDYES);
        ASSERT_TRUE(app.WaitForExit(kTimeoutMs)) << "the program did not end after Yes";
        EXPECT_EQ(app.ExitCode(), 0u);
    }

    TempDir m_temp;
    AppDataRedirect m_appData{m_temp.Path()};
    // The program counts its starts in the registry; that count is put back afterwards.
    RegistryValueGuard m_launchCounter{HKEY_CURRENT_USER, L"Software\\Velmorand\\Tallyleaf", L"runs"};
    AppProcess m_first;
    AppProcess m_second;
};

}  // namespace

TEST_F(TallyleafProcess, FirstStartRunsHiddenAndWritesTheDefaultsWhenClosed) {
    HWND main = StartFirstInstance();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(m_first.Running());
    EXPECT_FALSE(::IsWindowVisible(main));
    EXPECT_TRUE(FileExists(DataFile(NotesStore::kDefaultFileName)));

    // Closing asks first; No leaves the program running, still hidden.
    HWND box = AskToClose(m_first, main);
    ASSERT_NE(box, nullptr) << "closing did not ask \"Do you want to close Tallyleaf?\"";
    EXPECT_EQ(WindowTitle(box), L"tallyleaf");
    EXPECT_EQ(MessageBoxButtons(box), (std::vector<int>{IDYES, IDNO}));
    AnswerMessageBox(box, IDNO);
    ASSERT_TRUE(PumpUntil([&] { return !::IsWindow(box); }, kTimeoutMs)) << "the question stayed after No";
    // A message through the main window's loop: it still runs after the answer was handled.
    DWORD_PTR ignored = 0;
    EXPECT_TRUE(::SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kTimeoutMs, &ignored));
    EXPECT_TRUE(m_first.Running());
    EXPECT_TRUE(::IsWindow(main));
    EXPECT_FALSE(::IsWindowVisible(main));

    // Yes ends it, and the end writes the counters and the default placement.
    EndByClosing(m_first, main);
    EXPECT_EQ(Config(L"Stat", L"Runs"), L"2");
    EXPECT_EQ(Config(L"Stat", L"Uses"), L"0");
    EXPECT_EQ(Config(L"Tallyleaf", L"WX"), L"250");
    EXPECT_EQ(Config(L"Tallyleaf", L"WY"), L"150");
    EXPECT_EQ(Config(L"Tallyleaf", L"WWidth"), L"540");
    EXPECT_EQ(Config(L"Tallyleaf", L"WHeight"), L"420");
    EXPECT_EQ(Config(L"Tallyleaf", L"MAXIMIZED"), L"0");
    EXPECT_EQ(Config(L"Tallyleaf", L"SplitterPos"), L"120");

    // The new database holds the one first note.
    const std::vector<Note> notes = ReadNotes(DataFile(NotesStore::kDefaultFileName));
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].pid, 0);
    EXPECT_EQ(notes[0].name, "Note");
    EXPECT_EQ(notes[0].text, " This is a place for your quick notes...");
}

TEST_F(TallyleafProcess, SecondStartCallsTheHiddenWindowUpAndEndsWithoutAWindow) {
    HWND main = StartFirstInstance();
    ASSERT_NE(main, nullptr);
    ASSERT_FALSE(::IsWindowVisible(main));

    ASSERT_TRUE(m_second.Start(Exe())) << "error " << m_second.LastError();
    bool secondShown = false;
    bool secondMain = false;
    const bool ended = PumpUntil(
        [&] {
            secondShown = secondShown || HasVisibleWindow(m_second.Id());
            secondMain = secondMain || FindTopLevelWindow(m_second.Id(), kMainTitle) != nullptr;
            return !m_second.Running();
        },
        kTimeoutMs);
    ASSERT_TRUE(ended) << "the second start did not end by itself";
    EXPECT_EQ(m_second.ExitCode(), 0u);
    EXPECT_FALSE(secondShown) << "the second start showed a window of its own";
    EXPECT_FALSE(secondMain) << "the second start made a main window of its own";
    // The second start waits until the first has shown itself, so it shows by now.
    EXPECT_TRUE(::IsWindowVisible(main));
    EXPECT_TRUE(m_first.Running());

    // The user meets the first note in the editor, ready for typing.
    HWND editor = ::GetDlgItem(main, kEditorId);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(WindowText(editor), kFirstNoteText);
    EXPECT_EQ(FocusOfThreadOwning(main), editor);

    EndByClosing(m_first, main);
    EXPECT_EQ(Config(L"Stat", L"Uses"), L"1");
    EXPECT_EQ(Config(L"Stat", L"Runs"), L"2");
}

TEST_F(TallyleafProcess, TypingIsStoredSoonAfterItStopsEvenIfTheProgramIsKilledThen) {
    HWND main = StartFirstInstance();
    ASSERT_NE(main, nullptr);
    // Called up as a click on the tray icon does, then typed into: no hide,
    // no other note, no end of the program follows.
    const std::string expected = "typed \xC3\xA9" + std::string(kFirstNoteText.begin(), kFirstNoteText.end());
    auto stored = [&] { return FirstNoteText(DataFile(NotesStore::kDefaultFileName)); };
    ASSERT_NO_FATAL_FAILURE(TypeAtTheStart(main, L"typed \u00e9"));
    EXPECT_TRUE(PumpUntil([&] { return stored() == expected; }, kTimeoutMs)) << "stored: " << stored();
    // The end no program can answer: nothing more is saved, nothing is lost.
    m_first.Kill();
    ASSERT_TRUE(m_first.WaitForExit(kTimeoutMs));
    EXPECT_EQ(stored(), expected);
}

TEST_F(TallyleafProcess, AStartWhileTheFirstHasNoWindowYetWaitsAndCallsItUp) {
    // This test is a first instance that has just become first: its window is still to come.
    HANDLE first = ::CreateMutexW(nullptr, TRUE, kFirstInstanceMutexName);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(::GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS)) << "another Tallyleaf is starting";

    ASSERT_TRUE(m_second.Start(Exe())) << "error " << m_second.LastError();
    // Two first instances would share one database: the start must not make a main
    // window of its own (one takes about a second here), however long it waits.
    bool secondMain = false;
    auto watch = [&] { secondMain = secondMain || FindTopLevelWindow(m_second.Id(), kMainTitle) != nullptr; };
    PumpUntil(
        [&] {
            watch();
            return secondMain || !m_second.Running();
        },
        3000);
    EXPECT_FALSE(secondMain) << "a start made a second main window while the first instance was starting";
    EXPECT_TRUE(m_second.Running());

    // Once the first instance's window is there, the start calls it up and ends.
    StandInMainWindow window;
    EXPECT_TRUE(PumpUntil(
        [&] {
            watch();
            return !m_second.Running();
        },
        kTimeoutMs))
        << "the start did not end once the first instance's window was there";
    EXPECT_EQ(StandInMainWindow::s_callUps, std::vector<LPARAM>{WM_LBUTTONDOWN});
    EXPECT_FALSE(secondMain);
    ::ReleaseMutex(first);
    ::CloseHandle(first);
}

TEST_F(TallyleafProcess, RefusesToRunUnderWindows98) {
    RegistryValueGuard version(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\tallyleaf.exe", L"Version");
    ASSERT_TRUE(version.SetString(L"win98"));
    // Without the NT family the program's folder would be the data folder.
    const std::wstring programDb = TestProgramFolder() + NotesStore::kDefaultFileName;
    const bool programDbExisted = FileExists(programDb);

    ASSERT_TRUE(m_first.Start(Exe())) << "error " << m_first.LastError();
    HWND box = nullptr;
    bool mainSeen = false;
    auto watchMain = [&] { mainSeen = mainSeen || FindTopLevelWindow(m_first.Id(), kMainTitle) != nullptr; };
    PumpUntil(
        [&] {
            watchMain();
            box = FindMessageBox(m_first.Id(), L"Sorry, Tallyleaf does not work under Windows 98Me.");
            return box || mainSeen || !m_first.Running();
        },
        kTimeoutMs);
    ASSERT_FALSE(mainSeen) << "the program started its main window instead of refusing";
    ASSERT_NE(box, nullptr) << (m_first.Running() ? "no refusal message within the time-out"
                                                  : "the program ended without its refusal message, exit code ")
                            << m_first.ExitCode();
    EXPECT_EQ(WindowTitle(box), L"");
    EXPECT_EQ(MessageBoxButtons(box), std::vector<int>{IDOK});

    AnswerMessageBox(box, IDOK);
    EXPECT_TRUE(PumpUntil(
        [&] {
            watchMain();
            return !m_first.Running();
        },
        kTimeoutMs))
        << "the program did not end after OK";
    EXPECT_FALSE(mainSeen) << "the main window was created";
    EXPECT_FALSE(FileExists(DataFolder()));
    EXPECT_EQ(FileExists(programDb), programDbExisted);
}

TEST_F(TallyleafProcess, APortableCopyWritesBesideItselfAndNothingIntoTheProfileOrTheRegistry) {
    // A copy on a stick: the program, its library and the marker.
    TempDir stick;
    for (const wchar_t* file : {L"tallyleaf.exe", L"sqlite3.dll"})
        ASSERT_TRUE(::CopyFileW((TestProgramFolder() + file).c_str(), stick.File(file).c_str(), TRUE)) << file;
    WriteFileBytes(stick.File(L"portable"), "");
    auto registry = [] {
        return RegistryTree(HKEY_CURRENT_USER, L"Software\\Velmorand") + L"|" +
               RegistryTree(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    };
    const std::wstring registryBefore = registry();
    const std::vector<std::wstring> appDataBefore = NamesIn(m_temp.Path());

    HWND main = StartFirstInstance(stick.File(L"tallyleaf.exe"));
    ASSERT_NE(main, nullptr);
    const std::string expected = "carried along" + std::string(kFirstNoteText.begin(), kFirstNoteText.end());
    auto stored = [&] { return FirstNoteText(stick.File(NotesStore::kDefaultFileName)); };
    ASSERT_NO_FATAL_FAILURE(TypeAtTheStart(main, L"carried along"));
    EXPECT_TRUE(PumpUntil([&] { return stored() == expected; }, kTimeoutMs)) << "stored: " << stored();
    EndByClosing(m_first, main);

    EXPECT_EQ(IniValue(stick.File(L"tallyleaf.cfg"), L"Stat", L"Runs"), L"2");
    EXPECT_EQ(registry(), registryBefore);
    EXPECT_EQ(NamesIn(m_temp.Path()), appDataBefore);
    EXPECT_FALSE(FileExists(DataFolder()));
}
