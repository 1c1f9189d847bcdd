#include "support/ModalAnswer.h"

#include <algorithm>

namespace {
ModalAnswer* g_current = nullptr;

std::wstring TextOf(HWND hwnd) {
    wchar_t buffer[4096] = {};
    ::GetWindowTextW(hwnd, buffer, 4096);
    return buffer;
}
}  // namespace

ModalAnswer::ModalAnswer() {
    g_current = this;
    m_hook = ::SetWindowsHookExW(WH_CBT, &ModalAnswer::CbtProc, nullptr, ::GetCurrentThreadId());
}

ModalAnswer::~ModalAnswer() {
    if (m_hook)
        ::UnhookWindowsHookEx(m_hook);
    if (g_current == this)
        g_current = nullptr;
}

LRESULT CALLBACK ModalAnswer::CbtProc(int code, WPARAM w, LPARAM l) {
    if (code == HCBT_ACTIVATE && g_current) {
        HWND hwnd = reinterpret_cast<HWND>(w);
        wchar_t cls[64] = {};
        ::GetClassNameW(hwnd, cls, 64);
        if (wcscmp(cls, L"#32770") == 0)
            g_current->OnActivate(hwnd);
    }
    return ::CallNextHookEx(nullptr, code, w, l);
}

void ModalAnswer::OnActivate(HWND dialog) {
    if (std::find(m_seen.begin(), m_seen.end(), dialog) != m_seen.end() || (m_skip && m_skip(dialog)))
        return;
    m_seen.push_back(dialog);
    Box box;
    box.caption = TextOf(dialog);
    if (HWND text = ::GetDlgItem(dialog, 0xFFFF))
        box.text = TextOf(text);
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t cls[64] = {};
        ::GetClassNameW(child, cls, 64);
        LONG style = ::GetWindowLongW(child, GWL_STYLE);
        if (_wcsicmp(cls, L"Button") == 0)
            box.buttons.push_back(::GetDlgCtrlID(child));
        else if (_wcsicmp(cls, L"Static") == 0 && (style & SS_TYPEMASK) == SS_ICON)
            box.icon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
    }
    int answer = 0;
    if (!m_answers.empty()) {
        answer = m_answers.front();
        m_answers.pop_front();
    } else {
        for (int safe : {IDOK, IDNO, IDCANCEL}) {
            if (std::find(box.buttons.begin(), box.buttons.end(), safe) != box.buttons.end()) {
                answer = safe;
                break;
            }
        }
        if (answer == 0)
            answer = IDCANCEL;
    }
    box.answer = answer;
    m_boxes.push_back(box);
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
}
