// Probes for what the program does with the shell and the desktop: its calls
// to the notification area, its requests to open web pages, hot keys held on
// the desktop, and a window of another thread standing in for another program.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

// Records the program's tray icon calls for its life; the calls still reach the shell.
class TrayRecorder {
public:
    struct Call {
        DWORD message;  // NIM_ADD, NIM_MODIFY, NIM_DELETE
        NOTIFYICONDATAW data;
        BOOL result;  // the shell's answer
    };

    TrayRecorder();
    ~TrayRecorder();
    TrayRecorder(const TrayRecorder&) = delete;
    TrayRecorder& operator=(const TrayRecorder&) = delete;

    const std::vector<Call>& Calls() const { return m_calls; }
    std::vector<Call> CallsOf(DWORD message) const;
    void Clear() { m_calls.clear(); }

private:
    std::vector<Call> m_calls;
};

// Takes the shell's requests to open something in its place (no browser
// starts), recording them and giving `answer` (above 32: opened), for its life.
class ShellRequests {
public:
    struct Request {
        bool hasOwner, hasVerb, hasParameters, hasDirectory;
        std::wstring verb;  // empty when there is none
        std::wstring file;
        int show;
    };

    explicit ShellRequests(INT_PTR answer);
    ~ShellRequests();
    ShellRequests(const ShellRequests&) = delete;
    ShellRequests& operator=(const ShellRequests&) = delete;

    void SetAnswer(INT_PTR answer) { m_answer = answer; }
    const std::vector<Request>& Requests() const { return m_requests; }

private:
    INT_PTR m_answer;
    std::vector<Request> m_requests;
};

// Holds a hot key combination on a hidden window of its own, as another
// program might, for the holder's life.
class HotKeyHolder {
public:
    HotKeyHolder(UINT modifiers, UINT vk);
    ~HotKeyHolder();
    HotKeyHolder(const HotKeyHolder&) = delete;
    HotKeyHolder& operator=(const HotKeyHolder&) = delete;

    // False when the system refused the combination: someone else holds it.
    bool Held() const { return m_bHeld; }

private:
    HWND m_hWnd = nullptr;
    bool m_bHeld = false;
};

// Whether some window holds this combination as its hot key.
bool HotKeyIsTaken(UINT modifiers, UINT vk);

// A top-level window run by a thread of its own, as another program's window:
// activating it takes the foreground away from the program's windows the way
// a click on another program does. Hidden until activated.
class OtherThreadWindow {
public:
    OtherThreadWindow();
    ~OtherThreadWindow();
    OtherThreadWindow(const OtherThreadWindow&) = delete;
    OtherThreadWindow& operator=(const OtherThreadWindow&) = delete;

    HWND Handle() const { return m_hWnd; }
    // Shows the window and brings it to the foreground; returns once it is there.
    bool Activate();

private:
    static DWORD WINAPI Run(void* self);

    HANDLE m_hReady = nullptr;
    HANDLE m_hThread = nullptr;
    HWND m_hWnd = nullptr;
};
