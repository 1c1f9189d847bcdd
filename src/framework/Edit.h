// CEdit: thin, non-owning wrapper over an edit control.
#pragma once

#include "framework/Wnd.h"

class CEdit : public CWnd {
public:
    // The selection as the control reports it in 16-bit halves (all ones past 65535).
    DWORD GetSel() const { return static_cast<DWORD>(SendMessage(EM_GETSEL)); }
    // The selection as full character indexes.
    void GetSel(int& start, int& end) const {
        DWORD s = 0, e = 0;
        SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        start = static_cast<int>(s);
        end = static_cast<int>(e);
    }
    void SetSel(int start, int end, bool noScroll = false) {
        SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end);
        if (!noScroll)
            SendMessage(EM_SCROLLCARET);
    }
    void ReplaceSel(const wchar_t* text, bool canUndo = true) {
        SendMessage(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text));
    }
    int GetFirstVisibleLine() const { return static_cast<int>(SendMessage(EM_GETFIRSTVISIBLELINE)); }
    void LineScroll(int lines, int chars = 0) { SendMessage(EM_LINESCROLL, static_cast<WPARAM>(chars), lines); }
    bool GetModify() const { return SendMessage(EM_GETMODIFY) != 0; }
    void SetModify(bool modified = true) { SendMessage(EM_SETMODIFY, modified); }
    void SetReadOnly(bool readOnly = true) { SendMessage(EM_SETREADONLY, readOnly); }
    bool IsReadOnly() const { return (::GetWindowLongW(m_hWnd, GWL_STYLE) & ES_READONLY) != 0; }
    bool CanUndo() const { return SendMessage(EM_CANUNDO) != 0; }
    void SetLimitText(UINT max) { SendMessage(EM_SETLIMITTEXT, max); }
    int GetLineCount() const { return static_cast<int>(SendMessage(EM_GETLINECOUNT)); }
    void Undo() { SendMessage(EM_UNDO); }
    void Cut() { SendMessage(WM_CUT); }
    void Copy() { SendMessage(WM_COPY); }
    void Paste() { SendMessage(WM_PASTE); }
    void Clear() { SendMessage(WM_CLEAR); }
};
