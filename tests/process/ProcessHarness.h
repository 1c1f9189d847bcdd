// Running the real tallyleaf.exe from a test: the process itself, the windows it
// shows, its files, and registry values the test changes for it and puts back.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The folder of the running test program, ending with a backslash; tallyleaf.exe sits there.
std::wstring TestProgramFolder();

// One registry value, remembered as it was and put back (or removed) when the guard ends.
// Keys that did not exist are removed again with everything below them.
class RegistryValueGuard {
public:
    RegistryValueGuard(HKEY root, std::wstring subKey, std::wstring name);
    ~RegistryValueGuard();
    RegistryValueGuard(const RegistryValueGuard&) = delete;
    RegistryValueGuard& operator=(const RegistryValueGuard&) = delete;

    // Writes a string value (REG_SZ or REG_EXPAND_SZ); false when the registry refuses.
    bool SetString(const std::wstring& value, DWORD type = REG_SZ);

private:
    HKEY m_root;
    std::wstring m_subKey;
    std::wstring m_name;
    bool m_hadValue = false;
    DWORD m_type = REG_NONE;
    std::vector<BYTE> m_data;
    // The outermost key of m_subKey's path that did not exist yet (empty when all did).
    std::wstring m_missingKey;
};

// Points the user's application data folder (what SHGetFolderPathW(CSIDL_APPDATA)
// answers, in this process and in every process started while it lives) at a folder.
class AppDataRedirect {
public:
    explicit AppDataRedirect(const std::wstring& folder);
    bool Active() const { return m_active; }

private:
    RegistryValueGuard m_value;
    bool m_active = false;
};

// One started program. Ending the object ends the process if it still runs, so a
// failed test never leaves it behind.
class AppProcess {
public:
    AppProcess() = default;
    ~AppProcess();
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    // Starts the program (with `arguments` after its quoted path); false (with the
    // system's error in LastError()) when it could not.
    bool Start(const std::wstring& exePath, const std::wstring& arguments = L"");
    DWORD Id() const { return m_id; }
    DWORD LastError() const { return m_error; }
    bool Running() const;
    // Pumps this thread's messages until the process has ended; false on time-out.
    bool WaitForExit(DWORD timeoutMs);
    // Valid once the process has ended.
    DWORD ExitCode() const;
    // True once the process has waited in its message loop with nothing to do.
    bool IsIdle() const;
    void Kill();

private:
    HANDLE m_process = nullptr;
    DWORD m_id = 0;
    DWORD m_error = 0;
};

// Window queries that work on another process's windows.
// A control's text, asked of the process that owns it.
std::wstring WindowText(HWND wnd);
// A window's title as the system keeps it; never waits for the owning process.
std::wstring WindowTitle(HWND wnd);
std::wstring WindowClass(HWND wnd);
std::vector<HWND> TopLevelWindowsOf(DWORD processId);
// The first top-level window of the process with that title (any class, visible or not).
HWND FindTopLevelWindow(DWORD processId, const std::wstring& title);
// Whether any top-level window of the process is visible.
bool HasVisibleWindow(DWORD processId);
// The process's message box (a top-level "#32770") whose text is `text`.
HWND FindMessageBox(DWORD processId, const std::wstring& text);
// The text of a message box, as the user reads it.
std::wstring MessageBoxText(HWND box);
// The control ids of a message box's visible buttons, left to right as laid out.
std::vector<int> MessageBoxButtons(HWND box);
// Presses one of a message box's buttons (IDOK, IDYES, ...).
void AnswerMessageBox(HWND box, int button);
// The window that has the keyboard focus in the thread that owns `wnd`.
HWND FocusOfThreadOwning(HWND wnd);

// One value of an INI-style file, or `missing` when the file or the key is absent.
std::wstring IniValue(const std::wstring& file, const wchar_t* section, const wchar_t* key,
                      const wchar_t* missing = L"<missing>");
