// The menu hook with real popups: which popup windows it takes over, the
// theme it uses under Wine, the room it makes for the shade, and what stays
// behind when the main window goes while a popup is open.
#include <gtest/gtest.h>

#include "menus/MenuTheme.h"
#include "menus/NewMenu.h"
#include "menus/NewMenuHook.h"
#include "support/MainWindowFixture.h"
#include "support/MenuPopup.h"
#include "support/Pump.h"

namespace {
HANDLE OldMenuProc(HWND popup) {
    return ::GetPropW(popup, L"OldMenuProc");
}

// Restores the system's menu-shadow setting (changed for this session only).
class DropShadowSetting {
public:
    DropShadowSetting() { ::SystemParametersInfoW(SPI_GETDROPSHADOW, 0, &m_saved, 0); }
    ~DropShadowSetting() { Set(m_saved != FALSE); }
    bool Set(bool on) {
        return ::SystemParametersInfoW(SPI_SETDROPSHADOW, 0, reinterpret_cast<void*>(static_cast<INT_PTR>(on)), 0) &&
               MenuPlatform::SystemDrawsMenuShadows() == on;
    }

private:
    BOOL m_saved = FALSE;
};
}  // namespace

using MenuHook = CalledUpMainWindowTest;

TEST_F(MenuHook, APopupOfTheProgramsMenuIsTakenOverOnceAndAForeignOneIsLeftAlone) {
    HANDLE property = nullptr, propertyAfterAgain = nullptr;
    LONG_PTR procedure = 0;
    size_t taken = 0, takenAfterAgain = 0;
    bool hookedInLoop = false;
    // The thread's window hook is there only while a menu is open: every message sent costs more with it.
    EXPECT_FALSE(CNewMenuHook::IsHooked());
    PopupRun run = OpenPopupMenu(dlg->m_hWnd, BarPopup(0), [&](HWND popup, int) {
        hookedInLoop = CNewMenuHook::IsHooked();
        property = OldMenuProc(popup);
        procedure = ::GetWindowLongPtrW(popup, GWLP_WNDPROC);
        taken = CNewMenuHook::TakenOverCount();
        // The system's size message comes again: the window is not taken over a second time.
        ::SendMessageW(popup, 0x01E2, 0, 0);
        propertyAfterAgain = OldMenuProc(popup);
        takenAfterAgain = CNewMenuHook::TakenOverCount();
        return true;
    });
    ASSERT_TRUE(run.shown);
    EXPECT_FALSE(run.timedOut);
    ASSERT_NE(property, nullptr);
    EXPECT_NE(reinterpret_cast<LONG_PTR>(property), procedure) << "the window runs the hook's procedure";
    EXPECT_EQ(propertyAfterAgain, property);
    EXPECT_EQ(taken, 1u);
    EXPECT_EQ(takenAfterAgain, 1u);
    EXPECT_EQ(CNewMenuHook::TakenOverCount(), 0u) << "the closed popup was given back";
    EXPECT_EQ(::GlobalFindAtomW(L"OldMenuProc"), 0) << "the atom goes with the takeover";
    EXPECT_TRUE(hookedInLoop);
    EXPECT_FALSE(CNewMenuHook::IsHooked()) << "the hook goes with the menu loop";

    HMENU foreign = ::CreatePopupMenu();
    ::AppendMenuW(foreign, MF_STRING, 4242, L"Someone else's item");
    HANDLE foreignProperty = reinterpret_cast<HANDLE>(1);
    run = OpenPopupMenu(dlg->m_hWnd, foreign, [&](HWND popup, int) {
        foreignProperty = OldMenuProc(popup);
        return true;
    });
    ASSERT_TRUE(run.shown);
    EXPECT_EQ(foreignProperty, nullptr);
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE;
    ASSERT_TRUE(::GetMenuItemInfoW(foreign, 0, TRUE, &info));
    EXPECT_EQ(info.fType & MFT_OWNERDRAW, 0u) << "a foreign menu's items are not converted";
    ::DestroyMenu(foreign);
}

