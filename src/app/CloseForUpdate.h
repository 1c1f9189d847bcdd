// How an installer or uninstaller asks the running program to end: it finds the
// main window by its title and sends it this registered message. The program
// then saves everything as it does at a log-off and ends without asking, so
// that its files can be replaced or removed; under a box or dialog of its own
// it refuses (answers 0) and runs on.
#pragma once

constexpr const wchar_t* kCloseForUpdateMessage = L"Tallyleaf.CloseForUpdate";
