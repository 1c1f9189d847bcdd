#include "app/TallyLeafApp.h"

bool CTallyLeafApp::InitInstance() {
    return false;
}