TEST_F(MenuHook, UnderWineTheSystemDrawsThePopupBorderOfEveryThemeAndUnknownIdsChangeNothing) {
    ASSERT_TRUE(MenuPlatform::IsWine());
    ASSERT_NE(MenuThemes::Current(), nullptr);
    // Wine's popups keep the border the system draws, whichever look is chosen.
    for (int id : {0, 2, 4, 6, 8, 10, 2}) {
        const int before = MenuThemes::Current()->Id();
        EXPECT_EQ(MenuThemes::SelectMenuTheme(id), before) << "theme " << id;
        EXPECT_FALSE(MenuThemes::Current()->DoDrawBorder()) << "theme " << id;
    }
    CMenuTheme* const chosen = MenuThemes::Current();
    EXPECT_EQ(MenuThemes::SelectMenuTheme(12), -1);
    EXPECT_EQ(MenuThemes::Current(), chosen);
}

TEST_F(MenuHook, TheShadeWidensThePopupOnlyWhileTheSystemDrawsNoShadows) {
    DropShadowSetting setting;
    // The frame the system gives the popup, and the frame it has: the difference is the program's shade.
    auto extraFrame = [&](SIZE& extra) {
        return OpenPopupMenu(dlg->m_hWnd, BarPopup(0), [&](HWND popup, int) {
            RECT window{}, client{}, system{0, 0, 0, 0};
            ::GetWindowRect(popup, &window);
            ::GetClientRect(popup, &client);
            ::AdjustWindowRectEx(&system, static_cast<DWORD>(::GetWindowLongPtrW(popup, GWL_STYLE)), FALSE,
                                 static_cast<DWORD>(::GetWindowLongPtrW(popup, GWL_EXSTYLE)));
            extra.cx = (window.right - window.left) - client.right - (system.right - system.left);
            extra.cy = (window.bottom - window.top) - client.bottom - (system.bottom - system.top);
            return true;
        });
    };
    ASSERT_TRUE(setting.Set(false));
    SIZE without{-1, -1};
    ASSERT_TRUE(extraFrame(without).shown);
    EXPECT_EQ(without.cx, 4);
    EXPECT_EQ(without.cy, 4);

    ASSERT_TRUE(setting.Set(true));
    SIZE with{-1, -1};
    ASSERT_TRUE(extraFrame(with).shown);
    EXPECT_EQ(with.cx, 0);
    EXPECT_EQ(with.cy, 0);
}

// The main window goes while one of its popups is open: the menu ends, every
// popup window is given back and no menu object of the window is left where
// the system's messages could reach it.
TEST_F(MenuHook, DestroyingTheMainWindowWithAPopupOpenLeavesNothingBehind) {
    HMENU file = BarPopup(0);
    ASSERT_NE(CNewMenu::FromHandle(file), nullptr);
    size_t takenBefore = 0, takenAfter = 99;
    CNewMenu* menuAfter = nullptr;
    HANDLE propertyAfter = reinterpret_cast<HANDLE>(1);
    PopupRun run = OpenPopupMenu(dlg->m_hWnd, file, [&](HWND popup, int) {
        takenBefore = CNewMenuHook::TakenOverCount();
        ::DestroyWindow(dlg->m_hWnd);
        takenAfter = CNewMenuHook::TakenOverCount();
        menuAfter = CNewMenu::FromHandle(file);
        propertyAfter = ::IsWindow(popup) ? OldMenuProc(popup) : nullptr;
        return false;  // the menu must end by itself
    });
    EXPECT_TRUE(run.shown);
    EXPECT_FALSE(run.timedOut) << "the menu stayed open after its window went";
    EXPECT_EQ(takenBefore, 1u);
    EXPECT_EQ(takenAfter, 0u);
    EXPECT_EQ(menuAfter, nullptr);
    EXPECT_EQ(propertyAfter, nullptr);
    PumpPending();
    EXPECT_EQ(FindPopupMenuWindow(), nullptr);
}
