#include "shell/ScreenPlacement.h"

#include <algorithm>

namespace {
// `start` moved so that `length` fits between `low` and `high` (or starts at `low`).
LONG Fit(LONG start, LONG length, LONG low, LONG high) {
    return std::max(low, std::min(start, high - length));
}
}  // namespace

RECT PlaceOnScreen(const RECT& stored, SIZE minimum) {
    // A negative or tiny size shows nothing to type into.
    const LONG width = std::max(minimum.cx, stored.right - stored.left);
    const LONG height = std::max(minimum.cy, stored.bottom - stored.top);
    const RECT sized{stored.left, stored.top, stored.left + width, stored.top + height};
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoW(::MonitorFromRect(&sized, MONITOR_DEFAULTTONEAREST), &info))
        return sized;
    const RECT& work = info.rcWork;
    const LONG fitWidth = std::min(width, work.right - work.left);
    const LONG fitHeight = std::min(height, work.bottom - work.top);
    const LONG left = Fit(stored.left, fitWidth, work.left, work.right);
    const LONG top = Fit(stored.top, fitHeight, work.top, work.bottom);
    return {left, top, left + fitWidth, top + fitHeight};
}
