// CTallyLeafApp: refuses too old systems, defers to a running instance, and
// otherwise runs the main window until it ends.
#pragma once

#include "framework/WinApp.h"

class CTallyLeafApp : public CWinApp {
public:
    bool InitInstance() override;
    // The program's choices for the menu library: theme 2, no derived icon looks.
    static void ConfigureMenus();
};
