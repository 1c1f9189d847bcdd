// The floor of the key-press bench (scripts/bench-keys): a window with nothing
// but a tree control of 1,000 items and an edit control in the editor's default
// font, laid out where Tallyleaf's tree and editor lie. Selecting an item puts
// a text of 200, 2,000 or 20,000 characters in the editor, so the bench can see
// what a switch costs on this system without any of the program's own work.
// For the call-up and hide figures it shows itself on the same hot key as
// Tallyleaf (Alt+S) and hides on Esc in the tree, and does nothing else then either.
// Usage: tallyleaf_floor WINDOW_L T R B TREE_L T R B EDITOR_L T R B [nowrap] (screen pixels;
// nowrap: lines are not wrapped, as in Tallyleaf with word wrap off).
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr int kItems = 1000;
constexpr int kTreeId = 1;
constexpr int kEditorId = 2;
constexpr int kCallUpHotKey = 1;
HWND g_tree = nullptr;
HWND g_editor = nullptr;
std::vector<std::wstring> g_texts;

// Item `index`'s text: a line naming it, then lines of words up to `length` characters.
std::wstring TextOf(int index, size_t length) {
    std::wstring text = L"Item " + std::to_wstring(index + 1) + L"\r\n";
    static const wchar_t* const kWords[] = {L"meeting ", L"call ", L"budget ", L"review ", L"draft ", L"and "};
    int word = index;
    while (text.size() < length) {
        std::wstring line;
        while (line.size() < 60)
            line += kWords[word++ % 6];
        text += line + L"\r\n";
    }
    text.resize(length);
    return text;
}

RECT ClientRectOf(HWND window, const int* screen) {
    RECT rect{screen[0], screen[1], screen[2], screen[3]};
    ::MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void CreateChildren(HWND window, const int* layout, bool wrap) {
    const RECT tree = ClientRectOf(window, layout + 4);
    const RECT editor = ClientRectOf(window, layout + 8);
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    g_tree = ::CreateWindowExW(0, WC_TREEVIEWW, L"",
                               WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | TVS_HASBUTTONS | TVS_HASLINES |
                                   TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                               tree.left, tree.top, tree.right - tree.left, tree.bottom - tree.top, window,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kTreeId)), instance, nullptr);
    g_editor =
        ::CreateWindowExW(0, L"EDIT", L"",
                          WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                              ES_NOHIDESEL | ES_WANTRETURN | (wrap ? 0 : WS_HSCROLL | ES_AUTOHSCROLL),
                          editor.left, editor.top, editor.right - editor.left, editor.bottom - editor.top, window,
                          reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditorId)), instance, nullptr);
    LOGFONTW font{};
    font.lfHeight = -14;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpyW(font.lfFaceName, L"MS Shell Dlg");
    ::SendMessageW(g_editor, WM_SETFONT, reinterpret_cast<WPARAM>(::CreateFontIndirectW(&font)), FALSE);

    const size_t lengths[] = {200, 2000, 20000};
    ::SendMessageW(g_tree, WM_SETREDRAW, FALSE, 0);
    for (int i = 0; i < kItems; ++i) {
        g_texts.push_back(TextOf(i, lengths[i % 3]));
        std::wstring name = L"Note " + std::to_wstring(i + 1);
        TVINSERTSTRUCTW insert{};
        insert.hParent = TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM;
        insert.item.pszText = &name[0];
        insert.item.lParam = i;
        ::SendMessageW(g_tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert));
    }
    ::SendMessageW(g_tree, WM_SETREDRAW, TRUE, 0);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom == kTreeId && header->code == TVN_SELCHANGEDW) {
                const auto* change = reinterpret_cast<const NMTREEVIEWW*>(lParam);
                ::SetWindowTextW(g_editor, g_texts[static_cast<size_t>(change->itemNew.lParam)].c_str());
            }
            if (header->idFrom == kTreeId && header->code == TVN_KEYDOWN &&
                reinterpret_cast<const NMTVKEYDOWN*>(lParam)->wVKey == VK_ESCAPE)
                ::ShowWindow(window, SW_HIDE);
            return 0;
        }
        case WM_HOTKEY:
            if (wParam == kCallUpHotKey) {
                ::ShowWindow(window, SW_SHOW);
                ::SetForegroundWindow(window);
                ::SetFocus(g_tree);
            }
            return 0;
        case WM_DESTROY:
            ::PostQuitMessage(0);
            return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    int count = 0;
    wchar_t** args = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!args || count < 13)
        return 2;
    int layout[12] = {};
    for (int i = 0; i < 12; ++i)
        layout[i] = static_cast<int>(std::wcstol(args[i + 1], nullptr, 10));
    const bool wrap = !(count > 13 && std::wcscmp(args[13], L"nowrap") == 0);
    ::LocalFree(args);
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"TallyleafFloor";
    ::RegisterClassW(&windowClass);
    HWND window = ::CreateWindowExW(WS_EX_APPWINDOW, windowClass.lpszClassName, L"Tallyleaf floor",
                                    WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, layout[0], layout[1], layout[2] - layout[0],
                                    layout[3] - layout[1], nullptr, nullptr, instance, nullptr);
    CreateChildren(window, layout, wrap);
    ::RegisterHotKey(window, kCallUpHotKey, MOD_ALT, 'S');
    ::ShowWindow(window, SW_SHOW);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return 0;
}
