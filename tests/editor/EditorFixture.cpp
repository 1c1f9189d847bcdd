#include "app/TestSeams.h"
#include "editor/EditorFixture.h"

#include <shlobj.h>

#include <cstring>

#include "support/Pump.h"

namespace {
constexpr UINT kEditorId = 1000;
const wchar_t kHostClass[] = L"TallyleafEditorTestHost";

HGLOBAL GlobalCopy(const void* data, std::size_t size) {
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (block) {
        std::memcpy(::GlobalLock(block), data, size);
        ::GlobalUnlock(block);
    }
    return block;
}
}  // namespace

LPARAM PointParam(POINT pt) {
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(pt.x)), static_cast<WORD>(static_cast<SHORT>(pt.y)));
}

OfferedData& OfferedData::Unicode(const std::wstring& text) {
    CacheGlobalData(CF_UNICODETEXT, GlobalCopy(text.c_str(), (text.size() + 1) * sizeof(wchar_t)));
    return *this;
}

OfferedData& OfferedData::Ansi(const std::string& bytes) {
    CacheGlobalData(CF_TEXT, GlobalCopy(bytes.c_str(), bytes.size() + 1));
    return *this;
}

OfferedData& OfferedData::Files(const std::vector<std::wstring>& paths) {
    std::wstring list;
    for (const std::wstring& path : paths)
        list += path + L'\0';
    list += L'\0';
    std::string block(sizeof(DROPFILES), '\0');
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = TRUE;
    std::memcpy(block.data(), &header, sizeof header);
    block.append(reinterpret_cast<const char*>(list.data()), list.size() * sizeof(wchar_t));
    CacheGlobalData(CF_HDROP, GlobalCopy(block.data(), block.size()));
    return *this;
}

void HoldCtrl(bool held) {
    BYTE keys[256];
    ::GetKeyboardState(keys);
    keys[VK_CONTROL] = held ? 0x80 : 0;
    keys[VK_LCONTROL] = held ? 0x80 : 0;
    ::SetKeyboardState(keys);
}

ScriptedDrag::ScriptedDrag(POINT to, bool ctrl) {
    // From the first step on the pointer is where the drop goes, so that no
    // step of the drag passes over a scrolling band on the way.
    ::SetCursorPos(to.x, to.y);
    // OLE's loop reads the pointer and keys, asks the source, then tells the
    // target; so the pointer moved at one step is seen by the target at the next.
    TestSeams::SetDragScript([this, to, ctrl](int call, DWORD) -> HRESULT {
        ++m_nSteps;
        if (call == 0) {
            HoldCtrl(ctrl);
            return S_OK;
        }
        POINT now{};
        ::GetCursorPos(&now);
        const bool there = now.x == to.x && now.y == to.y;
        if (call >= 2 && there)
            return DRAGDROP_S_DROP;
        return call > 50 ? DRAGDROP_S_CANCEL : S_OK;
    });
}

ScriptedDrag::~ScriptedDrag() {
    TestSeams::SetDragScript(nullptr);
    HoldCtrl(false);
}

void EditorTest::SetUp() {
    WNDCLASSW wc{};
    if (!::GetClassInfoW(::GetModuleHandleW(nullptr), kHostClass, &wc)) {
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        wc.lpszClassName = kHostClass;
        ASSERT_TRUE(::RegisterClassW(&wc));
    }
    host = ::CreateWindowExW(0, kHostClass, L"Editor test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60, 60, 480, 360, nullptr,
                             nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    ::SetForegroundWindow(host);
    ASSERT_NE(RecreateEditor(false), nullptr);
    ASSERT_TRUE(editor.EnableDragDrop(CDragEdit::kDragOut | CDragEdit::kAcceptDrops));
    editor.SetFocus();
    PumpPending();
}

void EditorTest::TearDown() {
    TestSeams::SetDragScript(nullptr);
    HoldCtrl(false);
    if (host)
        ::DestroyWindow(host);
    PumpPending();
}

HWND EditorTest::RecreateEditor(bool wordWrap) {
    if (editor.m_hWnd)
        ::DestroyWindow(editor.Detach());
    DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_NOHIDESEL | ES_WANTRETURN;
    if (!wordWrap)
        style |= WS_HSCROLL | ES_AUTOHSCROLL;
    RECT client{};
    ::GetClientRect(host, &client);
    HWND hwnd = ::CreateWindowExW(0, L"EDIT", L"", style, 0, 0, client.right, client.bottom, host,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kEditorId)),
                                  ::GetModuleHandleW(nullptr), nullptr);
    if (!hwnd || !editor.Attach(hwnd))
        return nullptr;
    editor.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    return hwnd;
}

void EditorTest::SetText(const std::wstring& text) {
    editor.SetWindowText(text);
    editor.SetModify(false);
}

std::pair<int, int> EditorTest::Selection() const {
    int start = 0, end = 0;
    editor.GetSel(start, end);
    return {start, end};
}

void EditorTest::Select(int start, int end) {
    editor.SetSel(start, end);
}

POINT EditorTest::At(int index) const {
    POINT at = editor.PointFromChar(index);
    TEXTMETRICW tm{};
    HDC dc = ::GetDC(editor);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(editor.SendMessage(WM_GETFONT)));
    ::GetTextMetricsW(dc, &tm);
    ::SelectObject(dc, old);
    ::ReleaseDC(editor, dc);
    at.y += tm.tmHeight / 2;
    return at;
}

POINT EditorTest::ToScreen(POINT client) const {
    ::ClientToScreen(editor, &client);
    return client;
}

void EditorTest::PressAfter(POINT client, UINT nextMessage, WPARAM w, LPARAM l) {
    ::PostMessageW(editor, nextMessage, w, l);
    editor.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(client));
    PumpPending();
}

void EditorTest::DragSelection(POINT press, POINT dropScreen, bool ctrl) {
    ScriptedDrag drag(dropScreen, ctrl);
    // A move well beyond the drag-start square starts the drag at once.
    PressAfter(press, WM_MOUSEMOVE, MK_LBUTTON, PointParam(POINT{press.x, press.y + 40}));
    ASSERT_GT(drag.Steps(), 2) << "the drag never reached the drop";
}

DROPEFFECT OfferDrop(CDragEdit& editor, IDataObject* data, POINT client, DWORD keyState, DWORD allowed) {
    IDropTarget* target = editor.GetDropTarget();
    POINT screen = client;
    ::ClientToScreen(editor.m_hWnd, &screen);
    const POINTL pt{screen.x, screen.y};
    DWORD effect = allowed;
    target->DragEnter(data, keyState | MK_LBUTTON, pt, &effect);
    if (effect == DROPEFFECT_NONE) {
        target->DragLeave();
        return DROPEFFECT_NONE;
    }
    effect = allowed;
    target->DragOver(keyState | MK_LBUTTON, pt, &effect);
    effect = allowed;
    target->Drop(data, keyState, pt, &effect);
    return effect;
}

DROPEFFECT EditorTest::DropFromOutside(IDataObject* data, POINT client, DWORD keyState, DWORD allowed) {
    return OfferDrop(editor, data, client, keyState, allowed);
}
