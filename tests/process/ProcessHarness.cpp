#include "process/ProcessHarness.h"

#include <algorithm>
#include <utility>

#include "framework/ModulePath.h"
#include "support/Pump.h"

std::wstring TestProgramFolder() {
    const std::wstring path = ModulePath();
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

// --- RegistryValueGuard ------------------------------------------------------------------

RegistryValueGuard::RegistryValueGuard(HKEY root, std::wstring subKey, std::wstring name)
    : m_root(root), m_subKey(std::move(subKey)), m_name(std::move(name)) {
    // Find the first key of the path that is missing: that one goes again at the end.
    for (size_t end = 0; end != std::wstring::npos;) {
        end = m_subKey.find(L'\\', end + 1);
        std::wstring prefix = m_subKey.substr(0, end);
        HKEY key = nullptr;
        if (::RegOpenKeyExW(m_root, prefix.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
            m_missingKey = prefix;
            return;
        }
        ::RegCloseKey(key);
    }
    HKEY key = nullptr;
    if (::RegOpenKeyExW(m_root, m_subKey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    DWORD size = 0;
    if (::RegQueryValueExW(key, m_name.c_str(), nullptr, &m_type, nullptr, &size) == ERROR_SUCCESS) {
        m_data.resize(size);
        m_hadValue = ::RegQueryValueExW(key, m_name.c_str(), nullptr, &m_type, m_data.data(), &size) == ERROR_SUCCESS;
        m_data.resize(size);
    }
    ::RegCloseKey(key);
}

RegistryValueGuard::~RegistryValueGuard() {
    if (!m_missingKey.empty()) {
        ::RegDeleteTreeW(m_root, m_missingKey.c_str());  // the key itself goes too
        return;
    }
    HKEY key = nullptr;
    if (::RegOpenKeyExW(m_root, m_subKey.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    if (m_hadValue)
        ::RegSetValueExW(key, m_name.c_str(), 0, m_type, m_data.data(), static_cast<DWORD>(m_data.size()));
    else
        ::RegDeleteValueW(key, m_name.c_str());
    ::RegCloseKey(key);
}

bool RegistryValueGuard::SetString(const std::wstring& value, DWORD type) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(m_root, m_subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key,
                          nullptr) != ERROR_SUCCESS)
        return false;
    LONG rc = ::RegSetValueExW(key, m_name.c_str(), 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

// --- AppDataRedirect ---------------------------------------------------------------------

AppDataRedirect::AppDataRedirect(const std::wstring& folder)
    : m_value(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
              L"AppData") {
    std::wstring path = folder;
    if (path.size() > 3 && path.back() == L'\\')
        path.pop_back();
    m_active = m_value.SetString(path, REG_EXPAND_SZ);
}

// --- AppProcess --------------------------------------------------------------------------

AppProcess::~AppProcess() {
    Kill();
    if (m_process)
        ::CloseHandle(m_process);
}

bool AppProcess::Start(const std::wstring& exePath, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + exePath + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    std::wstring folder = exePath.substr(0, exePath.find_last_of(L'\\') + 1);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si,
                          &pi)) {
        m_error = ::GetLastError();
        return false;
    }
    ::CloseHandle(pi.hThread);
    m_process = pi.hProcess;
    m_id = pi.dwProcessId;
    return true;
}

bool AppProcess::Running() const {
    return m_process && ::WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

bool AppProcess::WaitForExit(DWORD timeoutMs) {
    return m_process && PumpUntil([this] { return !Running(); }, timeoutMs);
}

DWORD AppProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (m_process)
        ::GetExitCodeProcess(m_process, &code);
    return code;
}

bool AppProcess::IsIdle() const {
    return Running() && ::WaitForInputIdle(m_process, 0) == 0;
}

void AppProcess::Kill() {
    if (!Running())
        return;
    ::TerminateProcess(m_process, 99);
    ::WaitForSingleObject(m_process, 10000);
}

// --- Windows of other processes ----------------------------------------------------------

std::wstring WindowText(HWND wnd) {
    // WM_GETTEXT (not the title cache) so that a control's text comes from its process.
    wchar_t text[1024] = {};
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(wnd, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                               &length))
        return std::wstring();
    return std::wstring(text, std::min<size_t>(length, std::size(text) - 1));
}

std::wstring WindowTitle(HWND wnd) {
    wchar_t title[1024] = {};
    int n = ::InternalGetWindowText(wnd, title, static_cast<int>(std::size(title)));
    return std::wstring(title, n > 0 ? n : 0);
}

std::wstring WindowClass(HWND wnd) {
    wchar_t name[256] = {};
    int n = ::GetClassNameW(wnd, name, static_cast<int>(std::size(name)));
    return std::wstring(name, n > 0 ? n : 0);
}

namespace {
struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

// A lambda cannot stand in for a __stdcall callback on 32-bit x86.
BOOL CALLBACK CollectWindowOf(HWND wnd, LPARAM l) {
    auto* search = reinterpret_cast<WindowSearch*>(l);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(wnd, &owner);
    if (owner == search->processId)
        search->found.push_back(wnd);
    return TRUE;
}
}  // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD processId) {
    WindowSearch search{processId, {}};
    ::EnumWindows(&CollectWindowOf, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindTopLevelWindow(DWORD processId, const std::wstring& title) {
    for (HWND wnd : TopLevelWindowsOf(processId))
        if (WindowTitle(wnd) == title)
            return wnd;
    return nullptr;
}

bool HasVisibleWindow(DWORD processId) {
    for (HWND wnd : TopLevelWindowsOf(processId))
        if (::IsWindowVisible(wnd))
            return true;
    return false;
}

std::wstring MessageBoxText(HWND box) {
    HWND text = ::GetDlgItem(box, 0xFFFF);
    return text ? WindowText(text) : std::wstring();
}

HWND FindMessageBox(DWORD processId, const std::wstring& text) {
    for (HWND wnd : TopLevelWindowsOf(processId))
        if (WindowClass(wnd) == L"#32770" && MessageBoxText(wnd) == text)
            return wnd;
    return nullptr;
}

std::vector<int> MessageBoxButtons(HWND box) {
    std::vector<std::pair<LONG, int>> buttons;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (WindowClass(child) != L"Button" || !::IsWindowVisible(child))
            continue;
        RECT r;
        ::GetWindowRect(child, &r);
        buttons.emplace_back(r.left, ::GetDlgCtrlID(child));
    }
    std::sort(buttons.begin(), buttons.end());
    std::vector<int> ids;
    for (const auto& button : buttons)
        ids.push_back(button.second);
    return ids;
}

void AnswerMessageBox(HWND box, int button) {
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}

HWND FocusOfThreadOwning(HWND wnd) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(wnd, nullptr), &info))
        return nullptr;
    return info.hwndFocus;
}

// --- Files -------------------------------------------------------------------------------

std::wstring IniValue(const std::wstring& file, const wchar_t* section, const wchar_t* key, const wchar_t* missing) {
    wchar_t value[512] = {};
    DWORD n =
        ::GetPrivateProfileStringW(section, key, missing, value, static_cast<DWORD>(std::size(value)), file.c_str());
    return std::wstring(value, n);
}
