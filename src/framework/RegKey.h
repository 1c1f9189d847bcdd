// CRegKey: one open registry key, closed with RegCloseKey when the object goes.
// Move-only; a moved-from or failed key holds nothing. Open and Create return
// the registry's result (ERROR_SUCCESS or the failure's code) and close the key
// held before.
#pragma once

#include <windows.h>

#include <utility>

class CRegKey {
public:
    CRegKey() = default;
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;
    CRegKey(CRegKey&& other) noexcept : m_hKey(std::exchange(other.m_hKey, nullptr)) {}
    CRegKey& operator=(CRegKey&& other) noexcept {
        if (this != &other) {
            Close();
            m_hKey = std::exchange(other.m_hKey, nullptr);
        }
        return *this;
    }
    ~CRegKey() { Close(); }

    operator HKEY() const { return m_hKey; }

    // Opens an existing key.
    LONG Open(HKEY parent, const wchar_t* path, REGSAM access);
    // Opens a key, creating it (and the keys above it) where missing.
    LONG Create(HKEY parent, const wchar_t* path, REGSAM access);
    void Close();

private:
    HKEY m_hKey = nullptr;
};
