// RAII wrappers for GDI objects: each deletes what it created, never what it
// borrowed. Move-only. Attach takes ownership of a handle and deletes the one
// held before, unless it is the same handle. Device contexts have their own
// guards (DC.h).
#pragma once

#include <windows.h>

#include <utility>

template <class Handle>
class CGdiObject {
public:
    CGdiObject() = default;
    explicit CGdiObject(Handle handle) : m_handle(handle) {}
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    CGdiObject(CGdiObject&& other) noexcept : m_handle(std::exchange(other.m_handle, nullptr)) {}
    CGdiObject& operator=(CGdiObject&& other) noexcept {
        if (this != &other)
            Attach(std::exchange(other.m_handle, nullptr));
        return *this;
    }
    ~CGdiObject() { DeleteObject(); }

    operator Handle() const { return m_handle; }
    Handle GetSafeHandle() const { return m_handle; }
    void Attach(Handle handle) {
        if (handle != m_handle)
            DeleteObject();
        m_handle = handle;
    }
    void DeleteObject() {
        if (m_handle)
            ::DeleteObject(m_handle);
        m_handle = nullptr;
    }

protected:
    Handle m_handle = nullptr;
};

class CFont : public CGdiObject<HFONT> {
public:
    bool CreateFontIndirect(const LOGFONTW& lf) {
        Attach(::CreateFontIndirectW(&lf));
        return m_handle != nullptr;
    }
};

class CBrush : public CGdiObject<HBRUSH> {
public:
    bool CreateSolidBrush(COLORREF color) {
        Attach(::CreateSolidBrush(color));
        return m_handle != nullptr;
    }
};

class CPen : public CGdiObject<HPEN> {
public:
    bool CreatePen(int style, int width, COLORREF color) {
        Attach(::CreatePen(style, width, color));
        return m_handle != nullptr;
    }
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
        Attach(::CreateCompatibleBitmap(dc, width, height));
        return m_handle != nullptr;
    }
    // A 32-bit top-down DIB section; `bits` receives its pixels (0x00RRGGBB each).
    bool CreateDIB32(int width, int height, DWORD** bits) {
        BITMAPINFO info = TopDown32Info(width, height);
        void* pixels = nullptr;
        Attach(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0));
        if (bits)
            *bits = m_handle ? static_cast<DWORD*>(pixels) : nullptr;
        return m_handle != nullptr;
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
