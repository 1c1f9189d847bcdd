// The items of the main window's menus: mnemonic keys, snippets added at run
// time, and the icons of the ten commands that have one.
#include <gtest/gtest.h>

#include <vector>

#include "menus/MenuDrawXP.h"
#include "menus/NewMenu.h"
#include "menus/NewMenuIcons.h"
#include "res/resource.h"
#include "support/MainWindowFixture.h"
#include "support/MenuPopup.h"
#include "support/Pump.h"
#include "support/Surface.h"

namespace {
MENUITEMINFOW ItemInfo(HMENU menu, int position) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA;
    ::GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
    return info;
}
}  // namespace

class MenuItems : public CalledUpMainWindowTest {
protected:
    LRESULT MenuChar(wchar_t key, HMENU menu) {
        return dlg->SendMessage(WM_MENUCHAR, MAKEWPARAM(key, MF_POPUP), reinterpret_cast<LPARAM>(menu));
    }
};

TEST_F(MenuItems, TypingAMnemonicInAnOpenPopupExecutesTheFirstItemThatHasItInEitherCase) {
    HMENU file = BarPopup(0);
    PopupRun run = OpenPopupMenu(dlg->m_hWnd, file, [](HWND popup, int tick) {
        if (tick == 0)
            ::PostMessageW(popup, WM_CHAR, L'o', 0);
        return tick > 100;
    });
    ASSERT_TRUE(run.shown);
    EXPECT_FALSE(run.timedOut);
    EXPECT_EQ(run.command, static_cast<UINT>(ID_FILE_OPTIONS));

    // The window's own answer, which the system asks for owner-drawn items.
    CNewMenu::FromHandle(BarPopup(1))->ConvertItems();  // Edit, as when it opens
    EXPECT_EQ(MenuChar(L'O', file), MAKELRESULT(7, MNC_EXECUTE));
    EXPECT_EQ(MenuChar(L'o', file), MAKELRESULT(7, MNC_EXECUTE));
    EXPECT_EQ(MenuChar(L'h', BarPopup(1)), MAKELRESULT(0, MNC_IGNORE)) << "no item of Edit has &H";
    EXPECT_EQ(MenuChar(L't', BarPopup(1)), MAKELRESULT(2, MNC_EXECUTE)) << "Cu&t, not the T of another word";

    // A key no item has leaves the popup open and runs nothing.
    run = OpenPopupMenu(dlg->m_hWnd, file, [](HWND popup, int tick) {
        if (tick == 0)
            ::PostMessageW(popup, WM_CHAR, L'q', 0);
        return tick == 10;
    });
    ASSERT_TRUE(run.shown);
    EXPECT_FALSE(run.timedOut) << "the popup closed before the test ended it";
    EXPECT_EQ(run.command, 0u);
}

// The Insert menu is filled at run time: what is added there is drawn like the rest.
TEST_F(MenuItems, AnItemAddedAtRunTimeIsOwnerDrawnAndMeasuredWhenThePopupOpens) {
    HMENU insert = BarPopup(4);
    const int position = ::GetMenuItemCount(insert);
    ASSERT_TRUE(::AppendMenuW(insert, MF_STRING, ID_INSERT_FIRST + 1, L"Snippet &two\tAlt+2"));
    ASSERT_EQ(ItemInfo(insert, position).fType & MFT_OWNERDRAW, 0u);

    RECT item{};
    MENUITEMINFOW info{};
    PopupRun run = OpenPopupMenu(dlg->m_hWnd, insert, [&](HWND, int) {
        info = ItemInfo(insert, position);
        ::GetMenuItemRect(dlg->m_hWnd, insert, static_cast<UINT>(position), &item);
        return true;
    });
    ASSERT_TRUE(run.shown);
    EXPECT_NE(info.fType & MFT_OWNERDRAW, 0u);
    CNewMenu* menu = CNewMenu::FromHandle(insert);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(info.dwItemData, reinterpret_cast<ULONG_PTR>(menu->ItemData(position)));
    EXPECT_EQ(menu->ItemData(position)->m_szMenuText, L"Snippet &two\tAlt+2");
    // Measured by the look: icon height 15 plus 7 (the menu bar is lower than 23 here).
    ASSERT_LT(::GetSystemMetrics(SM_CYMENU), 23);
    EXPECT_EQ(item.bottom - item.top, 22);
    Surface s(10, 10);
    CSelectObject font(s.dc(), MenuFont(false));
    SIZE text{};
    ::GetTextExtentPoint32W(s.dc(), L"Snippet twonnnAlt+2", 19, &text);
    EXPECT_GE(item.right - item.left, text.cx + 16 + 6);
}

TEST_F(MenuItems, TheIconStripGivesTheTenCommandsTheirImagesInOrder) {
    const UINT commands[] = {ID_FILE_OPTIONS, ID_FORMAT_BACK_COLOR, ID_HELP_HOME_PAGE, ID_HELP_FORUM, ID_HELP_FEEDBACK,
                             ID_HELP_ABOUT,   ID_FILE_HIDE,         ID_FILE_EXIT,      ID_FILE_LOAD,  ID_FILE_SAVE};
    // The items of every popup of the menu bar, converted as they are when they open.
    std::vector<std::pair<UINT, const CNewMenuItemData*>> items;
    for (int p = 0; p < ::GetMenuItemCount(::GetMenu(dlg->m_hWnd)); ++p) {
        CNewMenu* menu = CNewMenu::FromHandle(BarPopup(p));
        ASSERT_NE(menu, nullptr);
        menu->ConvertItems();
        for (int i = 0; i < menu->GetMenuItemCount(); ++i)
            items.emplace_back(menu->GetMenuItemID(i), menu->ItemData(i));
    }
    // The strip as the program carries it, to compare each image with.
    CBitmap strip;
    strip.Attach(static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_MENU_ICONS),
                                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    ASSERT_NE(strip.GetSafeHandle(), nullptr);
    BITMAP size{};
    ::GetObjectW(strip, sizeof size, &size);
    EXPECT_EQ(size.bmWidth, 160);
    EXPECT_EQ(size.bmHeight, 16);
    EXPECT_EQ(size.bmBitsPixel, 24);
    CMemoryDC stripDC(nullptr);
    CSelectObject selected(stripDC, strip);

    int withIcons = 0;
    for (const auto& [id, data] : items) {
        ASSERT_NE(data, nullptr);
        const auto* wanted = std::find(std::begin(commands), std::end(commands), id);
        if (wanted == std::end(commands)) {
            EXPECT_EQ(data->m_nIconIndex, -1) << "command " << id << " has no icon";
            continue;
        }
        ++withIcons;
        const int index = static_cast<int>(wanted - std::begin(commands));
        EXPECT_EQ(data->m_nIconIndex, index) << "command " << id;
        ASSERT_NE(data->m_pIcons, nullptr);
        Surface s(16, 16, 32, RGB(255, 0, 255));
        ImageList_Draw(data->m_pIcons->Images(), data->m_nIconIndex, s.dc(), 0, 0, ILD_TRANSPARENT);
        int same = 0, opaque = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const COLORREF source = ::GetPixel(stripDC, index * 16 + x, y);
                if (source == RGB(192, 192, 192)) {
                    EXPECT_EQ(s.Pixel(x, y), RGB(255, 0, 255)) << "the light grey is transparent";
                    continue;
                }
                ++opaque;
                same += s.Pixel(x, y) == source;
            }
        }
        EXPECT_GT(opaque, 30) << "image " << index << " is drawn";
        EXPECT_EQ(same, opaque) << "image " << index;
    }
    EXPECT_EQ(withIcons, 10);
}
