#include "shell/LaunchCounter.h"

#include <windows.h>

#include "framework/RegKey.h"

namespace {
// A key below HKEY_CURRENT_USER\Software, created when missing; Software itself
// must exist. Holds nothing when it can't be had.
CRegKey CreateUnderSoftware(const wchar_t* path) {
    CRegKey software;
    CRegKey key;
    if (software.Open(HKEY_CURRENT_USER, L"Software", KEY_READ | KEY_WRITE) == ERROR_SUCCESS)
        key.Create(software, path, KEY_READ | KEY_WRITE);
    return key;
}

DWORD ReadRuns(HKEY key) {
    DWORD value = 0, type = 0, size = sizeof value;
    if (::RegQueryValueExW(key, L"runs", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return 0;
    return value;
}
}  // namespace

void IncrementLaunchCounter() {
    CRegKey key = CreateUnderSoftware(L"Velmorand\\Tallyleaf");
    if (!key)
        return;
    DWORD runs = ReadRuns(key) + 1;
    ::RegSetValueExW(key, L"runs", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&runs), sizeof runs);
}
