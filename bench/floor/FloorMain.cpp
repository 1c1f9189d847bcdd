// The floor of the key-press bench (scripts/bench-keys): a window with nothing
// but a tree control and an edit control in the editor's default font, laid out
// where Tallyleaf's tree and editor lie. Selecting an item puts its text in the
// editor, so the bench can see what a switch costs on this system without any
// of the program's own work. Its rows are either its own 1,000, with texts of
// 200, 2,000 and 20,000 characters in turn, or those of a notes file written by
// `tallyleaf_bench keys-database` (Tallyleaf's top-level notes in its order,
// with their texts); either way as many items as Tallyleaf's tree holds lie
// collapsed under them.
// For the call-up and hide figures it shows itself on the same hot key as
// Tallyleaf (Alt+S) and hides on Esc in the tree, and does nothing else then either.
// Usage: tallyleaf_floor WINDOW_L T R B TREE_L T R B EDITOR_L T R B [nowrap] [items N] [notes PATH]
// (screen pixels; nowrap: lines are not wrapped, as in Tallyleaf with word wrap off;
// items: the tree's items in all, 1,000 or more; notes: the rows from that file).
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr size_t kOwnRows = 1000;
constexpr int kTreeId = 1;
constexpr int kEditorId = 2;
constexpr int kCallUpHotKey = 1;
HWND g_tree = nullptr;
HWND g_editor = nullptr;

// A top-level row, and how many items lie collapsed under it.
struct Row {
    std::wstring name;
    std::wstring text;
    size_t below = 0;
};
std::vector<Row> g_rows;

// Item `index`'s text: a line naming it, then lines of words up to `length` characters.
std::wstring TextOf(size_t index, size_t length) {
    std::wstring text = L"Item " + std::to_wstring(index + 1) + L"\r\n";
    static const wchar_t* const kWords[] = {L"meeting ", L"call ", L"budget ", L"review ", L"draft ", L"and "};
    size_t word = index;
    while (text.size() < length) {
        std::wstring line;
        while (line.size() < 60)
            line += kWords[word++ % 6];
        text += line + L"\r\n";
    }
    text.resize(length);
    return text;
}

// The floor's own rows; the items beyond them are dealt under them in turn, as
// the bench deals Tallyleaf's notes beyond its first 1,000.
std::vector<Row> OwnRows(size_t items) {
    const size_t lengths[] = {200, 2000, 20000};
    const size_t extra = items > kOwnRows ? items - kOwnRows : 0;
    std::vector<Row> rows;
    for (size_t i = 0; i < kOwnRows; ++i)
        rows.push_back({L"Note " + std::to_wstring(i + 1), TextOf(i, lengths[i % 3]),
                        extra / kOwnRows + (i < extra % kOwnRows ? 1 : 0)});
    return rows;
}

// The rows of a file written by `tallyleaf_bench keys-database` (UTF-16): for each,
// a line "BELOW<TAB>LENGTH<TAB>NAME", then LENGTH characters of text and a line break.
bool ReadRows(const wchar_t* path, std::vector<Row>& rows) {
    HANDLE file = ::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size{};
    std::wstring all;
    DWORD read = 0;
    const bool ok = ::GetFileSizeEx(file, &size) && size.QuadPart < 0x40000000;
    if (ok) {
        all.resize(static_cast<size_t>(size.QuadPart) / sizeof(wchar_t));
        ::ReadFile(file, &all[0], static_cast<DWORD>(all.size() * sizeof(wchar_t)), &read, nullptr);
    }
    ::CloseHandle(file);
    if (!ok || read != all.size() * sizeof(wchar_t))
        return false;
    size_t at = 0;
    while (at < all.size()) {
        const size_t end = all.find(L"\r\n", at);
        const size_t tab = all.find(L'\t', at);
        const size_t nameTab = tab < end ? all.find(L'\t', tab + 1) : std::wstring::npos;
        if (end == std::wstring::npos || nameTab >= end)
            return false;
        Row row;
        row.below = std::wcstoul(&all[at], nullptr, 10);
        const size_t length = std::wcstoul(&all[tab + 1], nullptr, 10);
        row.name = all.substr(nameTab + 1, end - nameTab - 1);
        if (end + 2 + length > all.size())
            return false;
        row.text = all.substr(end + 2, length);
        rows.push_back(std::move(row));
        at = end + 2 + length + 2;
    }
    return !rows.empty();
}

HTREEITEM InsertItem(HTREEITEM parent, std::wstring name, LPARAM param) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = &name[0];
    insert.item.lParam = param;
    return reinterpret_cast<HTREEITEM>(::SendMessageW(g_tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
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

    ::SendMessageW(g_tree, WM_SETREDRAW, FALSE, 0);
    for (size_t i = 0; i < g_rows.size(); ++i) {
        HTREEITEM item = InsertItem(TVI_ROOT, g_rows[i].name, static_cast<LPARAM>(i));
        // Collapsed items the Down key never reaches: they show no text.
        for (size_t k = 0; k < g_rows[i].below; ++k)
            InsertItem(item, L"Note", -1);
    }
    ::SendMessageW(g_tree, WM_SETREDRAW, TRUE, 0);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NOTIFY: {
            const auto* header = reinterpret_cast<const NMHDR*>(lParam);
            if (header->idFrom == kTreeId && header->code == TVN_SELCHANGEDW) {
                const auto* change = reinterpret_cast<const NMTREEVIEWW*>(lParam);
                const LPARAM row = change->itemNew.lParam;
                ::SetWindowTextW(g_editor, row >= 0 ? g_rows[static_cast<size_t>(row)].text.c_str() : L"");
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
    bool wrap = true;
    size_t items = kOwnRows;
    const wchar_t* notes = nullptr;
    for (int i = 13; i < count; ++i) {
        if (std::wcscmp(args[i], L"nowrap") == 0)
            wrap = false;
        else if (std::wcscmp(args[i], L"items") == 0 && i + 1 < count)
            items = std::wcstoul(args[++i], nullptr, 10);
        else if (std::wcscmp(args[i], L"notes") == 0 && i + 1 < count)
            notes = args[++i];
    }
    if (!notes)
        g_rows = OwnRows(items);
    else if (!ReadRows(notes, g_rows))
        return 3;
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
