#include "editor/DragEdit.h"

int CDragEdit::PackedPosition() const {
    // The packed form keeps 16 bits of caret: past 65535 it holds all ones, as
    // the control's own 16-bit selection report does.
    int start = 0, end = 0;
    GetSel(start, end);
    const DWORD caret = (start > 0xFFFF || end > 0xFFFF) ? 0xFFFF : static_cast<DWORD>(start);
    const DWORD firstLine = static_cast<DWORD>(GetFirstVisibleLine()) % 65536;
    return static_cast<int>((firstLine << 16) | caret);
}

void CDragEdit::RestorePosition(int packed) {
    const int caret = static_cast<int>(static_cast<DWORD>(packed) & 0xFFFF);
    const int lines = static_cast<int>(static_cast<DWORD>(packed) >> 16);
    SendMessage(EM_SETSEL, static_cast<WPARAM>(caret), caret);
    LineScroll(lines);
}

void CDragEdit::ShowText(const std::wstring& text, int packed) {
    // Drawing (and the scroll bar's updates) stay off while the text is replaced.
    SendMessage(WM_SETREDRAW, FALSE);
    ::SetWindowTextW(m_hWnd, text.c_str());
    RestorePosition(packed);
    SendMessage(WM_SETREDRAW, TRUE);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}
