// The splitter bar: dragging it with mouse messages within its limits, the
// main window's layout from its position, and its drawing.
#include <windows.h>

#include "controls/Splitter.h"
#include "framework/DC.h"
#include "framework/Gdi.h"
#include "res/resource.h"
#include "support/MainWindowFixture.h"
#include "support/Pump.h"
#include "support/SentMessages.h"

namespace {
RECT RectIn(HWND parent, HWND child) {
    RECT r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// x, y, width, height, as the layout is specified.
struct Box {
    int x, y, cx, cy;
    bool operator==(const Box& o) const { return x == o.x && y == o.y && cx == o.cx && cy == o.cy; }
};

Box BoxIn(HWND parent, HWND child) {
    const RECT r = RectIn(parent, child);
    return Box{r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void PrintTo(const Box& b, std::ostream* os) {
    *os << "{" << b.x << ", " << b.y << ", " << b.cx << ", " << b.cy << "}";
}

LPARAM At(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}
}  // namespace

using SplitterInMainWindow = MainWindowTest;

TEST_F(SplitterInMainWindow, DragMovesTheBarAloneWithinItsLimitsAndTheLayoutFollowsOnRelease) {
    Configure(L"Tallyleaf", L"SplitterPos", L"150");
    Start();
    dlg->Parts().tray.CallUp();
    ::SetWindowPos(dlg->m_hWnd, nullptr, 0, 0, 640, 400, SWP_NOMOVE | SWP_NOZORDER);
    PumpPending();
    HWND bar = dlg->GetDlgItem(IDC_SPLITTER);
    ASSERT_NE(bar, nullptr);
    RECT client;
    ::GetClientRect(dlg->m_hWnd, &client);
    const int w = client.right, h = client.bottom;

    // The layout table for the stored position.
    EXPECT_EQ(BoxIn(dlg->m_hWnd, dlg->Parts().tree), (Box{5, 5, 145, h - 10}));
    EXPECT_EQ(BoxIn(dlg->m_hWnd, bar), (Box{150, 5, 5, h - 10}));
    EXPECT_EQ(BoxIn(dlg->m_hWnd, dlg->Parts().editor), (Box{155, 5, w - 160, h - 10}));

    // Over the bar the west-east sizing cursor shows.
    ::SendMessageW(bar, WM_SETCURSOR, reinterpret_cast<WPARAM>(bar), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_SIZEWE));

    const Box treeBefore = BoxIn(dlg->m_hWnd, dlg->Parts().tree);
    const Box editorBefore = BoxIn(dlg->m_hWnd, dlg->Parts().editor);
    SentMessages treeMoves(dlg->Parts().tree);
    // Grabbed at its right edge: one pixel of movement puts its left edge at the pointer.
    ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(4, 10));
    EXPECT_EQ(::GetCapture(), bar);
    ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, At(5, 10));
    EXPECT_EQ(RectIn(dlg->m_hWnd, bar).left, 155);
    // Positions go on from where the bar is now; the limits hold it at 120 and 300.
    ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, At(400, 10));
    EXPECT_EQ(RectIn(dlg->m_hWnd, bar).left, 300);
    ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, At(-400, 10));
    EXPECT_EQ(RectIn(dlg->m_hWnd, bar).left, 120);
    ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, At(90, 10));
    EXPECT_EQ(BoxIn(dlg->m_hWnd, bar), (Box{210, 5, 5, h - 10}));
    PumpPending();
    // Only the bar moved.
    EXPECT_EQ(BoxIn(dlg->m_hWnd, dlg->Parts().tree), treeBefore);
    EXPECT_EQ(BoxIn(dlg->m_hWnd, dlg->Parts().editor), editorBefore);
    EXPECT_TRUE(treeMoves.Of(WM_WINDOWPOSCHANGED).empty());

    ::SendMessageW(bar, WM_LBUTTONUP, 0, At(0, 10));
    EXPECT_EQ(::GetCapture(), nullptr);
    EXPECT_EQ(treeMoves.Of(WM_WINDOWPOSCHANGED).size(), 1u);
    EXPECT_EQ(BoxIn(dlg->m_hWnd, dlg->Parts().tree), (Box{5, 5, 205, h - 10}));
    EXPECT_EQ(BoxIn(dlg->m_hWnd, dlg->Parts().editor), (Box{215, 5, w - 220, h - 10}));

    // Moves without the button pressed on the bar move nothing.
    ::SendMessageW(bar, WM_MOUSEMOVE, 0, At(40, 10));
    EXPECT_EQ(RectIn(dlg->m_hWnd, bar).left, 210);

    Finish();
    EXPECT_EQ(ConfigValue(L"Tallyleaf", L"SplitterPos"), L"210");
    // The next start lays the panes out where they were left.
    Start();
    dlg->Parts().tray.CallUp();
    EXPECT_EQ(RectIn(dlg->m_hWnd, dlg->Parts().tree).right, 210);
}

