// The XP look of menu items, popup frames and shades, drawn on memory surfaces
// and checked pixel by pixel against the colours and layout the look promises.
#include <gtest/gtest.h>

#include "app/TestSeams.h"
#include "menus/MenuDrawXP.h"
#include "menus/MenuShade.h"
#include "menus/MenuTheme.h"
#include "menus/NewMenuIcons.h"
#include "support/Surface.h"

namespace {
constexpr COLORREF kGrey = RGB(192, 192, 192);
constexpr COLORREF kRed = RGB(200, 0, 0);
constexpr int kWidth = 200;
constexpr int kHeight = 22;

// The test's own blend: `share` percent of a, the rest of b, per channel.
COLORREF Blend(COLORREF a, COLORREF b, int share) {
    auto c = [share](int x, int y) { return (x * share + y * (100 - share) + 50) / 100; };
    return RGB(c(GetRValue(a), GetRValue(b)), c(GetGValue(a), GetGValue(b)), c(GetBValue(a), GetBValue(b)));
}

// A store with one icon: a red square with a 2-pixel transparent border.
class RedSquareIcon {
public:
    RedSquareIcon() {
        Surface picture(16, 16, 32, kGrey);
        CDC(picture.dc()).FillSolidRect({2, 2, 14, 14}, kRed);
        CBitmap copy;
        DWORD* bits = nullptr;
        copy.CreateDIB32(16, 16, &bits);
        CMemoryDC dc(picture.dc());
        CSelectObject selected(dc, copy);
        ::BitBlt(dc, 0, 0, 16, 16, picture.dc(), 0, 0, SRCCOPY);
        store.Add(copy, 4711, kGrey);
    }
    MenuItemLook Look(const wchar_t* text) const {
        MenuItemLook look;
        look.text = text;
        look.icons = store.Images();
        look.iconIndex = store.FindIndex(4711);
        return look;
    }
    CNewMenuBitmaps store;
};

// Full colour, no visual styles, no high contrast: the blends as the look defines them.
MenuColours FullColour() {
    MenuEnvironment env;
    return MenuColours::For(env);
}

RECT ItemRect() {
    return {0, 0, kWidth, kHeight};
}
}  // namespace

TEST(MenuDrawing, APopupItemShowsItsColumnIconLabelAndRightAlignedShortcut) {
    const MenuColours colours = FullColour();
    const COLORREF window = ::GetSysColor(COLOR_WINDOW);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    ASSERT_EQ(colours.iconColumn, Blend(face, window, 86));
    ASSERT_EQ(colours.textArea, Blend(window, face, 86));
    RedSquareIcon icon;
    Surface s(kWidth, kHeight);
    DrawItemXP(s.dc(), ItemRect(), icon.Look(L"&Open\tCtrl+O"), 0, colours);

    // The column: icon width 16 + 8 pixels, in the column colour, the text area after it.
    EXPECT_EQ(s.Pixel(1, 1), colours.iconColumn);
    EXPECT_EQ(s.Pixel(23, 1), colours.iconColumn);
    EXPECT_EQ(s.Pixel(24, 1), colours.textArea);
    // The icon, centred in the column (x 4..19, y 3..18), unchanged.
    EXPECT_EQ(s.Count({4, 3, 20, 19}, kRed), 12 * 12);
    // Label after the column, shortcut ending 15 pixels before the right edge.
    const COLORREF ink = ::GetSysColor(COLOR_MENUTEXT);
    EXPECT_GT(s.Count({28, 0, 80, kHeight}, ink), 10);
    const int shortcutEnd = s.RightmostOf({100, 0, kWidth, kHeight}, ink);
    EXPECT_LE(shortcutEnd, kWidth - 15);
    EXPECT_GE(shortcutEnd, kWidth - 15 - 5);
}

