// The Help menu: the About box and the program's web pages.
#pragma once

#include "framework/Wnd.h"

class HelpCommands {
public:
    explicit HelpCommands(CWnd& window) : m_window(window) {}

    void About();
    // The page of command `id`, opened with the user's browser.
    void OpenWebPage(UINT id);

private:
    CWnd& m_window;
};
