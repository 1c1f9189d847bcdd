#include "framework/WinApp.h"

#include <commctrl.h>

#include "framework/OleInit.h"

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp() {
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this)
        g_app = nullptr;
}

CWinApp* CWinApp::Current() {
    return g_app;
}

int CWinApp::Run() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    // OLE drag and drop needs a single-threaded apartment on the UI thread.
    COleInit ole;
    if (g_app)
        g_app->InitInstance();
    return 0;
}