TEST_F(SplitterInMainWindow, LosingTheCaptureEndsTheDragWhereTheBarStands) {
    Start();
    dlg->Parts().tray.CallUp();
    HWND bar = dlg->GetDlgItem(IDC_SPLITTER);
    ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(2, 10));
    ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, At(60, 10));
    ::SetCapture(dlg->Parts().tree);  // another window takes the mouse (a task switch)
    ::ReleaseCapture();
    EXPECT_EQ(RectIn(dlg->m_hWnd, dlg->Parts().tree).right, 180);
    ::SendMessageW(bar, WM_MOUSEMOVE, 0, At(40, 10));
    EXPECT_EQ(RectIn(dlg->m_hWnd, bar).left, 180);
}

namespace {
// A parent of the given client width for a bar of its own.
class SplitterHost : public ::testing::Test {
protected:
    void SetUp() override {
        parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 500, 200, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(parent, nullptr);
    }
    void TearDown() override {
        bar.DestroyWindow();
        ::DestroyWindow(parent);
    }
    int DragTo(int parentX) {
        ::MoveWindow(bar, 250, 5, 5, 190, FALSE);
        ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(0, 10));
        ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, At(parentX - 250, 10));
        ::SendMessageW(bar, WM_LBUTTONUP, 0, At(0, 10));
        return bar.m_nPos;
    }

    HWND parent = nullptr;
    CSplitter bar;
};
}  // namespace

TEST_F(SplitterHost, NegativeLimitsCountFromTheRightEdgeAndTheMinimumWinsWhenTheyCross) {
    ASSERT_TRUE(bar.Create(parent, 7, 250, -200, -50, IDC_SIZEWE));
    EXPECT_EQ(::GetDlgCtrlID(bar), 7);
    EXPECT_TRUE(::GetWindowLongW(bar, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(DragTo(100), 300);  // 500 - 200
    EXPECT_EQ(DragTo(480), 450);  // 500 - 50
    EXPECT_EQ(DragTo(320), 320);
    // The release asks the parent to lay itself out: WM_SIZE with both parameters 0.
    SentMessages parentSees(parent);
    DragTo(330);
    const std::vector<SentMessages::Sent> sizes = parentSees.Of(WM_SIZE);
    ASSERT_EQ(sizes.size(), 1u);
    EXPECT_EQ(sizes[0].w, 0u);
    EXPECT_EQ(sizes[0].l, 0);

    bar.m_nMin = 400;
    bar.m_nMax = 200;
    EXPECT_EQ(DragTo(100), 400);
    EXPECT_EQ(DragTo(480), 400);
    bar.m_nMax = 0;  // the right edge itself
    EXPECT_EQ(DragTo(520), 500);
}

TEST(SplitterPaint, DrawsAFrameAroundAFaceColouredInterior) {
    CMemoryDC dc(nullptr);
    CClientDC screen(nullptr);
    CGdiObject<HBITMAP> bitmap(::CreateCompatibleBitmap(screen, 5, 20));
    CSelectObject selected(dc, bitmap);
    CSplitter::Paint(dc, RECT{0, 0, 5, 20});
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    // Across the middle, from left to right: highlight, face, interior, face, shadow.
    const COLORREF row[5] = {light, face, face, face, shadow};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(::GetPixel(dc, x, 10), row[x]) << "x = " << x;
    EXPECT_EQ(::GetPixel(dc, 2, 0), light);
    EXPECT_EQ(::GetPixel(dc, 2, 1), face);
    EXPECT_EQ(::GetPixel(dc, 2, 18), face);
    EXPECT_EQ(::GetPixel(dc, 2, 19), shadow);
}
