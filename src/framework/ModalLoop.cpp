#include "framework/ModalLoop.h"

#include <utility>

#include "framework/Wnd.h"

CModalLoop::CModalLoop(HWND owner) : m_hOwner(owner), m_bOwnerDisabled(owner && ::IsWindowEnabled(owner)) {
    if (m_bOwnerDisabled)
        ::EnableWindow(m_hOwner, FALSE);
}

CModalLoop::CModalLoop(CModalLoop&& other) noexcept
    : m_hOwner(other.m_hOwner), m_bOwnerDisabled(std::exchange(other.m_bOwnerDisabled, false)) {}

void CModalLoop::EnableOwner() {
    if (m_bOwnerDisabled && ::IsWindow(m_hOwner))
        ::EnableWindow(m_hOwner, TRUE);
    m_bOwnerDisabled = false;
}

bool CModalLoop::Run(HWND window, const std::function<bool()>& ended) {
    MSG msg;
    while (!ended() && ::IsWindow(window)) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (got < 0)
            return false;
        Dispatch(msg, window);
    }
    return true;
}

void CModalLoop::Dispatch(MSG& msg, HWND dialog) {
    if (CWnd::WalkPreTranslateTree(&msg))
        return;
    // The pre-translation may have destroyed the dialog.
    if (dialog && ::IsWindow(dialog) && ::IsDialogMessageW(dialog, &msg))
        return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}
