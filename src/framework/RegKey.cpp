#include "framework/RegKey.h"

LONG CRegKey::Open(HKEY parent, const wchar_t* path, REGSAM access) {
    Close();
    HKEY key = nullptr;
    const LONG rc = ::RegOpenKeyExW(parent, path, 0, access, &key);
    // A failed call's output is not a key to close.
    m_key.reset(rc == ERROR_SUCCESS ? key : nullptr);
    return rc;
}

LONG CRegKey::Create(HKEY parent, const wchar_t* path, REGSAM access) {
    Close();
    HKEY key = nullptr;
    const LONG rc =
        ::RegCreateKeyExW(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr);
    m_key.reset(rc == ERROR_SUCCESS ? key : nullptr);
    return rc;
}
