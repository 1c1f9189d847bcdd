#include "framework/TreeCtrl.h"

#include <vector>

HTREEITEM CTreeCtrl::HitTest(POINT pt) const {
    TVHITTESTINFO hit{};
    hit.pt = pt;
    return reinterpret_cast<HTREEITEM>(SendMessage(TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

bool CTreeCtrl::GetItemRect(HTREEITEM item, RECT* rect, bool textOnly) const {
    // The message takes the item in the rectangle it fills.
    *reinterpret_cast<HTREEITEM*>(rect) = item;
    return SendMessage(TVM_GETITEMRECT, textOnly ? TRUE : FALSE, reinterpret_cast<LPARAM>(rect)) != 0;
}

bool CTreeCtrl::SetItemState(HTREEITEM item, UINT state, UINT mask) {
    TVITEMW tvi{};
    tvi.mask = TVIF_STATE | TVIF_HANDLE;
    tvi.hItem = item;
    tvi.state = state;
    tvi.stateMask = mask;
    return SendMessage(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tvi)) != 0;
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM item) const {
    TVITEMW tvi{};
    tvi.mask = TVIF_PARAM | TVIF_HANDLE;
    tvi.hItem = item;
    if (!item || !SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi)))
        return 0;
    return static_cast<DWORD_PTR>(tvi.lParam);
}

bool CTreeCtrl::SetItemData(HTREEITEM item, DWORD_PTR data) {
    ++m_contentRevision;
    TVITEMW tvi{};
    tvi.mask = TVIF_PARAM | TVIF_HANDLE;
    tvi.hItem = item;
    tvi.lParam = static_cast<LPARAM>(data);
    return SendMessage(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tvi)) != 0;
}

std::wstring CTreeCtrl::GetItemText(HTREEITEM item) const {
    // Labels may be of any length: grow the buffer until the text fits.
    for (size_t size = 256;; size *= 2) {
        std::vector<wchar_t> buffer(size, L'\0');
        TVITEMW tvi{};
        tvi.mask = TVIF_TEXT | TVIF_HANDLE;
        tvi.hItem = item;
        tvi.pszText = buffer.data();
        tvi.cchTextMax = static_cast<int>(size);
        if (!item || !SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvi)))
            return std::wstring();
        std::wstring text(tvi.pszText);
        if (text.size() + 1 < size || size >= (1u << 20))
            return text;
    }
}

bool CTreeCtrl::SetItemText(HTREEITEM item, const std::wstring& text) {
    ++m_contentRevision;
    TVITEMW tvi{};
    tvi.mask = TVIF_TEXT | TVIF_HANDLE;
    tvi.hItem = item;
    tvi.pszText = const_cast<wchar_t*>(text.c_str());
    return SendMessage(TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&tvi)) != 0;
}
