// The Windows installer (installer/tallyleaf.nsi) as an administrator deploys it:
// silent install, the installed program, an upgrade while it runs, the silent
// uninstall, and an install that cannot close the running program. The build's
// own installer (tallyleaf-test-setup.exe, made by CMake with makensis) installs
// this build's program. The user's folders point into a temporary folder.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <shlobj.h>

#include "Version.h"
#include "process/ProcessHarness.h"
#include "shell/TrayIcon.h"
#include "storage/NotesStore.h"
#include "support/Pump.h"
#include "support/TempDir.h"

namespace {

const std::wstring kMainTitle = L"Tallyleaf - Work faster.";
const std::wstring kFirstNoteText = L" This is a place for your quick notes...";
constexpr const wchar_t* kShellFolders = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kUninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tallyleaf";
constexpr int kEditorId = 1000;
constexpr DWORD kTimeoutMs = 30000;

std::wstring RegString(const wchar_t* key, const wchar_t* name) {
    wchar_t value[1024] = {};
    DWORD size = sizeof value;
    if (::RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return value;
}

DWORD RegDword(const wchar_t* key, const wchar_t* name) {
    DWORD value = 0xFFFFFFFF;
    DWORD size = sizeof value;
    ::RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

bool PathExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The program a shortcut starts, as the shell reads it.
std::wstring ShortcutTarget(const std::wstring& lnk) {
    std::wstring target;
    const HRESULT init = ::CoInitialize(nullptr);
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                     reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            wchar_t path[MAX_PATH] = {};
            if (SUCCEEDED(file->Load(lnk.c_str(), STGM_READ)) && SUCCEEDED(link->GetPath(path, MAX_PATH, nullptr, 0)))
                target = path;
            file->Release();
        }
        link->Release();
    }
    if (SUCCEEDED(init))
        ::CoUninitialize();
    return target;
}

// The text of the first note in a database file, read without changing it.
std::string FirstNoteText(const std::wstring& dbPath) {
    std::string text = "<unreadable>";
    char path[MAX_PATH * 3] = {};
    ::WideCharToMultiByte(CP_UTF8, 0, dbPath.c_str(), -1, path, sizeof path, nullptr, nullptr);
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "SELECT note FROM notes ORDER BY id LIMIT 1;", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return text;
}

class Installer : public ::testing::Test {
protected:
    void SetUp() override {
        if (!FileExists(SetupProgram()))
            GTEST_SKIP() << "no tallyleaf-test-setup.exe beside the tests: makensis was not found when the "
                            "build was configured (scripts/bootstrap installs Debian's nsis)";
        ASSERT_EQ(::FindWindowW(nullptr, kMainTitle.c_str()), nullptr) << "another Tallyleaf is running";
        ASSERT_EQ(RegString(kUninstallKey, L"DisplayName"), L"<missing>") << "Tallyleaf is installed in this prefix";
        ASSERT_TRUE(m_appData.Active());
        ::CreateDirectoryW(m_temp.File(L"Local").c_str(), nullptr);
        ::CreateDirectoryW(m_temp.File(L"Start Menu").c_str(), nullptr);
        ASSERT_TRUE(m_localAppData.SetString(m_temp.File(L"Local"), REG_EXPAND_SZ));
        ASSERT_TRUE(m_programs.SetString(m_temp.File(L"Start Menu"), REG_EXPAND_SZ));
    }

    static std::wstring SetupProgram() { return TestProgramFolder() + L"tallyleaf-test-setup.exe"; }
    // Where a per-user install goes: %LOCALAPPDATA%\Programs\Tallyleaf.
    std::wstring InstallDir() const { return m_temp.File(L"Local\\Programs\\Tallyleaf\\"); }
    std::wstring Shortcut() const { return m_temp.File(L"Start Menu\\Tallyleaf.lnk"); }
    std::wstring NotesFile() const { return m_temp.File(L"TallyLeaf\\") + NotesStore::kDefaultFileName; }

    // Runs the installer to its end (pumping, so that it may send to this thread's
    // windows) and returns its exit code.
    DWORD RunSetup(const std::wstring& arguments) {
        AppProcess setup;
        if (!setup.Start(SetupProgram(), arguments)) {
            ADD_FAILURE() << "the installer did not start, error " << setup.LastError();
            return 0xFFFFFFFF;
        }
        if (!setup.WaitForExit(kTimeoutMs)) {
            ADD_FAILURE() << "the installer did not end within " << kTimeoutMs << " ms";
            return 0xFFFFFFFF;
        }
        return setup.ExitCode();
    }

    TempDir m_temp;
    AppDataRedirect m_appData{m_temp.Path()};
    RegistryValueGuard m_localAppData{HKEY_CURRENT_USER, kShellFolders, L"Local AppData"};
    RegistryValueGuard m_programs{HKEY_CURRENT_USER, kShellFolders, L"Programs"};
    RegistryValueGuard m_run{HKEY_CURRENT_USER, kRunKey, L"Tallyleaf"};
    // Removes the whole uninstall entry again, whatever the test left.
    RegistryValueGuard m_uninstall{HKEY_CURRENT_USER, kUninstallKey, L"DisplayName"};
    RegistryValueGuard m_launchCounter{HKEY_CURRENT_USER, L"Software\\Velmorand\\Tallyleaf", L"runs"};
};

}  // namespace

