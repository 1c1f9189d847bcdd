#include "shell/ScreenPlacement.h"

#include <algorithm>

namespace {
// `start` moved so that `length` fits between `low` and `high` (or starts at `low`).
LONG Fit(LONG start, LONG length, LONG low, LONG high) {
    return std::max(low, std::min(start, high - length));
}
}  // namespace

RECT PlaceOnScreen(const RECT& stored) {
    if (::MonitorFromRect(&stored, MONITOR_DEFAULTTONULL))
        return stored;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoW(::MonitorFromRect(&stored, MONITOR_DEFAULTTONEAREST), &info))
        return stored;
    const RECT& work = info.rcWork;
    const LONG width = std::min(stored.right - stored.left, work.right - work.left);
    const LONG height = std::min(stored.bottom - stored.top, work.bottom - work.top);
    const LONG left = Fit(stored.left, width, work.left, work.right);
    const LONG top = Fit(stored.top, height, work.top, work.bottom);
    return {left, top, left + width, top + height};
}
