#include "support/MenuPopup.h"

namespace {
struct Driver {
    const PopupStep* step;
    DWORD start;
    DWORD timeoutMs;
    int tick;
    bool done;
    PopupRun run;
};
Driver* g_driver = nullptr;

BOOL CALLBACK FindPopup(HWND hwnd, LPARAM l) {
    wchar_t name[16] = {};
    if (::IsWindowVisible(hwnd) && ::GetClassNameW(hwnd, name, 16) && lstrcmpW(name, L"#32768") == 0) {
        *reinterpret_cast<HWND*>(l) = hwnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD) {
    Driver* d = g_driver;
    if (!d || d->done)
        return;
    if (::GetTickCount() - d->start > d->timeoutMs) {
        d->run.timedOut = true;
        d->done = true;
        ::EndMenu();
        return;
    }
    HWND popup = FindPopupMenuWindow();
    if (!popup)
        return;
    d->run.shown = true;
    if ((*d->step)(popup, d->tick++)) {
        d->done = true;
        ::EndMenu();
    }
}
}  // namespace

HWND FindPopupMenuWindow() {
    HWND found = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindPopup, reinterpret_cast<LPARAM>(&found));
    return found;
}

PopupRun OpenPopupMenu(HWND owner, HMENU menu, const PopupStep& step, DWORD timeoutMs) {
    Driver driver{&step, ::GetTickCount(), timeoutMs, 0, false, {}};
    g_driver = &driver;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, &OnTick);
    RECT window{};
    ::GetWindowRect(owner, &window);
    driver.run.command = static_cast<UINT>(::TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN,
                                                            window.left + 40, window.top + 60, 0, owner, nullptr));
    ::KillTimer(nullptr, timer);
    g_driver = nullptr;
    return driver.run;
}
