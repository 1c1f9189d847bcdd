#include "menus/NewMemDC.h"

namespace {
bool g_surfacesFail = false;
}  // namespace

void CNewMemDC::SetSurfacesFail(bool fail) {
    g_surfacesFail = fail;
}

CNewMemDC::CNewMemDC(HDC target, const RECT& rect) : CDC(target), m_hTarget(target), m_rect(rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (g_surfacesFail || width <= 0 || height <= 0)
        return;
    m_memory = CMemoryDC(target);
    if (!m_memory || !m_bitmap.CreateCompatibleBitmap(target, width, height))
        return;
    m_hOldBitmap = ::SelectObject(m_memory, m_bitmap);
    ::SetViewportOrgEx(m_memory, -rect.left, -rect.top, nullptr);
    m_hDC = m_memory;
}

CNewMemDC::~CNewMemDC() {
    if (!IsOffScreen())
        return;
    ::BitBlt(m_hTarget, m_rect.left, m_rect.top, m_rect.right - m_rect.left, m_rect.bottom - m_rect.top, m_memory,
             m_rect.left, m_rect.top, SRCCOPY);
    ::SelectObject(m_memory, m_hOldBitmap);
}
