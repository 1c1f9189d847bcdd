#include "BenchSupport.h"

#include <algorithm>

#include "app/TallyLeafDlg.h"
#include "framework/Wnd.h"
#include "support/Pump.h"

namespace bench {

double Stopwatch::ElapsedMs() const {
    static const double ticksPerMs = [] {
        LARGE_INTEGER frequency;
        ::QueryPerformanceFrequency(&frequency);
        return static_cast<double>(frequency.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - m_start.QuadPart) / ticksPerMs;
}

double Samples::Median() const {
    if (m_values.empty())
        return 0;
    std::vector<double> sorted = m_values;
    std::sort(sorted.begin(), sorted.end());
    const size_t mid = sorted.size() / 2;
    return sorted.size() % 2 ? sorted[mid] : (sorted[mid - 1] + sorted[mid]) / 2;
}

double Samples::Min() const {
    return m_values.empty() ? 0 : *std::min_element(m_values.begin(), m_values.end());
}

double Samples::Max() const {
    return m_values.empty() ? 0 : *std::max_element(m_values.begin(), m_values.end());
}

namespace {
bool Matches(const MessageWatch* watch, const MSG& msg) {
    return watch && msg.hwnd == watch->hwnd && msg.message == watch->message && msg.wParam == watch->wParam;
}
}  // namespace

void PumpPending(MessageWatch* watch) {
    MSG msg;
    // The bound keeps a window that never validates its paint from holding the pump.
    for (int i = 0; i < 10000 && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (!Matches(watch, msg)) {
            DispatchLikeTheProgram(msg);
            continue;
        }
        Stopwatch dispatch;
        DispatchLikeTheProgram(msg);
        watch->lastMs = dispatch.ElapsedMs();
        ++watch->seen;
    }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs, MessageWatch* watch) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        PumpPending(watch);
        if (done())
            return true;
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs)
            return done();
        // Wakes as soon as a message (the timer's, say) arrives.
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, std::min<DWORD>(timeoutMs - elapsed, 10), QS_ALLINPUT);
    }
}

namespace {
std::vector<std::wstring> g_boxTexts;

LRESULT CALLBACK BoxHookProc(int code, WPARAM w, LPARAM l) {
    if (code == HCBT_ACTIVATE) {
        HWND hwnd = reinterpret_cast<HWND>(w);
        wchar_t className[16] = {};
        ::GetClassNameW(hwnd, className, 16);
        const bool mainWindow = dynamic_cast<CTallyLeafDlg*>(CWnd::FromHandle(hwnd)) != nullptr;
        if (!mainWindow && wcscmp(className, L"#32770") == 0) {
            wchar_t text[1024] = {};
            ::GetDlgItemTextW(hwnd, 0xFFFF, text, 1024);
            g_boxTexts.emplace_back(text);
            ::PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
        }
    }
    return ::CallNextHookEx(nullptr, code, w, l);
}
}  // namespace

BoxGuard::BoxGuard() : m_hook(::SetWindowsHookExW(WH_CBT, &BoxHookProc, nullptr, ::GetCurrentThreadId())) {}

BoxGuard::~BoxGuard() {
    if (m_hook)
        ::UnhookWindowsHookEx(m_hook);
}

const std::vector<std::wstring>& BoxGuard::Texts() {
    return g_boxTexts;
}

namespace {
void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(folder + name + L"\\");
            else
                ::DeleteFileW((folder + name).c_str());
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
    }
    ::RemoveDirectoryW(folder.c_str());
}
}  // namespace

ScratchFolder::ScratchFolder() {
    wchar_t temp[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, temp);
    // One fixed name: what an interrupted run left behind goes with the next run.
    m_path = std::wstring(temp) + L"tallyleaf-bench\\";
    RemoveTree(m_path);
    ::CreateDirectoryW(m_path.c_str(), nullptr);
}

ScratchFolder::~ScratchFolder() {
    RemoveTree(m_path);
}

std::wstring ScratchFolder::SubFolder(const std::wstring& name) const {
    std::wstring folder = m_path + name + L"\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

}  // namespace bench
