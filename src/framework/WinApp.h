// CWinApp: the process-wide application object. The entry point (WinMain.cpp of
// the program) initialises the common controls and OLE, then calls InitInstance;
// the process ends when it returns.
#pragma once

#include <windows.h>

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The program's start routine; its result is not used to keep running.
    virtual bool InitInstance() = 0;

    static CWinApp* Current();
    // Runs the application: initialisation of the platform, then InitInstance.
    static int Run();

    CWnd* m_pMainWnd = nullptr;
};
