#include "KeyPressTools.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "NotesDatabase.h"
#include "settings/AppFolders.h"
#include "storage/NotesStore.h"

namespace bench {
namespace {

struct Children {
    HWND tree = nullptr;
    HWND editor = nullptr;
    LONG editorArea = 0;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM param) {
    auto* found = reinterpret_cast<Children*>(param);
    if (!::IsWindowVisible(child))
        return TRUE;
    wchar_t name[64] = {};
    ::GetClassNameW(child, name, 64);
    RECT rect{};
    ::GetClientRect(child, &rect);
    if (!found->tree && ::lstrcmpiW(name, L"SysTreeView32") == 0)
        found->tree = child;
    const LONG area = rect.right * rect.bottom;
    if (::lstrcmpiW(name, L"Edit") == 0 && area > found->editorArea) {
        found->editor = child;
        found->editorArea = area;
    }
    return TRUE;
}

RECT ClientOnScreen(HWND wnd) {
    RECT rect{};
    ::GetClientRect(wnd, &rect);
    ::MapWindowPoints(wnd, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

}  // namespace

int WriteKeyPressDatabase(bool wrap, bool floorSizes) {
    AppFolders::Initialise();
    const std::wstring path = AppFolders::DataFolder() + NotesStore::kDefaultFileName;
    if (!wrap)
        ::WritePrivateProfileStringW(L"Main", L"WordWrap", L"0", (AppFolders::DataFolder() + L"tallyleaf.cfg").c_str());
    if (floorSizes) {
        std::vector<size_t> lengths;
        for (size_t i = 0; i < 1000; ++i)
            lengths.push_back(i % 3 == 0 ? 200 : i % 3 == 1 ? 2000 : 20000);
        WriteSizedNotes(path, lengths, 0x5EED03E8u);
        return 0;
    }
    const TreeDatabase db = WriteTreeDatabase(path, 1000, 0x5EED03E8u);
    std::printf("%d notes, %.1f M characters\n", db.notes, db.textChars / 1e6);
    return 0;
}

int PrintLayout(const std::wstring& title) {
    HWND window = ::FindWindowW(nullptr, title.c_str());
    Children found;
    if (window)
        ::EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&found));
    if (!found.tree || !found.editor)
        return 1;
    RECT rects[4] = {};
    ::GetWindowRect(window, &rects[0]);
    ::GetWindowRect(found.tree, &rects[1]);
    ::GetWindowRect(found.editor, &rects[2]);
    rects[3] = ClientOnScreen(found.editor);
    const char* const names[4] = {"window", "tree", "editor", "text"};
    for (int i = 0; i < 4; ++i)
        std::printf("%s%s %ld %ld %ld %ld", i ? " " : "", names[i], rects[i].left, rects[i].top, rects[i].right,
                    rects[i].bottom);
    std::printf("\n");
    return 0;
}

int RunKeyCatcher() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcW;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"TallyleafKeyCatcher";
    ::RegisterClassW(&windowClass);
    const int width = ::GetSystemMetrics(SM_CXSCREEN), height = ::GetSystemMetrics(SM_CYSCREEN);
    HWND window = ::CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, windowClass.lpszClassName, L"Key catcher",
                                    WS_POPUP | WS_VISIBLE, width - 60, height - 60, 50, 50, nullptr, nullptr,
                                    windowClass.hInstance, nullptr);
    if (!window)
        return 1;
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0)
        ::DispatchMessageW(&message);
    return 0;
}

}  // namespace bench
