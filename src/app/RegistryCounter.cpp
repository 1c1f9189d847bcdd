#include "app/RegistryCounter.h"

#include "app/AppFolders.h"
#include "framework/ModulePath.h"

namespace {
constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kRunValue = L"Tallyleaf";
constexpr DWORD kRunValueMaxBytes = 1000;
constexpr size_t kRunPathMaxChars = 1000;

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

bool RunOnStartupIsSet() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    BYTE buffer[kRunValueMaxBytes];
    DWORD type = 0, size = sizeof buffer;
    const LONG rc = ::RegQueryValueExW(key, kRunValue, nullptr, &type, buffer, &size);
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ);
}

bool SetRunOnStartup() {
    HKEY software = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ | KEY_WRITE, &software) != ERROR_SUCCESS)
        return false;
    HKEY run = nullptr;
    LONG rc = ::RegCreateKeyExW(software, L"Microsoft\\Windows\\CurrentVersion\\Run", 0, nullptr,
                                REG_OPTION_NON_VOLATILE, KEY_READ | KEY_WRITE, nullptr, &run, nullptr);
    ::RegCloseKey(software);
    if (rc != ERROR_SUCCESS)
        return false;
    const std::wstring path = ModulePath().substr(0, kRunPathMaxChars);
    rc = ::RegSetValueExW(run, kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                          static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(run);
    return rc == ERROR_SUCCESS;
}

bool ClearRunOnStartup() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS)
        return false;
    const LONG rc = ::RegDeleteValueW(key, kRunValue);
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}
