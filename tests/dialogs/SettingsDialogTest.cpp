// The Settings dialog, opened by the Options command and driven through its
// controls: what it shows, what OK puts into force and writes, what Cancel
// leaves alone, and a hot key the system refuses.
#include "app/AppConstants.h"
#include "app/TestSeams.h"
#include "framework/ModulePath.h"
#include "framework/RegKey.h"
#include "framework/WindowText.h"
#include "res/resource.h"
#include "settings/AppFolders.h"
#include "storage/DatabaseBackup.h"
#include "support/MainWindowFixture.h"
#include "support/Pump.h"
#include "support/ShellProbes.h"

#include <commctrl.h>

namespace {
constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The value "Tallyleaf" under the Run key, or "<absent>".
std::wstring RunValue() {
    CRegKey run;
    if (run.Open(HKEY_CURRENT_USER, kRunKey, KEY_READ) != ERROR_SUCCESS)
        return L"<absent>";
    wchar_t text[1024] = {};
    DWORD size = sizeof text - sizeof(wchar_t);
    DWORD type = REG_NONE;
    if (::RegQueryValueExW(run, L"Tallyleaf", nullptr, &type, reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS)
        return L"<absent>";
    return type == REG_SZ ? std::wstring(text) : L"<not text>";
}

void SetRunValue(const std::wstring& text) {
    CRegKey run;
    ASSERT_EQ(run.Create(HKEY_CURRENT_USER, kRunKey, KEY_WRITE), ERROR_SUCCESS);
    ::RegSetValueExW(run, L"Tallyleaf", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

// A search for the tooltip text over a point of a dialog, among the tooltips it owns.
struct TipSearch {
    HWND dialog;
    POINT point;  // in screen coordinates
    std::wstring found;
};

BOOL CALLBACK FindTipOver(HWND tip, LPARAM l) {
    auto& search = *reinterpret_cast<TipSearch*>(l);
    wchar_t kind[64] = {};
    ::GetClassNameW(tip, kind, 64);
    if (lstrcmpiW(kind, TOOLTIPS_CLASSW) != 0 || ::GetWindow(tip, GW_OWNER) != search.dialog)
        return TRUE;
    const int count = static_cast<int>(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TTTOOLINFOW info{};
        info.cbSize = sizeof info;
        if (!::SendMessageW(tip, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&info)))
            continue;
        POINT p = search.point;
        ::ScreenToClient(info.hwnd, &p);
        if (!::PtInRect(&info.rect, p))
            continue;
        wchar_t text[512] = {};
        info.lpszText = text;
        ::SendMessageW(tip, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&info));
        search.found = text;
        return FALSE;
    }
    return TRUE;
}

// The text of a tooltip of `dialog` whose tool covers the middle of control `id`; empty when none does.
std::wstring TipOver(HWND dialog, int id) {
    RECT control{};
    ::GetWindowRect(::GetDlgItem(dialog, id), &control);
    TipSearch search{dialog, {(control.left + control.right) / 2, (control.top + control.bottom) / 2}, {}};
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindTipOver, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// What the dialog showed when it opened.
struct Shown {
    std::wstring caption;
    WORD hotKey = 0;
    bool iconInTray = false;
    bool runOnStartup = false;
    bool runEnabled = false;
    std::wstring runTip;  // the tip the mouse finds over the Run choice
    bool minimizeOnClose = false;
    std::wstring databasePath;
    std::wstring lastBackup;
};

Shown Read(HWND dialog) {
    Shown shown;
    shown.caption = WindowText(dialog);
    shown.hotKey = ModalAnswer::HotKeyOf(dialog, IDC_HOTKEY);
    shown.iconInTray = ModalAnswer::IsChecked(dialog, IDC_CHECK_ICON_IN_TRAY);
    shown.runOnStartup = ModalAnswer::IsChecked(dialog, IDC_CHECK_RUN_ON_STARTUP);
    shown.runEnabled = ::IsWindowEnabled(::GetDlgItem(dialog, IDC_CHECK_RUN_ON_STARTUP)) != FALSE;
    shown.runTip = TipOver(dialog, IDC_CHECK_RUN_ON_STARTUP);
    shown.minimizeOnClose = ModalAnswer::IsChecked(dialog, IDC_CHECK_MINIMIZE_ON_CLOSE);
    shown.databasePath = WindowText(::GetDlgItem(dialog, IDC_EDIT_DB_PATH));
    shown.lastBackup = WindowText(::GetDlgItem(dialog, IDC_STATIC_LAST_BACKUP));
    return shown;
}
}  // namespace

class SettingsDialog : public MainWindowTest {
protected:
    // Runs the Options command with the window shown, the dialog driven by `script`.
    void OpenSettings(ModalAnswer::Script script) {
        modal.Drive(std::move(script));
        dlg->Parts().tray.CallUp();
        Command(ID_FILE_OPTIONS);
        PumpPending();
    }
};

TEST_F(SettingsDialog, ShowsTheStateInForceAndCancelChangesNothing) {
    Configure(L"Main", L"HotKeyVK", L"6");  // Ctrl+Shift
    Configure(L"Main", L"HotKey", L"75");   // K
    Configure(L"Main", L"IconInTray", L"0");
    Configure(L"Main", L"MinimizeOnClose", L"1");
    SetRunValue(L"any text at all");
    Start();
    const std::string configBefore = ReadFileBytes(dir.File(L"tallyleaf.cfg"));
    // The day's backup, made at start beside the program's work.
    const std::wstring today = DateText(DatabaseBackup::Today());
    ASSERT_TRUE(PumpUntil([&] { return FileExists(dir.File(L"Backups\\notes2 " + today + L".db")); }, 10000));
    TrayRecorder tray;
    dlg->Parts().tray.CallUp();
    Type(L"typed before F4");

    Shown shown;
    bool wasSaved = false;
    OpenSettings([&](HWND dialog) {
        shown = Read(dialog);
        wasSaved = StoredText(1).find(L"typed before F4") != std::wstring::npos;
        // Every setting changed, then Cancel.
        ModalAnswer::SetHotKey(dialog, IDC_HOTKEY, 'Q', HOTKEYF_ALT);
        ModalAnswer::SetCheck(dialog, IDC_CHECK_ICON_IN_TRAY, true);
        ModalAnswer::SetCheck(dialog, IDC_CHECK_RUN_ON_STARTUP, false);
        ModalAnswer::SetCheck(dialog, IDC_CHECK_MINIMIZE_ON_CLOSE, false);
        ModalAnswer::Click(dialog, IDCANCEL);
    });

    EXPECT_TRUE(wasSaved) << "the note was not saved before the dialog opened";
    EXPECT_EQ(shown.caption, L"Settings");
    // The control codes Shift as 1 and Alt as 4, the configuration the other way round.
    EXPECT_EQ(shown.hotKey, MAKEWORD('K', HOTKEYF_CONTROL | HOTKEYF_SHIFT));
    EXPECT_FALSE(shown.iconInTray);
    EXPECT_TRUE(shown.runOnStartup);
    EXPECT_TRUE(shown.runEnabled);
    EXPECT_EQ(shown.runTip, L"");
    EXPECT_TRUE(shown.minimizeOnClose);
    EXPECT_EQ(shown.databasePath, DbPath());
    EXPECT_EQ(shown.lastBackup.rfind(L"Last backup: " + today + L" ", 0), 0u) << shown.lastBackup.size();

    EXPECT_EQ(ReadFileBytes(dir.File(L"tallyleaf.cfg")), configBefore);
    EXPECT_EQ(RunValue(), L"any text at all");
    EXPECT_TRUE(tray.Calls().empty());
    EXPECT_TRUE(HotKeyIsTaken(MOD_CONTROL | MOD_SHIFT, 'K'));
    EXPECT_FALSE(HotKeyIsTaken(MOD_ALT, 'Q'));
}

TEST_F(SettingsDialog, OkPutsEachChangeIntoForceAndWritesIt) {
    Start();
    TrayRecorder tray;
    OpenSettings([](HWND dialog) {
        // Alt+S becomes Ctrl+Alt+S: only the modifiers change.
        ModalAnswer::SetHotKey(dialog, IDC_HOTKEY, 'S', HOTKEYF_CONTROL | HOTKEYF_ALT);
        ModalAnswer::SetCheck(dialog, IDC_CHECK_ICON_IN_TRAY, false);
        ModalAnswer::SetCheck(dialog, IDC_CHECK_RUN_ON_STARTUP, true);
        ModalAnswer::SetCheck(dialog, IDC_CHECK_MINIMIZE_ON_CLOSE, true);
        ModalAnswer::Click(dialog, IDOK);
    });
    EXPECT_EQ(ConfigValue(L"Main", L"HotKeyVK"), L"3");
    EXPECT_EQ(ConfigValue(L"Main", L"HotKey"), L"83");
    EXPECT_TRUE(HotKeyIsTaken(MOD_CONTROL | MOD_ALT, 'S'));
    EXPECT_FALSE(HotKeyIsTaken(MOD_ALT, 'S'));
    ASSERT_EQ(tray.Calls().size(), 1u);
    EXPECT_EQ(tray.Calls()[0].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_EQ(ConfigValue(L"Main", L"IconInTray"), L"0");
    EXPECT_EQ(ConfigValue(L"Main", L"MinimizeOnClose"), L"1");
    // Quoted, so a path with blanks cannot start another program.
    EXPECT_EQ(RunValue(), L"\"" + ModulePath() + L"\"");
    // Closing now hides the window without asking.
    Command(IDCANCEL);
    EXPECT_FALSE(dlg->IsWindowVisible());
    EXPECT_EQ(modal.Boxes().size(), 1u);  // the dialog itself, no question

    // Opened again it shows what is in force; the icon comes back, the Run value goes.
    tray.Clear();
    Shown shown;
    OpenSettings([&](HWND dialog) {
        shown = Read(dialog);
        ModalAnswer::SetCheck(dialog, IDC_CHECK_ICON_IN_TRAY, true);
        ModalAnswer::SetCheck(dialog, IDC_CHECK_RUN_ON_STARTUP, false);
        ModalAnswer::Click(dialog, IDOK);
    });
    EXPECT_EQ(shown.hotKey, MAKEWORD('S', HOTKEYF_CONTROL | HOTKEYF_ALT));
    EXPECT_FALSE(shown.iconInTray);
    EXPECT_TRUE(shown.runOnStartup);
    EXPECT_TRUE(shown.minimizeOnClose);
    ASSERT_EQ(tray.Calls().size(), 1u);
    EXPECT_EQ(tray.Calls()[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_STREQ(tray.Calls()[0].data.szTip, L"Tallyleaf - Work faster.");
    EXPECT_EQ(ConfigValue(L"Main", L"IconInTray"), L"1");
    EXPECT_EQ(RunValue(), L"<absent>");

    // OK on unchanged settings writes nothing.
    const std::string configBefore = ReadFileBytes(dir.File(L"tallyleaf.cfg"));
    tray.Clear();
    OpenSettings([](HWND dialog) { ModalAnswer::Click(dialog, IDOK); });
    EXPECT_EQ(ReadFileBytes(dir.File(L"tallyleaf.cfg")), configBefore);
    EXPECT_TRUE(tray.Calls().empty());
    EXPECT_TRUE(HotKeyIsTaken(MOD_CONTROL | MOD_ALT, 'S'));
}

TEST_F(SettingsDialog, ARefusedHotKeyKeepsThePreviousOneAndTheDialogOpen) {
    Start();
    // Another window holds Ctrl+Alt+Q.
    HotKeyHolder holder(MOD_CONTROL | MOD_ALT, 'Q');
    ASSERT_TRUE(holder.Held());
    bool stayedOpen = false;
    WORD entryAfterRefusal = 0;
    bool previousWorkedMeanwhile = false;
    OpenSettings([&](HWND dialog) {
        ModalAnswer::SetHotKey(dialog, IDC_HOTKEY, 'Q', HOTKEYF_CONTROL | HOTKEYF_ALT);
        ModalAnswer::Click(dialog, IDOK);
        stayedOpen = ::IsWindow(dialog) && ::IsWindowVisible(dialog);
        entryAfterRefusal = ModalAnswer::HotKeyOf(dialog, IDC_HOTKEY);
        previousWorkedMeanwhile = HotKeyIsTaken(MOD_ALT, 'S');
        ModalAnswer::Click(dialog, IDCANCEL);
    });

    ASSERT_EQ(modal.Boxes().size(), 2u);  // the dialog, then the refusal
    const ModalAnswer::Box& box = modal.Boxes()[1];
    EXPECT_EQ(box.text, L"Error registering Hot Key combination for Tallyleaf. Please, select another combination.");
    EXPECT_EQ(box.caption, L"Tallyleaf error");
    EXPECT_EQ(box.icon, ModalAnswer::StockIcon(IDI_ERROR));
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(entryAfterRefusal, MAKEWORD('Q', HOTKEYF_CONTROL | HOTKEYF_ALT));
    EXPECT_TRUE(previousWorkedMeanwhile);

    // After Cancel the previous hot key still works, and the configuration keeps it.
    EXPECT_TRUE(HotKeyIsTaken(MOD_ALT, 'S'));
    EXPECT_EQ(ConfigValue(L"Main", L"HotKeyVK"), L"<absent>");
    EXPECT_EQ(ConfigValue(L"Main", L"HotKey"), L"<absent>");
    dlg->Parts().tray.Hide();
    dlg->PostMessage(WM_HOTKEY, HOTKEY_ID, MAKELPARAM(MOD_ALT, 'S'));
    EXPECT_TRUE(PumpUntil([&] { return dlg->IsWindowVisible(); }));
}

TEST_F(SettingsDialog, AnArrowKeyIsStoredWithoutTheControlsExtendedMark) {
    Start();
    // The control marks the arrow keys as extended keys (HOTKEYF_EXT).
    OpenSettings([](HWND dialog) {
        ModalAnswer::SetHotKey(dialog, IDC_HOTKEY, VK_LEFT, HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_EXT);
        ModalAnswer::Click(dialog, IDOK);
    });
    EXPECT_EQ(ConfigValue(L"Main", L"HotKeyVK"), L"3");
    EXPECT_EQ(ConfigValue(L"Main", L"HotKey"), std::to_wstring(VK_LEFT));
    EXPECT_TRUE(HotKeyIsTaken(MOD_CONTROL | MOD_ALT, VK_LEFT));

    WORD shown = 0;
    OpenSettings([&](HWND dialog) {
        shown = ModalAnswer::HotKeyOf(dialog, IDC_HOTKEY);
        ModalAnswer::Click(dialog, IDOK);
    });
    EXPECT_EQ(shown, MAKEWORD(VK_LEFT, HOTKEYF_CONTROL | HOTKEYF_ALT | HOTKEYF_EXT));
    EXPECT_TRUE(HotKeyIsTaken(MOD_CONTROL | MOD_ALT, VK_LEFT));  // OK changed nothing
}

TEST_F(SettingsDialog, APortableCopyLeavesWindowsStartupListAloneAndSaysWhy) {
    const std::wstring stick = dir.File(L"stick\\");
    ASSERT_TRUE(::CreateDirectoryW(stick.c_str(), nullptr));
    WriteFileBytes(stick + AppFolders::kPortableMarker, "");
    TestSeams::SetProgramFolder(stick);
    SetRunValue(L"\"C:\\Program Files\\Tallyleaf\\tallyleaf.exe\"");  // an installed copy's
    Start();
    Shown shown;
    OpenSettings([&](HWND dialog) {
        shown = Read(dialog);
        // Even a check set behind the disabled control's back does not reach the registry.
        ModalAnswer::SetCheck(dialog, IDC_CHECK_RUN_ON_STARTUP, false);
        ModalAnswer::Click(dialog, IDOK);
    });
    EXPECT_TRUE(shown.runOnStartup);
    EXPECT_FALSE(shown.runEnabled);
    EXPECT_EQ(shown.runTip,
              L"Portable mode: Tallyleaf starts from its own folder and does not change Windows' startup list.");
    EXPECT_EQ(RunValue(), L"\"C:\\Program Files\\Tallyleaf\\tallyleaf.exe\"");
}