TEST(MenuDrawing, SelectedDisabledDefaultAndSeparatorItems) {
    const MenuColours colours = FullColour();
    RedSquareIcon icon;
    const COLORREF highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    {
        SCOPED_TRACE("selected: framed fill, icon up and left over its shadow");
        Surface s(kWidth, kHeight);
        DrawItemXP(s.dc(), ItemRect(), icon.Look(L"&Open"), ODS_SELECTED, colours);
        EXPECT_EQ(s.Pixel(0, 0), highlight);
        EXPECT_EQ(s.Pixel(kWidth - 1, kHeight - 1), highlight);
        const bool light = GetRValue(highlight) + GetGValue(highlight) + GetBValue(highlight) > 384;
        const COLORREF fill = Blend(::GetSysColor(COLOR_WINDOW), highlight, light ? 86 : 70);
        EXPECT_EQ(s.Pixel(100, 1), fill);
        EXPECT_EQ(s.Pixel(1, 1), fill) << "the column takes the selection too";
        EXPECT_EQ(s.Count({3, 2, 19, 18}, kRed), 12 * 12) << "the icon moves one pixel up and left";
        const COLORREF shadow =
            RGB(GetRValue(fill) * 70 / 100, GetGValue(fill) * 70 / 100, std::min(255, GetBValue(fill) + 55) * 70 / 100);
        EXPECT_EQ(s.Pixel(17, 16), shadow) << "the shadow shows one pixel right and down";
        EXPECT_EQ(s.Pixel(5, 4), kRed);
    }
    {
        SCOPED_TRACE("disabled: grey text, the icon a silhouette in the column's shade");
        Surface s(kWidth, kHeight);
        DrawItemXP(s.dc(), ItemRect(), icon.Look(L"&Open"), ODS_GRAYED, colours);
        EXPECT_GT(s.Count({28, 0, 80, kHeight}, ::GetSysColor(COLOR_GRAYTEXT)), 10);
        EXPECT_EQ(s.Count({28, 0, 80, kHeight}, ::GetSysColor(COLOR_MENUTEXT)), 0);
        EXPECT_EQ(s.Count({4, 3, 20, 19}, kRed), 0);
        EXPECT_EQ(s.Pixel(10, 10), DarkenColour(colours.iconColumn, 70));
    }
    {
        SCOPED_TRACE("default: the label in bold is wider");
        Surface plain(kWidth, kHeight), bold(kWidth, kHeight);
        MenuItemLook look = icon.Look(L"Always on top");
        const SIZE plainSize = MeasureItemXP(plain.dc(), look);
        DrawItemXP(plain.dc(), ItemRect(), look, 0, colours);
        look.isDefault = true;
        const SIZE boldSize = MeasureItemXP(bold.dc(), look);
        DrawItemXP(bold.dc(), ItemRect(), look, 0, colours);
        EXPECT_GT(boldSize.cx, plainSize.cx);
        const COLORREF ink = ::GetSysColor(COLOR_MENUTEXT);
        EXPECT_GT(bold.RightmostOf(ItemRect(), ink), plain.RightmostOf(ItemRect(), ink));
        EXPECT_GT(bold.Count(ItemRect(), ink), plain.Count(ItemRect(), ink));
    }
    {
        SCOPED_TRACE("separator: a grey line at mid-height from the text start");
        Surface s(kWidth, 3);
        MenuItemLook look;
        look.separator = true;
        EXPECT_EQ(MeasureItemXP(s.dc(), look).cy, 3);
        DrawItemXP(s.dc(), {0, 0, kWidth, 3}, look, 0, colours);
        const COLORREF grey = ::GetSysColor(COLOR_GRAYTEXT);
        EXPECT_EQ(s.Count({28, 1, kWidth, 2}, grey), kWidth - 28);
        EXPECT_EQ(s.Pixel(27, 1), colours.textArea);
        EXPECT_EQ(s.Pixel(10, 1), colours.iconColumn);
        EXPECT_EQ(s.Pixel(100, 0), colours.textArea);
    }
}

TEST(MenuDrawing, TheMenuFontIsAskedForWithTheRecordWindowsXPTakes) {
    // Windows 2000 and XP refuse NONCLIENTMETRICSW at its Vista size (504
    // bytes) and leave the menu font empty; later systems take their size
    // (500) too. Wine takes both, so here the size is checked, and the font read.
    EXPECT_EQ(MenuPlatform::kNonClientMetricsSize, 500u);
    MenuPlatform::ReadSettings();
    EXPECT_NE(MenuPlatform::CurrentSettings().menuFont.lfFaceName[0], L'\0');
}

TEST(MenuDrawing, AnItemIsMeasuredWithRoomForIconGapAndShortcut) {
    Surface s(kWidth, kHeight);
    MenuItemLook look;
    look.text = L"&Options\tF4";
    const SIZE size = MeasureItemXP(s.dc(), look);
    const int cyMenu = ::GetSystemMetrics(SM_CYMENU);
    EXPECT_EQ(size.cy, cyMenu > 15 + 8 ? cyMenu : 15 + 7);
    // Label, the "nnn" gap and the shortcut, the icon's 16 and 6 more, and the allowance.
    CSelectObject font(s.dc(), MenuFont(false));
    SIZE text{};
    ::GetTextExtentPoint32W(s.dc(), L"OptionsnnnF4", 12, &text);
    const int allowance = (cyMenu & 16) ? cyMenu : cyMenu / 2;
    EXPECT_EQ(size.cx, text.cx + 16 + 6 + allowance);
}

