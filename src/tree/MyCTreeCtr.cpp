#include "tree/MyCTreeCtr.h"

HTREEITEM MyCTreeCtr::InsertNoteItem(const std::wstring& name, int noteId, HTREEITEM parent,
                                     HTREEITEM after) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<wchar_t*>(name.c_str());
    HTREEITEM item = InsertItem(insert);
    if (item)
        SetItemData(item, static_cast<DWORD_PTR>(noteId));
    return item;
}
