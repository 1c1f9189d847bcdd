#include "editor/DragEdit.h"

#include <ole2.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>

#include "framework/DC.h"

namespace {
// The typing limit of the editor: as much as the control can hold.
constexpr UINT kTextLimit = 0x7FFFFFFE;
// The 16-bit numbers of the control's reports wrap at this.
constexpr int kWrap = 0x10000;

// OLE for this process, initialised here when the program has not done it.
bool OleReady() {
    static const bool ready = [] {
        const HRESULT hr = ::OleInitialize(nullptr);
        // Already initialised by the program: leave its count as it was.
        if (hr == S_FALSE)
            ::OleUninitialize();
        return SUCCEEDED(hr);
    }();
    return ready;
}

// The value congruent to `low` modulo kWrap that lies nearest `near`.
int NearestWrapped(int low, int near) {
    const int below = near - ((near - low) % kWrap + kWrap) % kWrap;
    return (near - below) <= kWrap / 2 ? below : below + kWrap;
}

POINT SignedPoint(LRESULT packed) {
    return POINT{static_cast<short>(LOWORD(packed)), static_cast<short>(HIWORD(packed))};
}
}  // namespace

// clang-format off
DEFINE_MESSAGE_TABLE(CDragEdit, CEdit,
    OnMessage(WM_LBUTTONDOWN, &CDragEdit::OnLButtonDown),
    OnMessage(WM_SETCURSOR, &CDragEdit::OnSetCursor),
    OnMessage(WM_KEYDOWN, &CDragEdit::OnKeyDown),
    OnMessage(WM_DESTROY, &CDragEdit::OnDestroy))
// clang-format on

CDragEdit::CDragEdit() = default;

CDragEdit::~CDragEdit() {
    EndRegistration();
}

bool CDragEdit::Attach(HWND hwnd) {
    if (!CEdit::Attach(hwnd))
        return false;
    SetLimitText(kTextLimit);
    return true;
}

HWND CDragEdit::Detach() {
    EndRegistration();
    return CEdit::Detach();
}

DWORD CDragEdit::Style(bool wrap, bool keepSelectionShown) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN;
    if (keepSelectionShown)
        style |= ES_NOHIDESEL;
    // A horizontal scroll bar is what turns wrapping off.
    if (!wrap)
        style |= WS_HSCROLL | ES_AUTOHSCROLL;
    return style;
}

bool CDragEdit::Recreate(DWORD style) {
    HWND old = m_hWnd;
    if (!old)
        return false;
    HWND parent = ::GetParent(old);
    const int id = ::GetDlgCtrlID(old);
    RECT rect;
    ::GetWindowRect(old, &rect);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    const auto font = static_cast<WPARAM>(SendMessage(WM_GETFONT));
    if (IsReadOnly())
        style |= ES_READONLY;
    const int mode = m_nMode;
    Detach();
    ::DestroyWindow(old);
    HWND editor = ::CreateWindowExW(0, L"EDIT", L"", style, rect.left, rect.top, rect.right - rect.left,
                                    rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                    ::GetModuleHandleW(nullptr), nullptr);
    if (!editor || !Attach(editor))
        return false;
    SendMessage(WM_SETFONT, font, FALSE);
    if (mode)
        EnableDragDrop(mode);
    return true;
}

void CDragEdit::EndRegistration() {
    m_dropTarget.Revoke();
    m_bRegistered = false;
}

bool CDragEdit::EnableDragDrop(int mode) {
    if (!OleReady())
        return false;
    if (m_bRegistered) {
        if (m_dropTarget.GetWindow() == m_hWnd)
            return false;
        // Registered for a window this object no longer has.
        EndRegistration();
    }
    m_nMode = mode;
    if (!m_hWnd)
        return false;
    m_dropTarget.SetOwner(this);
    if (!m_dropTarget.Register(m_hWnd))
        return false;
    m_bRegistered = true;
    return true;
}

LRESULT CDragEdit::OnDestroy(WPARAM, LPARAM) {
    // OLE wants the registration gone before the window is.
    EndRegistration();
    return Default();
}

LRESULT CDragEdit::OnKeyDown(WPARAM, LPARAM) {
    SetModify(true);
    return Default();
}

LRESULT CDragEdit::OnSetCursor(WPARAM w, LPARAM l) {
    if ((m_nMode & kDragOut) && reinterpret_cast<HWND>(w) == m_hWnd && LOWORD(l) == HTCLIENT) {
        POINT pointer{};
        ::GetCursorPos(&pointer);
        ::ScreenToClient(m_hWnd, &pointer);
        if (IsPointerInSelection(pointer)) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
            return TRUE;
        }
    }
    return Default();
}

