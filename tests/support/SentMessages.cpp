#include "support/SentMessages.h"

namespace {
SentMessages* g_current = nullptr;
}  // namespace

SentMessages::SentMessages(HWND target) : m_hTarget(target) {
    g_current = this;
    m_hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &SentMessages::CallWndProc, nullptr, ::GetCurrentThreadId());
}

SentMessages::~SentMessages() {
    if (m_hook)
        ::UnhookWindowsHookEx(m_hook);
    if (g_current == this)
        g_current = nullptr;
}

LRESULT CALLBACK SentMessages::CallWndProc(int code, WPARAM w, LPARAM l) {
    if (code == HC_ACTION && g_current) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(l);
        if (sent->hwnd == g_current->m_hTarget)
            g_current->m_sent.push_back({sent->message, sent->wParam, sent->lParam});
    }
    return ::CallNextHookEx(nullptr, code, w, l);
}

std::vector<SentMessages::Sent> SentMessages::Of(UINT message) const {
    std::vector<Sent> found;
    for (const Sent& sent : m_sent) {
        if (sent.message == message)
            found.push_back(sent);
    }
    return found;
}

std::vector<UINT> SentMessages::Commands() const {
    std::vector<UINT> ids;
    for (const Sent& sent : Of(WM_COMMAND)) {
        if (sent.l == 0)
            ids.push_back(LOWORD(sent.w));
    }
    return ids;
}
