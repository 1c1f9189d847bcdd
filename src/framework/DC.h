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

// A memory DC compatible with another (CreateCompatibleDC; null: with the
// screen), deleted with DeleteDC. Whatever is selected into it must be
// deselected first (CSelectObject, Gdi.h).
class CMemoryDC {
public:
    explicit CMemoryDC(HDC compatible) : m_hDC(::CreateCompatibleDC(compatible)) {}
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;
    CMemoryDC(CMemoryDC&& other) noexcept : m_hDC(std::exchange(other.m_hDC, nullptr)) {}
    CMemoryDC& operator=(CMemoryDC&& other) noexcept {
        if (this != &other) {
            Delete();
            m_hDC = std::exchange(other.m_hDC, nullptr);
        }
        return *this;
    }
    ~CMemoryDC() { Delete(); }

    operator HDC() const { return m_hDC; }

private:
    void Delete() {
        if (m_hDC)
            ::DeleteDC(m_hDC);
        m_hDC = nullptr;
    }

    HDC m_hDC;
};
