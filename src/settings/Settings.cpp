#include "settings/Settings.h"

#include "settings/AppFolders.h"
#include "settings/FontRecord.h"
#include "storage/NotesStore.h"
#include "settings/Profile.h"

namespace {
template <class T>
struct Key {
    const wchar_t* section;
    const wchar_t* name;
    T fallback;
};

using Profile::kMain;
using Profile::kPlacement;

// DBPath is asked for under "main" and written under "Main" (section names
// match without regard to case).
constexpr Key<const wchar_t*> kDbPath{L"main", L"DBPath", L""};
constexpr Key<const wchar_t*> kDbPathWritten{kMain, L"DBPath", L""};
constexpr Key<int> kHotKeyMods{kMain, L"HotKeyVK", MOD_ALT};
constexpr Key<int> kHotKeyVk{kMain, L"HotKey", 'S'};
constexpr Key<bool> kIconInTray{kMain, L"IconInTray", true};
constexpr Key<bool> kMinimizeOnClose{kMain, L"MinimizeOnClose", false};
constexpr Key<bool> kHideByHotKey{kMain, L"HideByHotKey", true};
constexpr Key<bool> kHideOnFocusLost{kMain, L"HideOnFocusLost", false};
constexpr Key<int> kHideDelay{kMain, L"HideOnFocusLostDelay", 0};
constexpr Key<bool> kAlwaysOnTop{kMain, L"AlwaysOnTop", false};
constexpr Key<bool> kWordWrap{kMain, L"WordWrap", true};
constexpr Key<int> kX{kPlacement, L"WX", 250};
constexpr Key<int> kY{kPlacement, L"WY", 150};
constexpr Key<int> kWidth{kPlacement, L"WWidth", 540};
constexpr Key<int> kHeight{kPlacement, L"WHeight", 420};
constexpr Key<bool> kMaximized{kPlacement, L"MAXIMIZED", false};
constexpr Key<int> kSplitterPos{kPlacement, L"SplitterPos", 120};
constexpr Key<int> kBack{kPlacement, L"bkColor", static_cast<int>(RGB(255, 255, 255))};
constexpr Key<int> kText{kPlacement, L"TextColor", static_cast<int>(RGB(0, 0, 0))};

int Read(const Key<int>& key) {
    return Profile::ReadInt(key.section, key.name, key.fallback);
}
bool Read(const Key<bool>& key) {
    return Profile::ReadSwitch(key.section, key.name, key.fallback);
}
std::wstring Read(const Key<const wchar_t*>& key) {
    return Profile::ReadString(key.section, key.name, key.fallback);
}
void Write(const Key<int>& key, int value) {
    Profile::WriteInt(key.section, key.name, value);
}
void Write(const Key<bool>& key, bool value) {
    Profile::WriteSwitch(key.section, key.name, value);
}
void Write(const Key<const wchar_t*>& key, const std::wstring& value) {
    Profile::WriteString(key.section, key.name, value);
}

RECT Rectangle(int x, int y, int width, int height) {
    return RECT{x, y, x + width, y + height};
}
}  // namespace

Settings::Settings()
    : m_wHotKeyMods(static_cast<WORD>(kHotKeyMods.fallback)),
      m_wHotKeyVk(static_cast<WORD>(kHotKeyVk.fallback)),
      m_bIconInTray(kIconInTray.fallback),
      m_bMinimizeOnClose(kMinimizeOnClose.fallback),
      m_bHideByHotKey(kHideByHotKey.fallback),
      m_bHideOnFocusLost(kHideOnFocusLost.fallback),
      m_nHideDelay(kHideDelay.fallback),
      m_bAlwaysOnTop(kAlwaysOnTop.fallback),
      m_bWordWrap(kWordWrap.fallback),
      m_rcWindow(Rectangle(kX.fallback, kY.fallback, kWidth.fallback, kHeight.fallback)),
      m_bMaximized(kMaximized.fallback),
      m_nSplitterPos(kSplitterPos.fallback),
      m_font(FontRecord::Default()),
      m_crBack(static_cast<COLORREF>(kBack.fallback)),
      m_crText(static_cast<COLORREF>(kText.fallback)) {}

Settings Settings::Load() {
    Settings s;
    s.m_wHotKeyMods = static_cast<WORD>(Read(kHotKeyMods));
    s.m_wHotKeyVk = static_cast<WORD>(Read(kHotKeyVk));
    s.m_bIconInTray = Read(kIconInTray);
    s.m_bMinimizeOnClose = Read(kMinimizeOnClose);
    s.m_bHideByHotKey = Read(kHideByHotKey);
    s.m_bHideOnFocusLost = Read(kHideOnFocusLost);
    s.m_nHideDelay = Read(kHideDelay);
    s.m_bAlwaysOnTop = Read(kAlwaysOnTop);
    s.m_bWordWrap = Read(kWordWrap);
    s.m_rcWindow = Rectangle(Read(kX), Read(kY), Read(kWidth), Read(kHeight));
    s.m_bMaximized = Read(kMaximized);
    s.m_nSplitterPos = Read(kSplitterPos);
    s.m_font = FontRecord::Read();
    s.m_crBack = static_cast<COLORREF>(Read(kBack));
    s.m_crText = static_cast<COLORREF>(Read(kText));
    return s;
}

std::wstring Settings::LoadDbPath() {
    const std::wstring path = AppFolders::FromStoredPath(Read(kDbPath));
    return path.empty() ? AppFolders::DataFolder() + NotesStore::kDefaultFileName : path;
}

void Settings::SaveAlwaysOnTop() const {
    Write(kAlwaysOnTop, m_bAlwaysOnTop);
}

void Settings::SaveWordWrap() const {
    Write(kWordWrap, m_bWordWrap);
}

void Settings::SaveFont() const {
    FontRecord::Write(m_font);
}

void Settings::SaveTextColor() const {
    Write(kText, static_cast<int>(m_crText));
}

void Settings::SaveBackColor() const {
    Write(kBack, static_cast<int>(m_crBack));
}

void Settings::SaveHotKey() const {
    Write(kHotKeyMods, m_wHotKeyMods);
    Write(kHotKeyVk, m_wHotKeyVk);
}

void Settings::SaveIconInTray() const {
    Write(kIconInTray, m_bIconInTray);
}

void Settings::SaveMinimizeOnClose() const {
    Write(kMinimizeOnClose, m_bMinimizeOnClose);
}

void Settings::SaveDbPath(const std::wstring& path) {
    Write(kDbPathWritten, AppFolders::ToStoredPath(path));
}

void Settings::SavePlacement() const {
    const RECT& r = m_rcWindow;
    Write(kX, r.left);
    Write(kY, r.top);
    Write(kHeight, r.bottom - r.top);
    Write(kWidth, r.right - r.left);
    Write(kMaximized, m_bMaximized);
    Write(kSplitterPos, m_nSplitterPos);
}
