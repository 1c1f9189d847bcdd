// Device context guards: each gives back the DC it got, the way it got it.
// Move-only; a moved-from guard holds nothing. Printing and owner-drawn menus
// draw on these; drawing that can be tested draws on a CMemoryDC.
#pragma once

#include <windows.h>

#include <utility>

// The DC of a window's client area (GetDC), released with ReleaseDC; with a
// null window, the DC of the screen.
class CClientDC {
public:
    explicit CClientDC(HWND window) : m_hWnd(window), m_hDC(::GetDC(window)) {}
    CClientDC(const CClientDC&) = delete;
    CClientDC& operator=(const CClientDC&) = delete;
    CClientDC(CClientDC&& other) noexcept : m_hWnd(other.m_hWnd), m_hDC(std::exchange(other.m_hDC, nullptr)) {}
    CClientDC& operator=(CClientDC&& other) noexcept {
        if (this != &other) {
            Release();
            m_hWnd = other.m_hWnd;
            m_hDC = std::exchange(other.m_hDC, nullptr);
        }
        return *this;
    }
    ~CClientDC() { Release(); }

    operator HDC() const { return m_hDC; }

private:
    void Release() {
        if (m_hDC)
            ::ReleaseDC(m_hWnd, m_hDC);
        m_hDC = nullptr;
    }

    HWND m_hWnd;
    HDC m_hDC;
};

// A DC the program made or was handed (CreateDC, the Print dialog), deleted
// with DeleteDC. Whatever is selected into it must be deselected first
// (CSelectObject, Gdi.h).
class COwnedDC {
public:
    COwnedDC() = default;
    explicit COwnedDC(HDC dc) : m_hDC(dc) {}
    COwnedDC(const COwnedDC&) = delete;
    COwnedDC& operator=(const COwnedDC&) = delete;
    COwnedDC(COwnedDC&& other) noexcept : m_hDC(std::exchange(other.m_hDC, nullptr)) {}
    COwnedDC& operator=(COwnedDC&& other) noexcept {
        if (this != &other) {
            Delete();
            m_hDC = std::exchange(other.m_hDC, nullptr);
        }
        return *this;
    }
    ~COwnedDC() { Delete(); }

    operator HDC() const { return m_hDC; }

private:
    void Delete() {
        if (m_hDC)
            ::DeleteDC(m_hDC);
        m_hDC = nullptr;
    }

    HDC m_hDC = nullptr;
};

// A memory DC compatible with another (CreateCompatibleDC; null: with the screen).
class CMemoryDC : public COwnedDC {
public:
    explicit CMemoryDC(HDC compatible) : COwnedDC(::CreateCompatibleDC(compatible)) {}
};