LRESULT CDragEdit::OnLButtonDown(WPARAM, LPARAM l) {
    SetModify(true);
    const POINT press{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    if (!(m_nMode & kDragOut) || !IsPointerInSelection(press))
        return Default();
    int start = 0, end = 0;
    GetSel(start, end);
    const std::wstring all = GetWindowText();
    if (start < 0 || end > static_cast<int>(all.size()) || start >= end)
        return Default();
    const std::wstring text = all.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(end - start));

    const SIZE_T bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, bytes);
    void* data = block ? ::GlobalLock(block) : nullptr;
    if (!data) {
        if (block)
            ::GlobalFree(block);
        return Default();
    }
    std::memcpy(data, text.c_str(), bytes);
    ::GlobalUnlock(block);
    m_dataSource.Empty();
    m_dataSource.CacheGlobalData(CF_UNICODETEXT, block);

    RECT startRect{press.x - 5, press.y - 5, press.x + 5, press.y + 5};
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&startRect), 2);
    // Text can be copied out of a read-only note, never moved away.
    const DWORD allowed = IsReadOnly() ? DROPEFFECT_COPY : DROPEFFECT_COPY | DROPEFFECT_MOVE;
    m_bDroppedOnSelf = false;
    m_bDragging = true;
    const DROPEFFECT effect = m_dataSource.DoDragDrop(allowed, &startRect);
    m_bDragging = false;
    m_dataSource.Empty();
    if (m_hWnd)
        FinishDrag(effect, press, start, end);
    m_bDroppedOnSelf = false;
    return 0;
}

void CDragEdit::FinishDrag(DROPEFFECT effect, POINT press, int start, int end) {
    if (effect == DROPEFFECT_NONE) {
        // No drag happened, or it came to nothing: the press was a click.
        CaretToPointer(press);
        return;
    }
    if (!(effect & DROPEFFECT_MOVE))
        return;  // copied; the text stays
    if (!m_bDroppedOnSelf) {
        SetSel(start, end, true);
        ReplaceSel(L"");
        return;
    }
    const int drop = m_nDropIndex;
    if (drop >= start && drop <= end)
        return;  // onto its own start or end: nothing moves
    MoveWithinNote(start, end, drop);
}

void CDragEdit::MoveWithinNote(int start, int end, int drop) {
    const std::wstring all = GetWindowText();
    const int first = std::min(start, drop);
    const int last = std::max(end, drop);
    if (first < 0 || last > static_cast<int>(all.size()))
        return;
    const auto piece = [&all](int from, int to) {
        return all.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
    };
    const bool earlier = drop < start;
    const std::wstring moved = piece(start, end);
    const std::wstring rearranged = earlier ? moved + piece(drop, start) : piece(end, drop) + moved;
    // The control keeps one change to undo and would add this replacement to a
    // deletion made just before at the same place.
    SendMessage(EM_EMPTYUNDOBUFFER);
    SetSel(first, last, true);
    ReplaceSel(rearranged.c_str());
    const int movedStart = earlier ? drop : drop - static_cast<int>(moved.size());
    SetSel(movedStart, movedStart + static_cast<int>(moved.size()));
}

bool CDragEdit::AcceptsDrops() const {
    return (m_nMode & kAcceptDrops) && !IsReadOnly();
}

bool CDragEdit::IsPointerInSelection(POINT client) const {
    int start = 0, end = 0;
    GetSel(start, end);
    if (start == end)
        return false;
    const int index = CharFromPoint(client);
    return start < index && index < end;
}

void CDragEdit::CaretToPointer(POINT client) {
    const int index = CharFromPoint(client);
    SetSel(index, index);
}

void CDragEdit::ShowDropPoint(POINT client) {
    const POINT at = PointFromChar(CharFromPoint(client));
    ::SetCaretPos(at.x, at.y);
}

void CDragEdit::InsertAndSelect(const std::wstring& text) {
    int caret = 0, end = 0;
    GetSel(caret, end);
    ReplaceSel(text.c_str());
    SetSel(caret, caret + static_cast<int>(text.size()));
}

SIZE CDragEdit::TextSize(const std::wstring& text) const {
    SIZE size{0, 0};
    const CClientDC dc(m_hWnd);
    if (!dc)
        return size;
    HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessage(WM_GETFONT));
    HGDIOBJ old = font ? ::SelectObject(dc, font) : nullptr;
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    if (old)
        ::SelectObject(dc, old);
    return size;
}

int CDragEdit::CharFromPoint(POINT client) const {
    // The control answers in 16 bits: the low halves of the index and of the
    // line. The line is resolved from the view (lines shown now are far fewer
    // than 65,536), then the index within that line.
    const LRESULT found = SendMessage(EM_CHARFROMPOS, 0, MAKELPARAM(client.x, client.y));
    if (found == -1)
        return 0;
    const int line = ResolveLine(client, HIWORD(found));
    return ResolveIndex(client, line, LOWORD(found));
}