TEST_F(Installer, InstallsUpgradesOverTheRunningProgramAndUninstallsKeepingTheNotes) {
    ASSERT_EQ(RunSetup(L"/S /RUNATSTARTUP=1"), 0u);
    const std::wstring dir = InstallDir();
    const std::wstring exe = dir + L"tallyleaf.exe";
    EXPECT_EQ(ReadFileBytes(exe), ReadFileBytes(TestProgramFolder() + L"tallyleaf.exe"));
    EXPECT_TRUE(FileExists(dir + L"sqlite3.dll"));
    EXPECT_EQ(ShortcutTarget(Shortcut()), exe);
    // The value the Settings dialog writes for "Run on Windows startup".
    EXPECT_EQ(RegString(kRunKey, L"Tallyleaf"), L"\"" + exe + L"\"");
    // The entry of "Apps and features".
    EXPECT_EQ(RegString(kUninstallKey, L"DisplayName"), L"Tallyleaf");
    EXPECT_EQ(RegString(kUninstallKey, L"DisplayVersion"), L"" TALLYLEAF_VERSION);
    EXPECT_EQ(RegString(kUninstallKey, L"Publisher"), L"Velmorand");
    EXPECT_EQ(RegString(kUninstallKey, L"DisplayIcon"), exe + L",0");
    EXPECT_EQ(RegString(kUninstallKey, L"UninstallString"), L"\"" + dir + L"uninstall.exe\"");
    EXPECT_EQ(RegString(kUninstallKey, L"QuietUninstallString"), L"\"" + dir + L"uninstall.exe\" /S");
    EXPECT_EQ(RegString(kUninstallKey, L"InstallLocation") + L"\\", dir);
    EXPECT_GE(RegDword(kUninstallKey, L"EstimatedSize"), ReadFileBytes(exe).size() / 1024);
    EXPECT_EQ(RegDword(kUninstallKey, L"NoModify"), 1u);
    EXPECT_EQ(RegDword(kUninstallKey, L"NoRepair"), 1u);

    // The installed program starts hidden, shows its window when called up, and takes typing.
    AppProcess app;
    ASSERT_TRUE(app.Start(exe)) << "error " << app.LastError();
    HWND main = nullptr;
    ASSERT_TRUE(PumpUntil(
        [&] {
            main = FindTopLevelWindow(app.Id(), kMainTitle);
            return main && app.IsIdle();
        },
        kTimeoutMs));
    DWORD_PTR ignored = 0;
    ASSERT_TRUE(
        ::SendMessageTimeoutW(main, WM_TRAYCALLBACK, 0, WM_LBUTTONDOWN, SMTO_ABORTIFHUNG, kTimeoutMs, &ignored));
    EXPECT_TRUE(::IsWindowVisible(main));
    HWND editor = ::GetDlgItem(main, kEditorId);
    ::SendMessageTimeoutW(editor, EM_SETSEL, 0, 0, SMTO_ABORTIFHUNG, kTimeoutMs, &ignored);
    for (wchar_t c : std::wstring(L"kept "))
        ::PostMessageW(editor, WM_CHAR, c, 1);
    ASSERT_TRUE(PumpUntil([&] { return WindowText(editor) == L"kept " + kFirstNoteText; }, kTimeoutMs));

    // Installing again over the running program: it saves and ends, and the
    // choice of starting with Windows stays.
    ASSERT_EQ(RunSetup(L"/S"), 0u);
    ASSERT_TRUE(app.WaitForExit(kTimeoutMs)) << "the running program was not closed";
    EXPECT_EQ(app.ExitCode(), 0u);
    const std::string kept = "kept " + std::string(kFirstNoteText.begin(), kFirstNoteText.end());
    EXPECT_EQ(FirstNoteText(NotesFile()), kept);
    EXPECT_TRUE(FileExists(exe));
    EXPECT_EQ(RegString(kRunKey, L"Tallyleaf"), L"\"" + exe + L"\"");

    // The silent uninstall as "Apps and features" runs it: the uninstaller
    // copies itself away and returns at once, so wait for the folder to go.
    AppProcess uninstall;
    ASSERT_TRUE(uninstall.Start(dir + L"uninstall.exe", L"/S"));
    EXPECT_TRUE(PumpUntil([&] { return !PathExists(dir) && RegString(kUninstallKey, L"DisplayName") == L"<missing>"; },
                          kTimeoutMs))
        << "left: folder " << PathExists(dir) << ", entry " << (RegString(kUninstallKey, L"DisplayName"));
    EXPECT_FALSE(PathExists(Shortcut()));
    EXPECT_EQ(RegString(kRunKey, L"Tallyleaf"), L"<missing>");
    EXPECT_EQ(FirstNoteText(NotesFile()), kept);
    EXPECT_TRUE(FileExists(m_temp.File(L"TallyLeaf\\tallyleaf.cfg")));
}

TEST_F(Installer, ASilentInstallEndsWithAnErrorWhenTheRunningProgramDoesNotClose) {
    // A window with the main window's title that ignores the request, as a
    // Tallyleaf would while a box of its own waits for the user.
    HWND standIn =
        ::CreateWindowExW(0, L"STATIC", kMainTitle.c_str(), WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(standIn, nullptr);
    EXPECT_EQ(RunSetup(L"/S"), 3u);
    ::DestroyWindow(standIn);
    EXPECT_FALSE(PathExists(InstallDir() + L"tallyleaf.exe"));
    EXPECT_EQ(RegString(kUninstallKey, L"DisplayName"), L"<missing>");
}
