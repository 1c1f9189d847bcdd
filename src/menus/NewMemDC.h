// CNewMemDC: an off-screen surface the size of one menu item. Drawing goes to
// it in the target's coordinates and is copied to the target when it goes, so
// an item never flickers. When the surface cannot be made (the system is out
// of GDI resources) the drawing goes straight to the target instead: the item
// is drawn all the same, only not double-buffered.
#pragma once

#include <windows.h>

#include "framework/DC.h"
#include "framework/Gdi.h"

class CNewMemDC : public CDC {
public:
    CNewMemDC(HDC target, const RECT& rect);
    ~CNewMemDC() override;
    CNewMemDC(const CNewMemDC&) = delete;
    CNewMemDC& operator=(const CNewMemDC&) = delete;

    bool IsOffScreen() const { return m_hDC != m_hTarget; }

    // Makes every surface fail from now on (true) or succeed again; for the tests
    // of what the user sees when the system's resources run out.
    static void SetSurfacesFail(bool fail);

private:
    HDC m_hTarget;
    RECT m_rect;
    CMemoryDC m_memory;
    CBitmap m_bitmap;
    HGDIOBJ m_hOldBitmap = nullptr;
};
