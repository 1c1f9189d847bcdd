#include "shell/RunAtStartup.h"

#include <windows.h>

#include <string>

#include "framework/ModulePath.h"
#include "framework/RegKey.h"

namespace RunAtStartup {
namespace {
constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kRunKeyBelowSoftware = L"Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kValueName = L"Tallyleaf";
}  // namespace

bool IsSet() {
    CRegKey run;
    if (run.Open(HKEY_CURRENT_USER, kRunKey, KEY_READ) != ERROR_SUCCESS)
        return false;
    DWORD type = REG_NONE;
    // Only the kind of the value counts, so a long path is text as well.
    const LONG rc = ::RegQueryValueExW(run, kValueName, nullptr, &type, nullptr, nullptr);
    return rc == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ);
}

void Set() {
    CRegKey software;
    if (software.Open(HKEY_CURRENT_USER, L"Software", KEY_READ | KEY_WRITE) != ERROR_SUCCESS)
        return;
    CRegKey run;
    if (run.Create(software, kRunKeyBelowSoftware, KEY_READ | KEY_WRITE) != ERROR_SUCCESS)
        return;
    // Quoted: unquoted, a path with blanks ("C:\Program Files\...") is tried
    // piece by piece, and a program at "C:\Program.exe" would start instead.
    const std::wstring command = L"\"" + ModulePath() + L"\"";
    ::RegSetValueExW(run, kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                     static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
}

void Clear() {
    CRegKey run;
    if (run.Open(HKEY_CURRENT_USER, kRunKey, KEY_READ | KEY_WRITE) == ERROR_SUCCESS)
        ::RegDeleteValueW(run, kValueName);
}

}  // namespace RunAtStartup
