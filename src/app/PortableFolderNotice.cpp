#include "app/PortableFolderNotice.h"

#include "framework/AppMessageBox.h"
#include "settings/AppFolders.h"

void WarnIfPortableFolderIsReadOnly(HWND owner) {
    if (AppFolders::Writable())
        return;
    AppMessageBox(L"Tallyleaf can't write to its folder:\n" + AppFolders::DataFolder() +
                      L"\n\nThis portable copy keeps its notes and settings there. Your notes are shown as they "
                      L"were saved, but changes can't be saved until the folder can be written again (is the "
                      L"drive write-protected?).",
                  nullptr, MB_OK | MB_ICONWARNING, owner);
}
