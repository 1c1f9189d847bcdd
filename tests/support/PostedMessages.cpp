#include "support/PostedMessages.h"

PostedMessages::PostedMessages(UINT message) : m_message(message) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Proc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TallyleafPostedMessages";
    ::RegisterClassW(&windowClass);
    m_hwnd = ::CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               windowClass.hInstance, nullptr);
    ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

PostedMessages::~PostedMessages() {
    ::DestroyWindow(m_hwnd);
}

LRESULT CALLBACK PostedMessages::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<PostedMessages*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self || message != self->m_message)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    self->m_received.push_back(lParam);
    return 0;
}
