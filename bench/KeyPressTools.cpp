#include "KeyPressTools.h"

#include <windows.h>

#include <cstdio>
#include <stdexcept>
#include <vector>

#include "NotesDatabase.h"
#include "settings/AppFolders.h"
#include "storage/CppSQLite3DB.h"
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

int WriteKeyPressDatabase(const KeyPressNotes& notes) {
    // The notes every count shares: those the Down key walks lie among them.
    constexpr int kShown = 1000;
    AppFolders::Initialise();
    const std::wstring path = AppFolders::DataFolder() + NotesStore::kDefaultFileName;
    if (!notes.wrap)
        ::WritePrivateProfileStringW(L"Main", L"WordWrap", L"0", (AppFolders::DataFolder() + L"tallyleaf.cfg").c_str());
    if (notes.floorSizes) {
        std::vector<size_t> lengths;
        for (int i = 0; i < notes.count; ++i)
            lengths.push_back(i % 3 == 0 ? 200 : i % 3 == 1 ? 2000 : 20000);
        WriteSizedNotes(path, lengths, 0x5EED03E8u, kShown);
    } else {
        const TreeDatabase db = WriteTreeDatabase(path, notes.count, 0x5EED03E8u, kShown);
        std::printf("%d notes (%d top-level), %.1f M characters\n", db.notes, db.topLevel, db.textChars / 1e6);
    }
    if (!notes.floorNotesPath.empty())
        WriteFloorNotes(path, notes.floorNotesPath);
    return 0;
}

void WriteFloorNotes(const std::wstring& databasePath, const std::wstring& path) {
    CppSQLite3DB db(2000);
    NotesStore store(db);
    store.Open(databasePath);
    const NotesStore::RowsByParent rows = store.ReadTreeRows();
    const auto below = [&rows](long long id, const auto& self) -> size_t {
        const auto level = rows.find(id);
        size_t count = 0;
        if (level != rows.end())
            for (const NotesStore::TreeRow& row : level->second)
                count += 1 + self(row.id, self);
        return count;
    };
    std::wstring out;
    const auto top = rows.find(0);
    if (top != rows.end())
        for (const NotesStore::TreeRow& row : top->second) {
            const std::wstring text = store.LoadNote(row.id).text;
            out += std::to_wstring(below(row.id, below)) + L"\t" + std::to_wstring(text.size()) + L"\t" + row.name +
                   L"\r\n" + text + L"\r\n";
        }
    store.Close();
    FILE* file = _wfopen(path.c_str(), L"wb");
    const bool written = file && std::fwrite(out.data(), sizeof(wchar_t), out.size(), file) == out.size();
    if (file)
        std::fclose(file);
    if (!written)
        throw std::runtime_error("the floor's notes could not be written");
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
