// CSplitter: the thin vertical bar between the notes tree and the editor.
//
// The user drags it with the left mouse button. While it is dragged only the
// bar moves (its left edge follows the pointer, held between the minimum and
// the maximum); on release it sends its parent WM_SIZE with both parameters 0,
// and the parent lays itself out again from m_nPos.
#pragma once

#include "framework/Wnd.h"

class CSplitter : public CWnd {
public:
    CSplitter() = default;
    ~CSplitter() override;

    // Creates the bar as a visible child of `parent` with an empty rectangle
    // (the parent's layout places it). A negative minimum, and a maximum of
    // zero or less, count back from the parent's right client edge. `cursorId`
    // names a system cursor (IDC_SIZEWE and the like).
    virtual bool Create(HWND parent, UINT id, int pos, int min, int max, const wchar_t* cursorId);

    // Draws the bar into `rect` of `dc`: a one-pixel 3D frame (highlight top and
    // left, shadow bottom and right) around a face-coloured interior.
    static void Paint(HDC dc, const RECT& rect);

    int m_nMin = 0;
    int m_nMax = 0;
    // The x of the bar's left edge in the parent's client area.
    int m_nPos = 0;
    UINT m_nCursorId = 0;
    bool m_bDragging = false;
    UINT m_nID = 0;

private:
    LRESULT OnPaint(WPARAM, LPARAM);
    LRESULT OnSetCursor(WPARAM, LPARAM);
    LRESULT OnLButtonDown(WPARAM, LPARAM);
    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnLButtonUp(WPARAM, LPARAM);
    LRESULT OnCaptureChanged(WPARAM, LPARAM);

    RECT RectInParent() const;
    // Where the left edge of the bar (at `bar` in the parent) goes for a
    // pointer at `x` of the bar's client area, held within the limits.
    int PositionFor(const RECT& bar, int x) const;

    DECLARE_MESSAGE_TABLE()
};
