// Test entry: the same platform set-up as the program (common controls, OLE).
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "app/TallyLeafApp.h"
#include "menus/NewMenuHook.h"
#include "framework/OleInit.h"

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    COleInit ole;
    // The menu library, as the program has it around its main window.
    CNewMenuHook menus;
    CTallyLeafApp::ConfigureMenus();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
