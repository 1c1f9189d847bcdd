// Redirects HKEY_CURRENT_USER (or another predefined key, such as
// HKEY_CLASSES_ROOT) of this process to a fresh temporary key for the
// sandbox's life, so tests never touch the prefix's real settings.
#pragma once

#include <windows.h>

#include <string>

class RegistrySandbox {
public:
    explicit RegistrySandbox(HKEY root = HKEY_CURRENT_USER);
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

private:
    HKEY m_root;
    std::wstring m_keyPath;
    HKEY m_key = nullptr;
};
