#include "app/TestSeams.h"
#include "support/ShellProbes.h"

#include "shell/TrayIcon.h"
#include "support/Pump.h"

namespace {
constexpr DWORD kTimeoutMs = 5000;

// The other thread's window ends its thread when it goes.
LRESULT CALLBACK ThreadWindowProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_DESTROY)
        ::PostQuitMessage(0);
    return ::DefWindowProcW(hwnd, msg, w, l);
}

// A hidden top-level window of a plain class.
HWND CreatePlainWindow(const wchar_t* cls, WNDPROC proc, const wchar_t* title) {
    HINSTANCE inst = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!::GetClassInfoExW(inst, cls, &wc)) {
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = proc;
        wc.hInstance = inst;
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        wc.lpszClassName = cls;
        ::RegisterClassExW(&wc);
    }
    return ::CreateWindowExW(0, cls, title, WS_OVERLAPPEDWINDOW, 700, 500, 300, 200, nullptr, nullptr, inst, nullptr);
}
}  // namespace

TrayRecorder::TrayRecorder() {
    TestSeams::SetTrayObserver([this](DWORD message, const NOTIFYICONDATAW& data, BOOL result) {
        m_calls.push_back({message, data, result});
    });
}

TrayRecorder::~TrayRecorder() {
    TestSeams::SetTrayObserver(nullptr);
}

std::vector<TrayRecorder::Call> TrayRecorder::CallsOf(DWORD message) const {
    std::vector<Call> calls;
    for (const Call& call : m_calls) {
        if (call.message == message)
            calls.push_back(call);
    }
    return calls;
}

ShellRequests::ShellRequests(INT_PTR answer) : m_answer(answer) {
    TestSeams::SetShellOpenHandler([this](const ShellOpenRequest& r) {
        m_requests.push_back({r.owner != nullptr, r.verb != nullptr, r.parameters != nullptr, r.directory != nullptr,
                              r.verb ? r.verb : L"", r.file ? r.file : L"<null>", r.show});
        return reinterpret_cast<HINSTANCE>(m_answer);
    });
}

ShellRequests::~ShellRequests() {
    TestSeams::SetShellOpenHandler(nullptr);
}

namespace {
constexpr int kHolderId = 0x2345;
}

HotKeyHolder::HotKeyHolder(UINT modifiers, UINT vk)
    : m_hWnd(CreatePlainWindow(L"TallyleafTestHotKeyHolder", ::DefWindowProcW, L"Hot key holder")),
      m_bHeld(::RegisterHotKey(m_hWnd, kHolderId, modifiers, vk) != FALSE) {}

HotKeyHolder::~HotKeyHolder() {
    if (m_bHeld)
        ::UnregisterHotKey(m_hWnd, kHolderId);
    ::DestroyWindow(m_hWnd);
}

bool HotKeyIsTaken(UINT modifiers, UINT vk) {
    return !HotKeyHolder(modifiers, vk).Held();
}

OtherThreadWindow::OtherThreadWindow()
    : m_hReady(::CreateEventW(nullptr, TRUE, FALSE, nullptr)),
      m_hThread(::CreateThread(nullptr, 0, &OtherThreadWindow::Run, this, 0, nullptr)) {
    ::WaitForSingleObject(m_hReady, kTimeoutMs);
}

OtherThreadWindow::~OtherThreadWindow() {
    if (m_hWnd)
        ::PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
    // The thread's last messages may be sent to this thread's windows: pump while waiting.
    PumpUntil([this] { return ::WaitForSingleObject(m_hThread, 0) == WAIT_OBJECT_0; }, kTimeoutMs);
    ::CloseHandle(m_hThread);
    ::CloseHandle(m_hReady);
}

DWORD WINAPI OtherThreadWindow::Run(void* param) {
    auto* self = static_cast<OtherThreadWindow*>(param);
    self->m_hWnd = CreatePlainWindow(L"TallyleafTestOtherProgram", ThreadWindowProc, L"Another program");
    ::SetEvent(self->m_hReady);
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return 0;
}

bool OtherThreadWindow::Activate() {
    ::ShowWindow(m_hWnd, SW_SHOWNA);
    ::SetForegroundWindow(m_hWnd);
    return PumpUntil([this] { return ::GetForegroundWindow() == m_hWnd; }, kTimeoutMs);
}
