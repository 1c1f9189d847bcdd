// What the program measures and draws itself follows the screen's scale. The
// same checks run at 96 dpi and, in a Wine prefix set to 144 dpi (ctest's
// high_dpi_144), at one and a half times the sizes; a move to a screen of
// another scale is WM_DPICHANGED, sent as the system sends it.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>

#include "dialogs/About.h"
#include "framework/Dpi.h"
#include "menus/MenuTheme.h"
#include "menus/NewMenu.h"
#include "menus/NewMenuIcons.h"
#include "res/resource.h"
#include "settings/FontRecord.h"
#include "support/MainWindowFixture.h"
#include "support/MenuPopup.h"
#include "support/Pump.h"
#include "support/Surface.h"
#include "support/TextEntryAnswer.h"

namespace {
// `value` in 96-dpi pixels, on this screen.
int AtScreen(int value) {
    return Dpi::Scale(value, Dpi::OfSystem());
}

RECT RectIn(HWND parent, HWND child) {
    RECT r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

LPARAM At(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP info{};
    ::GetObjectW(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

LONG FontHeightOf(HWND window) {
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight;
}

void ExpectRect(const RECT& actual, const RECT& expected, const char* what) {
    EXPECT_EQ(actual.left, expected.left) << what;
    EXPECT_EQ(actual.top, expected.top) << what;
    EXPECT_EQ(actual.right, expected.right) << what;
    EXPECT_EQ(actual.bottom, expected.bottom) << what;
}
}  // namespace

// The 144-dpi run names its resolution, so that its checks cannot pass at 96 dpi unnoticed.
TEST(HighDpi, TheScreenHasTheResolutionTheRunIsFor) {
    const char* wanted = std::getenv("TALLYLEAF_EXPECT_DPI");
    if (!wanted)
        GTEST_SKIP() << "a run at the screen's own resolution";
    EXPECT_EQ(Dpi::OfSystem(), static_cast<UINT>(std::atoi(wanted)));
}

class HighDpiWindow : public MainWindowTest {
protected:
    void TearDown() override {
        MainWindowTest::TearDown();
        // The menu library's settings are the process's: the next test starts at the screen's resolution.
        MenuPlatform::ReadSettings(Dpi::OfSystem());
        CNewMenuIcons::ScaleAllFor(Dpi::OfSystem());
    }

    // The layout of tree, bar and editor for the bar at `pos` with margins `m`.
    void ExpectLayout(int pos, int m) {
        RECT client;
        ::GetClientRect(dlg->m_hWnd, &client);
        const int w = client.right, h = client.bottom;
        ExpectRect(RectIn(dlg->m_hWnd, dlg->Parts().tree), {m, m, pos, h - m}, "tree");
        ExpectRect(RectIn(dlg->m_hWnd, dlg->GetDlgItem(IDC_SPLITTER)), {pos, m, pos + m, h - m}, "bar");
        ExpectRect(RectIn(dlg->m_hWnd, dlg->Parts().editor), {pos + m, m, w - m, h - m}, "editor");
    }
};

TEST_F(HighDpiWindow, TheStoredPlaceAndSplitterAre96DpiPixelsShownAtTheScreensScale) {
    const std::pair<const wchar_t*, const wchar_t*> stored[] = {
        {L"WX", L"100"}, {L"WY", L"80"}, {L"WWidth", L"600"}, {L"WHeight", L"400"}, {L"SplitterPos", L"200"}};
    for (const auto& [key, value] : stored)
        Configure(L"Tallyleaf", key, value);
    Start();
    dlg->Parts().tray.CallUp();
    PumpPending();
    RECT window{};
    ::GetWindowRect(dlg->m_hWnd, &window);
    ExpectRect(window, {AtScreen(100), AtScreen(80), AtScreen(700), AtScreen(480)}, "window");
    ExpectLayout(AtScreen(200), AtScreen(5));
    EXPECT_EQ(FontHeightOf(dlg->Parts().editor), AtScreen(FontRecord::Default().lfHeight));

    // The bar's limits, 120 and 300 at 96 dpi; then back to where it was.
    HWND bar = dlg->GetDlgItem(IDC_SPLITTER);
    ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, At(1, 10));
    ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, At(2000, 10));
    EXPECT_EQ(RectIn(dlg->m_hWnd, bar).left, AtScreen(300));
    ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, At(-2000, 10));
    EXPECT_EQ(RectIn(dlg->m_hWnd, bar).left, AtScreen(120));
    ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, At(AtScreen(200) - AtScreen(120), 10));
    ::SendMessageW(bar, WM_LBUTTONUP, 0, At(0, 10));
    PumpPending();
    ExpectLayout(AtScreen(200), AtScreen(5));

    // Written back as they were read.
    Finish();
    for (const auto& [key, value] : stored)
        EXPECT_EQ(ConfigValue(L"Tallyleaf", key), value) << key;
}

