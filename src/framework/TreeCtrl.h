// CTreeCtrl: thin, non-owning wrapper over a tree view control.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/Wnd.h"

class CTreeCtrl : public CWnd {
public:
    HTREEITEM InsertItem(const TVINSERTSTRUCTW& insert) {
        ++m_contentRevision;
        return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    }
    bool DeleteItem(HTREEITEM item) {
        ++m_contentRevision;
        return SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)) != 0;
    }
    bool DeleteAllItems() { return DeleteItem(TVI_ROOT); }

    HTREEITEM GetNextItem(HTREEITEM item, UINT code) const {
        return reinterpret_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
    }
    HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
    HTREEITEM GetChildItem(HTREEITEM item) const { return GetNextItem(item, TVGN_CHILD); }
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const { return GetNextItem(item, TVGN_NEXT); }
    HTREEITEM GetParentItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PARENT); }
    HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
    HTREEITEM GetDropHilightItem() const { return GetNextItem(nullptr, TVGN_DROPHILITE); }
    bool ItemHasChildren(HTREEITEM item) const { return GetChildItem(item) != nullptr; }
    UINT GetCount() const { return static_cast<UINT>(SendMessage(TVM_GETCOUNT)); }

    bool SelectItem(HTREEITEM item) {
        return SendMessage(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0;
    }
    // Shows `item` as the target of a drag (null: no item).
    bool SelectDropTarget(HTREEITEM item) {
        return SendMessage(TVM_SELECTITEM, TVGN_DROPHILITE, reinterpret_cast<LPARAM>(item)) != 0;
    }
    bool Expand(HTREEITEM item, UINT code) {
        return SendMessage(TVM_EXPAND, code, reinterpret_cast<LPARAM>(item)) != 0;
    }

    // The item whose row holds a point in client coordinates, or null.
    HTREEITEM HitTest(POINT pt) const;
    // The item's row (textOnly: its label) in client coordinates; false when not shown.
    bool GetItemRect(HTREEITEM item, RECT* rect, bool textOnly) const;
    UINT GetItemState(HTREEITEM item, UINT mask) const {
        return static_cast<UINT>(SendMessage(TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), mask));
    }
    bool SetItemState(HTREEITEM item, UINT state, UINT mask);
    bool GetItem(TVITEMW& item) const { return SendMessage(TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != 0; }
    // A picture of the item for dragging, owned by the caller; null when the control makes none.
    HIMAGELIST CreateDragImage(HTREEITEM item) {
        return reinterpret_cast<HIMAGELIST>(SendMessage(TVM_CREATEDRAGIMAGE, 0, reinterpret_cast<LPARAM>(item)));
    }

    DWORD_PTR GetItemData(HTREEITEM item) const;
    bool SetItemData(HTREEITEM item, DWORD_PTR data);
    std::wstring GetItemText(HTREEITEM item) const;
    bool SetItemText(HTREEITEM item, const std::wstring& text);

    // Colours are CLR_NONE while the control uses the system's.
    COLORREF GetBkColor() const { return static_cast<COLORREF>(SendMessage(TVM_GETBKCOLOR)); }
    COLORREF GetTextColor() const { return static_cast<COLORREF>(SendMessage(TVM_GETTEXTCOLOR)); }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    void SetBkColor(COLORREF color) { SendMessage(TVM_SETBKCOLOR, 0, static_cast<LPARAM>(color)); }
    void SetTextColor(COLORREF color) { SendMessage(TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(color)); }

    // Changes each time an item is inserted or deleted, or its text or data
    // set, through this object: whoever keeps something read from the items
    // knows by it whether to read them again, without walking them.
    unsigned ContentRevision() const { return m_contentRevision; }

private:
    unsigned m_contentRevision = 0;
};
