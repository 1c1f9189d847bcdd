#include "support/RegistrySandbox.h"

#include <shlwapi.h>

RegistrySandbox::RegistrySandbox(HKEY root) : m_root(root) {
    static unsigned counter = 0;
    m_keyPath = L"Software\\TallyleafTestSandbox\\" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter);
    ::RegCreateKeyExW(HKEY_CURRENT_USER, m_keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                      nullptr, &m_key, nullptr);
    // Software must exist below the sandbox, as it does in a real profile.
    HKEY software = nullptr;
    if (root == HKEY_CURRENT_USER)
        ::RegCreateKeyExW(m_key, L"Software", 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &software,
                          nullptr);
    if (software)
        ::RegCloseKey(software);
    ::RegOverridePredefKey(root, m_key);
}

RegistrySandbox::~RegistrySandbox() {
    ::RegOverridePredefKey(m_root, nullptr);
    if (m_key)
        ::RegCloseKey(m_key);
    ::SHDeleteKeyW(HKEY_CURRENT_USER, m_keyPath.c_str());
}