int CDragEdit::ResolveLine(POINT client, int lineLow) const {
    const int count = std::max(1, GetLineCount());
    const int first = GetFirstVisibleLine();
    const int height = std::max(1, static_cast<int>(TextSize(L"A").cy));
    const LRESULT firstPos = SendMessage(EM_POSFROMCHAR, SendMessage(EM_LINEINDEX, first));
    const int top = firstPos == -1 ? 0 : SignedPoint(firstPos).y;
    const int offset = client.y - top;
    const int estimate = first + (offset >= 0 ? offset / height : -((height - 1 - offset) / height));
    return std::clamp(NearestWrapped(lineLow, estimate), 0, count - 1);
}

int CDragEdit::ResolveIndex(POINT client, int line, int indexLow) const {
    const int lineStart = static_cast<int>(SendMessage(EM_LINEINDEX, static_cast<WPARAM>(line)));
    const int lineLength = static_cast<int>(SendMessage(EM_LINELENGTH, static_cast<WPARAM>(lineStart)));
    const int lineEnd = lineStart + lineLength;
    int index = lineStart + ((indexLow - lineStart) % kWrap + kWrap) % kWrap;
    if (index > lineEnd)
        return std::clamp(indexLow, lineStart, lineEnd);
    if (index + kWrap > lineEnd)
        return index;
    // A line longer than 65,536 characters holds several candidates: take the
    // one drawn nearest the pointer; where their 16-bit positions tie, the one
    // nearest the caret, which the control keeps in view.
    int caretStart = 0, caret = 0;
    GetSel(caretStart, caret);
    int best = index;
    long bestDistance = -1;
    for (int candidate = index; candidate <= lineEnd; candidate += kWrap) {
        const POINT at = SignedPoint(SendMessage(EM_POSFROMCHAR, static_cast<WPARAM>(candidate)));
        const long distance = std::labs(static_cast<long>(at.x) - client.x);
        if (bestDistance < 0 || distance < bestDistance ||
            (distance == bestDistance && std::abs(candidate - caret) < std::abs(best - caret))) {
            best = candidate;
            bestDistance = distance;
        }
    }
    return best;
}

POINT CDragEdit::PointFromChar(int index) const {
    const LRESULT packed = SendMessage(EM_POSFROMCHAR, static_cast<WPARAM>(index));
    POINT at = SignedPoint(packed);
    if (packed != -1 && !(at.x < 0 && at.y < 0))
        return at;
    if (index <= 0)
        return POINT{0, 0};
    // Past the last character: place it after the character before it.
    const LRESULT before = SendMessage(EM_POSFROMCHAR, static_cast<WPARAM>(index - 1));
    if (before == -1)
        return POINT{0, 0};
    at = SignedPoint(before);
    const int line = static_cast<int>(SendMessage(EM_LINEFROMCHAR, static_cast<WPARAM>(index)));
    const int lineStart = static_cast<int>(SendMessage(EM_LINEINDEX, static_cast<WPARAM>(line)));
    if (index != lineStart) {
        const std::wstring text = GetWindowText();
        const std::size_t previous = static_cast<std::size_t>(index - 1);
        if (previous < text.size())
            at.x += TextSize(text.substr(previous, 1)).cx;
        return at;
    }
    return POINT{0, at.y + TextSize(L"A").cy};
}

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
    m_bShowingText = true;
    OffScreen([&] {
        ::SetWindowTextW(m_hWnd, text.c_str());
        RestorePosition(packed);
    });
    m_bShowingText = false;
}

void CDragEdit::ReplaceRange(int start, int end, const std::wstring& text) {
    OffScreen([&] {
        SetSel(start, end, true);
        ReplaceSel(text.c_str(), true);
    });
    SendMessage(EM_SCROLLCARET);
}

void CDragEdit::OffScreen(const std::function<void()>& change) {
    // The edit control lays out every line of a text set while it is visible.
    // Taken off the screen for the change (without a repaint of what it would
    // uncover), it lays the text out once, when it is shown again: one paint,
    // and no blank editor in between.
    const bool visible = (::GetWindowLongPtrW(m_hWnd, GWL_STYLE) & WS_VISIBLE) != 0;
    const bool focused = ::GetFocus() == m_hWnd;
    constexpr UINT kQuietly = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW;
    if (visible)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, kQuietly | SWP_HIDEWINDOW);
    change();
    if (visible) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, (kQuietly & ~SWP_NOREDRAW) | SWP_SHOWWINDOW);
        if (focused)
            ::SetFocus(m_hWnd);
    }
}
