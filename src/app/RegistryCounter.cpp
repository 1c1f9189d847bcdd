#include "app/RegistryCounter.h"

namespace {
HKEY OpenCounterKey() {
    HKEY software = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ | KEY_WRITE, &software) != ERROR_SUCCESS)
        return nullptr;
    HKEY key = nullptr;
    LONG rc = ::RegCreateKeyExW(software, L"Velmorand\\Tallyleaf", 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
    ::RegCloseKey(software);
    return rc == ERROR_SUCCESS ? key : nullptr;
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
    HKEY key = OpenCounterKey();
    if (!key)
        return;
    DWORD runs = ReadRuns(key) + 1;
    ::RegSetValueExW(key, L"runs", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&runs), sizeof runs);
    ::RegCloseKey(key);
}

DWORD ReadLaunchCounter() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Velmorand\\Tallyleaf", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD runs = ReadRuns(key);
    ::RegCloseKey(key);
    return runs;
}
