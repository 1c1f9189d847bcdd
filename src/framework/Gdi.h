// RAII wrappers for GDI objects: each deletes what it created, never what it
// borrowed. Move-only. Attach takes ownership of a handle and deletes the one
// held before, unless it is the same handle. Device contexts have their own
// guards (DC.h).
#pragma once

#include <windows.h>

#include "framework/UniqueHandle.h"

template <class GdiHandle>
struct GdiObjectTraits {
    using Handle = GdiHandle;
    static constexpr Handle Invalid() { return nullptr; }
    static void Close(Handle handle) { ::DeleteObject(handle); }
};

template <class Handle>
class CGdiObject {
public:
    CGdiObject() = default;
    explicit CGdiObject(Handle handle) : m_object(handle) {}

    operator Handle() const { return m_object.get(); }
    Handle GetSafeHandle() const { return m_object.get(); }
    void Attach(Handle handle) { m_object.reset(handle); }
    void DeleteObject() { m_object.reset(); }

protected:
    // Takes `handle` on (see Attach); true when it is a handle.
    bool Hold(Handle handle) {
        Attach(handle);
        return handle != nullptr;
    }

private:
    UniqueHandle<GdiObjectTraits<Handle>> m_object;
};

class CFont : public CGdiObject<HFONT> {
public:
    bool CreateFontIndirect(const LOGFONTW& lf) { return Hold(::CreateFontIndirectW(&lf)); }
};

class CBrush : public CGdiObject<HBRUSH> {
public:
    bool CreateSolidBrush(COLORREF color) { return Hold(::CreateSolidBrush(color)); }
};

class CPen : public CGdiObject<HPEN> {
public:
    bool CreatePen(int style, int width, COLORREF color) { return Hold(::CreatePen(style, width, color)); }
};

// The header of a 32-bit top-down DIB of `width` x `height` pixels (0x00RRGGBB each).
inline BITMAPINFO TopDown32Info(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    return info;
}

class CBitmap : public CGdiObject<HBITMAP> {
public:
    // A bitmap of the format of the bitmap `dc` holds (of the screen for a window's DC).
    bool CreateCompatibleBitmap(HDC dc, int width, int height) {
        return Hold(::CreateCompatibleBitmap(dc, width, height));
    }
    // A 32-bit top-down DIB section; `bits` receives its pixels (0x00RRGGBB each).
    bool CreateDIB32(int width, int height, DWORD** bits) {
        BITMAPINFO info = TopDown32Info(width, height);
        void* pixels = nullptr;
        const bool made = Hold(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
        if (bits)
            *bits = made ? static_cast<DWORD*>(pixels) : nullptr;
        return made;
    }
};

// Selects an object into a device context for a scope and restores the previous one.
class CSelectObject {
public:
    CSelectObject(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(::SelectObject(dc, object)) {}
    CSelectObject(const CSelectObject&) = delete;
    CSelectObject& operator=(const CSelectObject&) = delete;
    ~CSelectObject() { ::SelectObject(m_dc, m_previous); }

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};
