#include "support/RegistrySandbox.h"

#include <shlwapi.h>

RegistrySandbox::RegistrySandbox() {
    static unsigned counter = 0;
    m_keyPath = L"Software\\TallyleafTestSandbox\\" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter);
    ::RegCreateKeyExW(HKEY_CURRENT_USER, m_keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, &m_key, nullptr);
    // Software must exist below the sandbox, as it does in a real profile.
    HKEY software = nullptr;
    ::RegCreateKeyExW(m_key, L"Software", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &software,
                      nullptr);
    if (software)
        ::RegCloseKey(software);
    ::RegOverridePredefKey(HKEY_CURRENT_USER, m_key);
}

RegistrySandbox::~RegistrySandbox() {
    ::RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    if (m_key)
        ::RegCloseKey(m_key);
    ::SHDeleteKeyW(HKEY_CURRENT_USER, m_keyPath.c_str());
}
