// Device context guards: each gives back the DC it got, the way it got it.
// Move-only; a moved-from guard holds nothing. Printing and owner-drawn menus
// draw on these; drawing that can be tested draws on a CMemoryDC. CDC borrows
// a DC someone else owns and adds the drawing steps the program repeats.
#pragma once

#include <windows.h>

#include "framework/UniqueHandle.h"

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

// How each kind of DC is given back: a window's with ReleaseDC (so the traits
// carry the window), one the program made with DeleteDC.
struct WindowDCTraits {
    using Handle = HDC;
    static constexpr Handle Invalid() { return nullptr; }
    void Close(HDC dc) const { ::ReleaseDC(window, dc); }
    HWND window = nullptr;
};

struct OwnedDCTraits {
    using Handle = HDC;
    static constexpr Handle Invalid() { return nullptr; }
    static void Close(HDC dc) { ::DeleteDC(dc); }
};

// The DC of a window's client area (GetDC), released with ReleaseDC; with a
// null window, the DC of the screen.
class CClientDC {
public:
    explicit CClientDC(HWND window) : m_dc(::GetDC(window), WindowDCTraits{window}) {}

    operator HDC() const { return m_dc.get(); }

private:
    UniqueHandle<WindowDCTraits> m_dc;
};

// A DC the program made or was handed (CreateDC, the Print dialog), deleted
// with DeleteDC. Whatever is selected into it must be deselected first
// (CSelectObject, Gdi.h).
class COwnedDC {
public:
    COwnedDC() = default;
    explicit COwnedDC(HDC dc) : m_dc(dc) {}

    operator HDC() const { return m_dc.get(); }

private:
    UniqueHandle<OwnedDCTraits> m_dc;
};

// A memory DC compatible with another (CreateCompatibleDC; null: with the
// screen), or none yet (default; moved into later).
class CMemoryDC : public COwnedDC {
public:
    CMemoryDC() = default;
    explicit CMemoryDC(HDC compatible) : COwnedDC(::CreateCompatibleDC(compatible)) {}
};