TEST_F(HighDpiWindow, MenuItemsTheIconColumnAndTheIconsGrowWithTheScreen) {
    Start();
    dlg->Parts().tray.CallUp();
    PumpPending();
    HMENU file = BarPopup(0);
    // Load from File (image 8 of the strip): an icon height of 15 and 7 more, unless the menu bar is higher.
    ASSERT_EQ(::GetMenuItemID(file, 0), static_cast<UINT>(ID_FILE_LOAD));
    ASSERT_LT(Dpi::SystemMetric(SM_CYMENU, Dpi::OfSystem()), AtScreen(23));
    RECT item{};
    const PopupRun run = OpenPopupMenu(dlg->m_hWnd, file, [&](HWND, int) {
        ::GetMenuItemRect(dlg->m_hWnd, file, 0, &item);
        return true;
    });
    ASSERT_TRUE(run.shown);
    EXPECT_EQ(item.bottom - item.top, AtScreen(22));

    CNewMenu* menu = CNewMenu::FromHandle(file);
    ASSERT_NE(menu, nullptr);
    const CNewMenuItemData* data = menu->ItemData(0);
    ASSERT_NE(data, nullptr);
    ASSERT_NE(data->m_pIcons, nullptr);
    int cx = 0, cy = 0;
    ImageList_GetIconSize(data->m_pIcons->Images(), &cx, &cy);
    EXPECT_EQ(cx, AtScreen(16));
    EXPECT_EQ(cy, AtScreen(16));

    // Drawn: the icon column is 24 pixels wide at 96 dpi, and the icon fills as much more of it.
    const int width = 200, height = item.bottom - item.top;
    const COLORREF probe = RGB(255, 0, 255);
    Surface s(width, height, 32, probe);
    MenuColours colours = MenuColours::For(MenuEnvironment::Of(s.dc(), file), s.dc());
    MenuThemes::Current()->m_pDrawItem(s.dc(), {0, 0, width, height}, menu->LookOf(*data), 0, colours);
    const int column = AtScreen(24);
    EXPECT_EQ(s.Pixel(column - 1, 0), colours.iconColumn);
    EXPECT_EQ(s.Pixel(column, 0), colours.textArea);
    int left = width, right = -1;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < column; ++x) {
            if (s.Pixel(x, y) != colours.iconColumn) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    // The picture's own columns that are not transparent, from the strip.
    CBitmap strip;
    strip.Attach(static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_MENU_ICONS),
                                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    CMemoryDC stripDC(nullptr);
    CSelectObject selected(stripDC, strip);
    int ownLeft = 16, ownRight = -1;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            if (::GetPixel(stripDC, 8 * 16 + x, y) != RGB(192, 192, 192)) {
                ownLeft = std::min(ownLeft, x);
                ownRight = std::max(ownRight, x);
            }
        }
    }
    ASSERT_GE(right, left) << "the icon is drawn";
    EXPECT_NEAR(right - left + 1, AtScreen(ownRight - ownLeft + 1), 1);
}

