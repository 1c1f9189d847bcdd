#include "menus/NewBrush.h"

CNewBrush::CNewBrush(Kind kind, COLORREF first, COLORREF second) : m_kind(kind), m_crFirst(first), m_crSecond(second) {
    CreateSolidBrush(first);
}

std::vector<std::unique_ptr<CNewBrush>>& CNewBrushList::Brushes() {
    static std::vector<std::unique_ptr<CNewBrush>> brushes;
    return brushes;
}

HBRUSH CNewBrushList::Get(CNewBrush::Kind kind, COLORREF first, COLORREF second) {
    for (const auto& brush : Brushes()) {
        if (brush->Is(kind, first, second))
            return *brush;
    }
    auto brush = std::make_unique<CNewBrush>(kind, first, second);
    if (!brush->GetSafeHandle())
        return nullptr;
    Brushes().push_back(std::move(brush));
    return *Brushes().back();
}

void CNewBrushList::FreeAll() {
    Brushes().clear();
}
