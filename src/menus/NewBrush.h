// CNewBrush: a menu-bar background brush, known by its kind and two colours.
// CNewBrushList caches them for the process, so every menu bar of one look
// shares one brush; the menu hook frees the cache when the program ends.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <vector>

#include "framework/Gdi.h"

class CNewBrush : public CBrush {
public:
    enum class Kind { Solid };
    CNewBrush(Kind kind, COLORREF first, COLORREF second);

    bool Is(Kind kind, COLORREF first, COLORREF second) const {
        return m_kind == kind && m_crFirst == first && m_crSecond == second;
    }

private:
    Kind m_kind;
    COLORREF m_crFirst;
    COLORREF m_crSecond;
};

class CNewBrushList {
public:
    // The cached brush of that kind and colours, made on first use; null when it cannot be made.
    static HBRUSH Get(CNewBrush::Kind kind, COLORREF first, COLORREF second = CLR_NONE);
    static void FreeAll();

private:
    static std::vector<std::unique_ptr<CNewBrush>>& Brushes();
};