TEST_F(HighDpiWindow, OnAScreenOfAnotherScaleTheWindowTakesTheSuggestedPlaceAndRescales) {
    Configure(L"Tallyleaf", L"SplitterPos", L"200");
    Start();
    dlg->Parts().tray.CallUp();
    PumpPending();
    HMENU bar = ::GetMenu(dlg->m_hWnd);
    RECT barItemBefore{};
    ::GetMenuItemRect(dlg->m_hWnd, bar, 0, &barItemBefore);
    const UINT to = Dpi::OfSystem() * 2;
    RECT suggested{48, 36, 48 + 960, 36 + 768};
    dlg->SendMessage(WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
    PumpPending();
    RECT window{};
    ::GetWindowRect(dlg->m_hWnd, &window);
    ExpectRect(window, suggested, "window");
    ExpectLayout(Dpi::Scale(200, to), Dpi::Scale(5, to));
    EXPECT_EQ(FontHeightOf(dlg->Parts().editor), Dpi::Scale(FontRecord::Default().lfHeight, to));
    EXPECT_EQ(FontHeightOf(dlg->Parts().tree), Dpi::Scale(FontRecord::Default().lfHeight, to));

    // The menus are measured for the new screen: the bar at once (its label in
    // the larger font; the system gives it its height), popups as they open.
    RECT barItem{};
    ::GetMenuItemRect(dlg->m_hWnd, bar, 0, &barItem);
    EXPECT_GT(barItem.right - barItem.left, barItemBefore.right - barItemBefore.left);
    ASSERT_LT(Dpi::SystemMetric(SM_CYMENU, to), Dpi::Scale(23, to));
    HMENU file = BarPopup(0);
    RECT item{};
    const PopupRun run = OpenPopupMenu(dlg->m_hWnd, file, [&](HWND, int) {
        ::GetMenuItemRect(dlg->m_hWnd, file, 0, &item);
        return true;
    });
    ASSERT_TRUE(run.shown);
    EXPECT_EQ(item.bottom - item.top, Dpi::Scale(22, to));

    // Stored in 96-dpi pixels still.
    Finish();
    EXPECT_EQ(ConfigValue(L"Tallyleaf", L"SplitterPos"), L"200");
    EXPECT_EQ(ConfigValue(L"Tallyleaf", L"WWidth"), std::to_wstring(Dpi::Unscale(960, to)));
    EXPECT_EQ(ConfigValue(L"Tallyleaf", L"WX"), std::to_wstring(Dpi::Unscale(48, to)));
}

TEST(HighDpi, TheAboutPictureIsShownAtTheScreensScale) {
    CAbout about;
    ASSERT_TRUE(about.Create());
    PumpPending();
    CBitmap own;
    own.Attach(static_cast<HBITMAP>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_ABOUT), IMAGE_BITMAP, 0, 0, 0)));
    const SIZE size = BitmapSize(own);
    const auto shown = reinterpret_cast<HBITMAP>(
        ::SendDlgItemMessageW(about.m_hWnd, IDC_ABOUT_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0));
    ASSERT_NE(shown, nullptr);
    const SIZE drawn = BitmapSize(shown);
    EXPECT_EQ(drawn.cx, AtScreen(size.cx));
    EXPECT_EQ(drawn.cy, AtScreen(size.cy));
}

TEST_F(HighDpiWindow, TheNameWindowIsSizedForTheScreen) {
    Start();
    dlg->Parts().tray.CallUp();
    PumpPending();
    RECT frame{}, ok{};
    modal.Names().Script({[&](HWND window) {
        ::GetWindowRect(window, &frame);
        ok = RectIn(window, ::GetDlgItem(window, IDOK));
        TextEntryAnswer::PressKey(window, VK_ESCAPE);
    }});
    Command(ID_NOTES_ADD);
    ASSERT_EQ(modal.Names().Windows().size(), 1u);
    EXPECT_EQ(frame.right - frame.left, AtScreen(348));
    ExpectRect(ok, {AtScreen(188), AtScreen(62), AtScreen(258), AtScreen(85)}, "OK");
}
