// Screen resolution. Sizes the program keeps (the window's place, the
// splitter, the font of the configuration) are in pixels of a 96-dpi screen;
// they become device pixels where they are used and go back to 96 dpi where
// they are written. The functions of Windows 8.1 and 10 are looked up at run
// time: on earlier systems every window has the system's resolution, which
// the screen's device context tells (LOGPIXELSY).
#pragma once

#include <windows.h>

namespace Dpi {

constexpr UINT kStandard = 96;

// The resolution the system's metrics are given in (GetDpiForSystem).
UINT OfSystem();
// The resolution `window` is drawn at: its monitor's under per-monitor
// awareness (GetDpiForWindow), otherwise the system's.
UINT OfWindow(HWND window);

// `value` in 96-dpi pixels, in pixels of `dpi` (rounded, signs kept).
int Scale(int value, UINT dpi);
// `pixels` of `dpi`, in 96-dpi pixels.
int Unscale(int pixels, UINT dpi);
RECT Scale(const RECT& rect, UINT dpi);
RECT Unscale(const RECT& rect, UINT dpi);
// A measure converted from one resolution to another (a window moved to
// another monitor).
int Rescale(int pixels, UINT from, UINT to);
// A font description's height and width, from one resolution to another.
LOGFONTW Rescale(const LOGFONTW& font, UINT from, UINT to);

// GetSystemMetrics for a window at `dpi` (GetSystemMetricsForDpi; before
// Windows 10 the system's metric, rescaled from the system's resolution).
int SystemMetric(int index, UINT dpi);
// The menu, caption and message fonts for `dpi` (SystemParametersInfoForDpi,
// or the system's record with its fonts rescaled). `size` is the length of
// the record to ask for (see MenuPlatform::kNonClientMetricsSize).
bool NonClientMetrics(NONCLIENTMETRICSW& metrics, UINT size, UINT dpi);

}  // namespace Dpi
