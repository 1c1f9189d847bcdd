// CTallyLeafApp: refuses too old systems, defers to a running instance (or to
// one that is starting at the same moment), and otherwise runs the main window
// until it ends.
#pragma once

#include "framework/WinApp.h"

class CFirstInstance;

class CTallyLeafApp : public CWinApp {
public:
    bool InitInstance() override;
    // The program's choices for the menu library: theme 2, no derived icon looks.
    static void ConfigureMenus();

private:
    // True when this process is to be the first instance; false when it called
    // the running one up (or none showed a window in time) and is to end.
    static bool BecomeFirstInstance(CFirstInstance& first);
};
