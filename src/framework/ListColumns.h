// The columns of a report-view list control, laid out once: full-row
// selection, and the width left beside a vertical scroll bar shared out.
#pragma once

#include <windows.h>

#include <initializer_list>

struct ListColumn {
    const wchar_t* title;
    // Hundredths of the width; the last column takes what is left.
    int percent;
};

void SetListColumns(HWND list, std::initializer_list<ListColumn> columns);
