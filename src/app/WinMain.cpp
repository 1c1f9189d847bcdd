// The program's entry point and its one application object.
#include <windows.h>

#include "app/TallyLeafApp.h"

CTallyLeafApp theApp;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    return CWinApp::Run();
}
