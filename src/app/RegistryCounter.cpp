#include "app/RegistryCounter.h"

#include "app/AppFolders.h"
#include "framework/ModulePath.h"
#include "framework/RegKey.h"

namespace {
constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kRunValue = L"Tallyleaf";
constexpr DWORD kRunValueMaxBytes = 1000;
constexpr size_t kRunPathMaxChars = 1000;

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

bool RunOnStartupIsSet() {
    CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, kRunKey, KEY_READ) != ERROR_SUCCESS)
        return false;
    BYTE buffer[kRunValueMaxBytes];
    DWORD type = 0, size = sizeof buffer;
    const LONG rc = ::RegQueryValueExW(key, kRunValue, nullptr, &type, buffer, &size);
    return rc == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ);
}

bool SetRunOnStartup() {
    CRegKey run = CreateUnderSoftware(L"Microsoft\\Windows\\CurrentVersion\\Run");
    if (!run)
        return false;
    const std::wstring path = ModulePath().substr(0, kRunPathMaxChars);
    const LONG rc = ::RegSetValueExW(run, kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                                     static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
    return rc == ERROR_SUCCESS;
}

bool ClearRunOnStartup() {
    CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, kRunKey, KEY_READ | KEY_WRITE) != ERROR_SUCCESS)
        return false;
    return ::RegDeleteValueW(key, kRunValue) == ERROR_SUCCESS;
}
