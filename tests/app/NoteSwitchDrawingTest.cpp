// What the user sees while moving between notes and while the tree is refilled:
// the new note appears at once, where it was left, with nothing blank between.
#include <windows.h>
#include <commctrl.h>

#include "support/MainWindowFixture.h"
#include "support/Pump.h"

namespace {
// Watches one window's paints: how many, and whether one drew it empty.
class PaintWatch {
public:
    explicit PaintWatch(HWND window) : m_hWnd(window) {
        ::SetWindowSubclass(m_hWnd, &Proc, 7, reinterpret_cast<DWORD_PTR>(this));
    }
    ~PaintWatch() { ::RemoveWindowSubclass(m_hWnd, &Proc, 7); }
    PaintWatch(const PaintWatch&) = delete;
    PaintWatch& operator=(const PaintWatch&) = delete;

    int paints = 0;
    int emptyPaints = 0;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR data) {
        auto* self = reinterpret_cast<PaintWatch*>(data);
        if (msg == WM_PAINT) {
            ++self->paints;
            if (::GetWindowTextLengthW(hwnd) == 0)
                ++self->emptyPaints;
        }
        return ::DefSubclassProc(hwnd, msg, w, l);
    }
    HWND m_hWnd;
};

std::wstring Lines(const wchar_t* word, int count) {
    std::wstring text;
    for (int i = 0; i < count; ++i)
        text += std::wstring(word) + L" " + std::to_wstring(i) + L"\r\n";
    return text;
}
}  // namespace

using NoteSwitchDrawing = MainWindowTest;

TEST_F(NoteSwitchDrawing, TheNewNoteIsDrawnOnceWhereItWasLeftAndTheFocusStays) {
    SeedNotes({{1, 0, L"A", Lines(L"alpha", 300), 40 * 65536 + 25},  // line 40 at the top, caret at 25
               {2, 0, L"B", Lines(L"beta", 300), 7 * 65536 + 12}});
    Start();
    dlg->Parts().tray.CallUp();
    PumpPending();
    ASSERT_EQ(::GetFocus(), dlg->Parts().editor.m_hWnd);

    PaintWatch watch(dlg->Parts().editor);
    Select(L"B");
    ASSERT_TRUE(PumpUntil([&] { return watch.paints > 0; }));
    PumpPending();
    EXPECT_EQ(EditorText(), Lines(L"beta", 300));
    EXPECT_EQ(watch.emptyPaints, 0);
    EXPECT_TRUE(dlg->Parts().editor.IsWindowVisible());
    EXPECT_EQ(::GetFocus(), dlg->Parts().editor.m_hWnd);
    EXPECT_EQ(Selection(), std::make_pair(12, 12));
    EXPECT_EQ(dlg->Parts().editor.GetFirstVisibleLine(), 7);
}

TEST_F(NoteSwitchDrawing, ARefillWhileShownLeavesTheTreeCompleteAndDrawn) {
    std::vector<NoteRow> rows;
    for (int id = 1; id <= 300; ++id)
        rows.push_back({id, id % 3 == 0 ? id - 1 : 0, L"Note " + std::to_wstring(id), L"text"});
    SeedNotes(rows);
    Start();
    dlg->Parts().tray.CallUp();
    PumpPending();
    dlg->Parts().notes.Open();
    PaintWatch watch(dlg->Parts().tree);
    PumpPending();
    EXPECT_EQ(dlg->Parts().tree.GetCount(), 300u);
    EXPECT_GT(watch.paints, 0);
    // Drawing is on again: a later change shows without anything else asking.
    RECT first{};
    ASSERT_TRUE(dlg->Parts().tree.GetItemRect(dlg->Parts().tree.GetRootItem(), &first, true));
    EXPECT_TRUE(::GetUpdateRect(dlg->Parts().tree, nullptr, FALSE) == FALSE);
    dlg->Parts().tree.SetItemText(dlg->Parts().tree.GetRootItem(), L"Renamed");
    EXPECT_TRUE(::GetUpdateRect(dlg->Parts().tree, nullptr, FALSE) != FALSE);
}
