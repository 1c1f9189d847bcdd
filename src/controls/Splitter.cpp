#include "controls/Splitter.h"

#include <windowsx.h>

#include "framework/Gdi.h"

namespace {
const wchar_t kClassName[] = L"TallyleafSplitter";

void FillSolid(HDC dc, int x, int y, int cx, int cy, COLORREF colour) {
    const COLORREF previous = ::SetBkColor(dc, colour);
    const RECT r{x, y, x + cx, y + cy};
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    ::SetBkColor(dc, previous);
}
}  // namespace

// clang-format off
DEFINE_MESSAGE_TABLE(CSplitter, CWnd,
    OnMessage(WM_PAINT, &CSplitter::OnPaint),
    OnMessage(WM_SETCURSOR, &CSplitter::OnSetCursor),
    OnMessage(WM_LBUTTONDOWN, &CSplitter::OnLButtonDown),
    OnMessage(WM_MOUSEMOVE, &CSplitter::OnMouseMove),
    OnMessage(WM_LBUTTONUP, &CSplitter::OnLButtonUp),
    OnMessage(WM_CAPTURECHANGED, &CSplitter::OnCaptureChanged))
// clang-format on

CSplitter::~CSplitter() {
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

bool CSplitter::Create(HWND parent, UINT id, int pos, int min, int max, const wchar_t* cursorId) {
    m_nPos = pos;
    m_nMin = min;
    m_nMax = max;
    m_nCursorId = static_cast<UINT>(reinterpret_cast<UINT_PTR>(cursorId));
    m_nID = id;
    const wchar_t* cls = RegisterClass(kClassName, 0, nullptr, nullptr);
    return cls && CreateEx(0, cls, L"", WS_CHILD | WS_VISIBLE, RECT{}, parent, id);
}

void CSplitter::Paint(HDC dc, const RECT& rect) {
    const int cx = rect.right - rect.left;
    const int cy = rect.bottom - rect.top;
    if (cx <= 0 || cy <= 0)
        return;
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    // The inside first (the face outline and the interior, one colour), then the frame.
    FillSolid(dc, rect.left + 1, rect.top + 1, cx - 2, cy - 2, face);
    FillSolid(dc, rect.left, rect.top, cx - 1, 1, light);
    FillSolid(dc, rect.left, rect.top, 1, cy - 1, light);
    FillSolid(dc, rect.right - 1, rect.top, 1, cy, shadow);
    FillSolid(dc, rect.left, rect.bottom - 1, cx, 1, shadow);
}

LRESULT CSplitter::OnPaint(WPARAM, LPARAM) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    Paint(dc, client);
    ::EndPaint(m_hWnd, &ps);
    return 0;
}

LRESULT CSplitter::OnSetCursor(WPARAM, LPARAM) {
    ::SetCursor(::LoadCursorW(nullptr, MAKEINTRESOURCEW(m_nCursorId)));
    return TRUE;
}

LRESULT CSplitter::OnLButtonDown(WPARAM, LPARAM) {
    LRESULT result = Default();
    m_bDragging = true;
    ::SetCapture(m_hWnd);
    return result;
}

RECT CSplitter::RectInParent() const {
    RECT bar;
    ::GetWindowRect(m_hWnd, &bar);
    ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&bar), 2);
    return bar;
}

int CSplitter::PositionFor(const RECT& bar, int x) const {
    RECT client;
    ::GetClientRect(::GetParent(m_hWnd), &client);
    const int width = client.right - client.left;
    const int min = m_nMin < 0 ? m_nMin + width : m_nMin;
    const int max = m_nMax <= 0 ? m_nMax + width : m_nMax;
    // The left edge goes to the pointer, whatever point of the bar was grabbed.
    int pos = bar.left + x;
    if (pos > max)
        pos = max;
    if (pos < min)  // when the limits cross, the minimum wins
        pos = min;
    return pos;
}

LRESULT CSplitter::OnMouseMove(WPARAM, LPARAM l) {
    if (m_bDragging) {
        const RECT bar = RectInParent();
        m_nPos = PositionFor(bar, GET_X_LPARAM(l));
        ::MoveWindow(m_hWnd, m_nPos, bar.top, bar.right - bar.left, bar.bottom - bar.top, TRUE);
    }
    return Default();
}

LRESULT CSplitter::OnLButtonUp(WPARAM, LPARAM) {
    if (m_bDragging) {
        m_bDragging = false;
        ::ReleaseCapture();
        ::SendMessageW(::GetParent(m_hWnd), WM_SIZE, 0, 0);
    }
    return Default();
}

LRESULT CSplitter::OnCaptureChanged(WPARAM, LPARAM) {
    // The capture was taken away (another window, a switch of task) before the
    // release: the drag ends where the bar stands, or it would stay stuck and
    // the bar would jump with the next pointer move over it.
    if (m_bDragging) {
        m_bDragging = false;
        ::SendMessageW(::GetParent(m_hWnd), WM_SIZE, 0, 0);
    }
    return Default();
}
