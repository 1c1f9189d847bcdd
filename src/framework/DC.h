// Device context guards: each gives back the DC it got, the way it got it.
// Move-only; a moved-from guard holds nothing. Printing and owner-drawn menus
// draw on these; drawing that can be tested draws on a CMemoryDC. CDC borrows
// a DC someone else owns and adds the drawing steps the program repeats.
#pragma once

#include <windows.h>

#include <utility>

class CDC {
public:
    CDC() = default;
    explicit CDC(HDC dc) : m_hDC(dc) {}
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC() = default;

    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }

    void FillSolidRect(const RECT& rect, COLORREF colour) const {
        const COLORREF previous = ::SetBkColor(m_hDC, colour);
        ::ExtTextOutW(m_hDC, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
        ::SetBkColor(m_hDC, previous);
    }
    // A one-pixel frame inside `rect`.
    void FrameRect(const RECT& rect, COLORREF colour) const {
        FillSolidRect({rect.left, rect.top, rect.right, rect.top + 1}, colour);
        FillSolidRect({rect.left, rect.bottom - 1, rect.right, rect.bottom}, colour);
        FillSolidRect({rect.left, rect.top, rect.left + 1, rect.bottom}, colour);
        FillSolidRect({rect.right - 1, rect.top, rect.right, rect.bottom}, colour);
    }
    // Bits per pixel of what the DC draws into: a memory DC's selected bitmap
    // (GetDeviceCaps would answer for the screen), else the device's.
    int ColourDepth() const {
        if (::GetObjectType(m_hDC) == OBJ_MEMDC) {
            BITMAP bitmap{};
            if (::GetObjectW(::GetCurrentObject(m_hDC, OBJ_BITMAP), sizeof bitmap, &bitmap))
                return bitmap.bmBitsPixel * bitmap.bmPlanes;
        }
        return ::GetDeviceCaps(m_hDC, BITSPIXEL) * ::GetDeviceCaps(m_hDC, PLANES);
    }

protected:
    HDC m_hDC = nullptr;
};

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

// A memory DC compatible with another (CreateCompatibleDC; null: with the
// screen), or none yet (default; moved into later).
class CMemoryDC : public COwnedDC {
public:
    CMemoryDC() = default;
    explicit CMemoryDC(HDC compatible) : COwnedDC(::CreateCompatibleDC(compatible)) {}
};