TEST(MenuDrawing, AtTwoHundredFiftySixColoursTheLookIsFlat) {
    Surface s(kWidth, kHeight, 8);
    const MenuColours colours = MenuColours::For(MenuEnvironment::Of(s.dc(), nullptr), s.dc());
    ASSERT_TRUE(colours.lowColour);
    DrawItemXP(s.dc(), ItemRect(), MenuItemLook{L"&Open"}, 0, colours);
    EXPECT_EQ(s.Pixel(1, 1), ::GetSysColor(COLOR_BTNFACE));
    Surface selected(kWidth, kHeight, 8);
    DrawItemXP(selected.dc(), ItemRect(), MenuItemLook{L"&Open"}, ODS_SELECTED, colours);
    EXPECT_EQ(selected.Pixel(100, 1), ::GetSysColor(COLOR_WINDOW));

    // The shade is a flat two-pixel line in the button-shadow colour, from 4 pixels in.
    Surface frame(100, 60, 8, RGB(255, 255, 255));
    CScreenCapture capture;
    ASSERT_TRUE(capture.TakeFrom(frame.dc(), {0, 0, 100, 60}));
    PaintMenuShadow(frame.dc(), {0, 0, 100, 60}, {4, 4}, capture, colours);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    EXPECT_EQ(frame.Pixel(97, 30), shadow);
    EXPECT_EQ(frame.Pixel(96, 30), shadow);
    EXPECT_EQ(frame.Pixel(99, 30), RGB(255, 255, 255));
    EXPECT_EQ(frame.Pixel(97, 2), RGB(255, 255, 255));
    EXPECT_EQ(frame.Pixel(50, 56), shadow);
}

TEST(MenuDrawing, ThePopupFrameHasTwoLinesAndAShadeThatDarkensTheScreenInFourSteps) {
    const MenuColours colours = FullColour();
    Surface s(100, 60, 32, RGB(255, 255, 255));
    CScreenCapture capture;
    ASSERT_TRUE(capture.TakeFrom(s.dc(), {0, 0, 100, 60}));
    DrawMenuBorderXP(s.dc(), {0, 0, 96, 56}, colours);
    PaintMenuShadow(s.dc(), {0, 0, 100, 60}, {4, 4}, capture, colours);

    EXPECT_EQ(s.Pixel(0, 30), DarkenColour(colours.menu, 128));
    EXPECT_EQ(s.Pixel(95, 30), DarkenColour(colours.menu, 128));
    EXPECT_EQ(s.Pixel(50, 1), Blend(colours.window, colours.menu, 86));
    EXPECT_EQ(s.Pixel(1, 1), Blend(colours.window, colours.menu, 86));
    EXPECT_EQ(s.Pixel(1, 30), Blend(colours.menu, colours.window, 86)) << "the inner left line continues the column";
    // Mid-way down the right shade: 135, 165, 195, 225 parts of white from the menu outwards.
    EXPECT_EQ(s.Pixel(96, 30), RGB(135, 135, 135));
    EXPECT_EQ(s.Pixel(97, 30), RGB(165, 165, 165));
    EXPECT_EQ(s.Pixel(98, 30), RGB(195, 195, 195));
    EXPECT_EQ(s.Pixel(99, 30), RGB(225, 225, 225));
    EXPECT_EQ(s.Pixel(50, 56), RGB(135, 135, 135));
    EXPECT_EQ(s.Pixel(50, 59), RGB(225, 225, 225));
    // The first 4 pixels of each strip are left as the screen was, then the shade ramps in.
    EXPECT_EQ(s.Pixel(96, 2), RGB(255, 255, 255));
    EXPECT_EQ(s.Pixel(2, 56), RGB(255, 255, 255));
    EXPECT_GT(GetRValue(s.Pixel(96, 4)), 135);
    EXPECT_LT(GetRValue(s.Pixel(96, 4)), 255);
}

// When no off-screen surface can be made (the system is out of GDI
// resources), the item is drawn straight onto the menu, never left blank.
TEST(MenuDrawing, AnItemIsStillDrawnWhenNoOffScreenSurfaceCanBeMade) {
    const MenuColours colours = FullColour();
    RedSquareIcon icon;
    TestSeams::SetMenuSurfacesFail(true);
    Surface s(kWidth, kHeight);
    DrawItemXP(s.dc(), ItemRect(), icon.Look(L"&Open\tCtrl+O"), ODS_SELECTED, colours);
    TestSeams::SetMenuSurfacesFail(false);
    EXPECT_EQ(s.Pixel(0, 0), ::GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_GT(s.Count({28, 0, 80, kHeight}, ::GetSysColor(COLOR_MENUTEXT)), 10);
    EXPECT_GT(s.Count({0, 0, 24, kHeight}, kRed), 100);
}
