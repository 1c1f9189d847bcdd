// CRegKey: one open registry key, closed with RegCloseKey when the object goes.
// Move-only; a moved-from or failed key holds nothing. Open and Create return
// the registry's result (ERROR_SUCCESS or the failure's code) and close the key
// held before.
#pragma once

#include <windows.h>

#include "framework/UniqueHandle.h"

struct RegKeyTraits {
    using Handle = HKEY;
    static constexpr Handle Invalid() { return nullptr; }
    static void Close(HKEY key) { ::RegCloseKey(key); }
};

class CRegKey {
public:
    operator HKEY() const { return m_key.get(); }

    // Opens an existing key.
    LONG Open(HKEY parent, const wchar_t* path, REGSAM access);
    // Opens a key, creating it (and the keys above it) where missing.
    LONG Create(HKEY parent, const wchar_t* path, REGSAM access);
    void Close() { m_key.reset(); }

private:
    UniqueHandle<RegKeyTraits> m_key;
};
