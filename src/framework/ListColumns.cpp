#include "framework/ListColumns.h"

#include <commctrl.h>

void SetListColumns(HWND list, std::initializer_list<ListColumn> columns) {
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
    RECT box{};
    ::GetClientRect(list, &box);
    const int width = box.right - box.left - ::GetSystemMetrics(SM_CXVSCROLL);
    int index = 0;
    int used = 0;
    for (const ListColumn& column : columns) {
        const bool last = index + 1 == static_cast<int>(columns.size());
        LVCOLUMNW item{};
        item.mask = LVCF_TEXT | LVCF_WIDTH;
        item.pszText = const_cast<wchar_t*>(column.title);
        item.cx = last ? width - used : width * column.percent / 100;
        used += item.cx;
        ListView_InsertColumn(list, index++, &item);
    }
}
