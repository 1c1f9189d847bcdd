// Redirects HKEY_CURRENT_USER of this process to a fresh temporary key for the
// sandbox's life, so tests never touch the prefix's real user settings.
#pragma once

#include <windows.h>

#include <string>

class RegistrySandbox {
public:
    RegistrySandbox();
    ~RegistrySandbox();
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;

private:
    std::wstring m_keyPath;
    HKEY m_key = nullptr;
};
