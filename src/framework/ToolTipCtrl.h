// CToolTipCtrl: a tooltip control owned by the object: its window is destroyed
// with the object, unless the owner window took it along first. Tools are identified by the window they cover
// and an id of the program's choosing; the tool's rectangle is in that
// window's client coordinates. The covered window hands its mouse messages to
// RelayEvent from its PreTranslateMessage.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/Wnd.h"

class CToolTipCtrl : public CWnd {
public:
    CToolTipCtrl() = default;
    ~CToolTipCtrl() override;

    // Creates the tooltip window for tools of `owner` (a window of this thread).
    bool Create(HWND owner);
    bool AddTool(HWND window, UINT id, const RECT& rect, const std::wstring& text);
    void UpdateTipText(HWND window, UINT id, const std::wstring& text);
    void SetToolRect(HWND window, UINT id, const RECT& rect);
    // The tool's text; empty when there is no such tool.
    std::wstring GetText(HWND window, UINT id) const;
    void RelayEvent(MSG* msg) {
        if (m_hWnd)
            SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
    }
};
