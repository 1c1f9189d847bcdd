#include "framework/ToolTipCtrl.h"

#include <iterator>

namespace {
TTTOOLINFOW ToolInfo(HWND window, UINT id) {
    TTTOOLINFOW info{};
    info.cbSize = sizeof info;
    info.hwnd = window;
    info.uId = id;
    return info;
}
}  // namespace

CToolTipCtrl::~CToolTipCtrl() {
    // Still bound: the window was not destroyed with its owner.
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

bool CToolTipCtrl::Create(HWND owner) {
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
    HWND hwnd = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    // Bound, so that the object lets go when the owner takes the window with it.
    if (hwnd && !Attach(hwnd)) {
        ::DestroyWindow(hwnd);
        return false;
    }
    return hwnd != nullptr;
}

bool CToolTipCtrl::AddTool(HWND window, UINT id, const RECT& rect, const std::wstring& text) {
    TTTOOLINFOW info = ToolInfo(window, id);
    // No TTF_SUBCLASS: the window relays its messages itself (RelayEvent).
    info.rect = rect;
    info.lpszText = const_cast<wchar_t*>(text.c_str());  // copied by the control
    return SendMessage(TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info)) != FALSE;
}

void CToolTipCtrl::UpdateTipText(HWND window, UINT id, const std::wstring& text) {
    TTTOOLINFOW info = ToolInfo(window, id);
    info.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessage(TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::SetToolRect(HWND window, UINT id, const RECT& rect) {
    TTTOOLINFOW info = ToolInfo(window, id);
    info.rect = rect;
    SendMessage(TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&info));
}

std::wstring CToolTipCtrl::GetText(HWND window, UINT id) const {
    if (!m_hWnd)
        return {};
    TTTOOLINFOW info = ToolInfo(window, id);
    if (!SendMessage(TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&info)))
        return {};
    // The control copies at most this many characters; the program's tips are short.
    wchar_t text[1024] = {};
    info.lpszText = text;
    SendMessage(TTM_GETTEXTW, static_cast<WPARAM>(std::size(text)), reinterpret_cast<LPARAM>(&info));
    return text;
}
