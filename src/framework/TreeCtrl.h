// CTreeCtrl: thin, non-owning wrapper over a tree view control.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/Wnd.h"

class CTreeCtrl : public CWnd {
public:
    HTREEITEM InsertItem(const TVINSERTSTRUCTW& insert) {
        return reinterpret_cast<HTREEITEM>(SendMessage(TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    }
    bool DeleteItem(HTREEITEM item) { return SendMessage(TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(item)) != 0; }
    bool DeleteAllItems() { return DeleteItem(TVI_ROOT); }

    HTREEITEM GetNextItem(HTREEITEM item, UINT code) const {
        return reinterpret_cast<HTREEITEM>(SendMessage(TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(item)));
    }
    HTREEITEM GetRootItem() const { return GetNextItem(nullptr, TVGN_ROOT); }
    HTREEITEM GetChildItem(HTREEITEM item) const { return GetNextItem(item, TVGN_CHILD); }
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const { return GetNextItem(item, TVGN_NEXT); }
    HTREEITEM GetParentItem(HTREEITEM item) const { return GetNextItem(item, TVGN_PARENT); }
    HTREEITEM GetSelectedItem() const { return GetNextItem(nullptr, TVGN_CARET); }
    bool ItemHasChildren(HTREEITEM item) const { return GetChildItem(item) != nullptr; }
    UINT GetCount() const { return static_cast<UINT>(SendMessage(TVM_GETCOUNT)); }

    bool SelectItem(HTREEITEM item) {
        return SendMessage(TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item)) != 0;
    }
    bool Expand(HTREEITEM item, UINT code) {
        return SendMessage(TVM_EXPAND, code, reinterpret_cast<LPARAM>(item)) != 0;
    }

    DWORD_PTR GetItemData(HTREEITEM item) const;
    bool SetItemData(HTREEITEM item, DWORD_PTR data);
    std::wstring GetItemText(HTREEITEM item) const;
    bool SetItemText(HTREEITEM item, const std::wstring& text);

    void SetBkColor(COLORREF color) { SendMessage(TVM_SETBKCOLOR, 0, static_cast<LPARAM>(color)); }
    void SetTextColor(COLORREF color) { SendMessage(TVM_SETTEXTCOLOR, 0, static_cast<LPARAM>(color)); }
};
