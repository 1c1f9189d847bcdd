#include "framework/Dpi.h"

#include <initializer_list>

namespace Dpi {
namespace {
using DpiForWindowFn = UINT(WINAPI*)(HWND);
using DpiForSystemFn = UINT(WINAPI*)();
using MetricForDpiFn = int(WINAPI*)(int, UINT);
using ParametersForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);

// A function of user32 that older systems lack, or null.
template <class Fn>
Fn User32(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name)));
}
}  // namespace

UINT OfSystem() {
    static const DpiForSystemFn forSystem = User32<DpiForSystemFn>("GetDpiForSystem");
    if (forSystem)
        return forSystem();
    HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kStandard;
}

UINT OfWindow(HWND window) {
    static const DpiForWindowFn forWindow = User32<DpiForWindowFn>("GetDpiForWindow");
    const UINT dpi = forWindow && window ? forWindow(window) : 0;
    return dpi ? dpi : OfSystem();
}

int Rescale(int pixels, UINT from, UINT to) {
    if (from == to || from == 0)
        return pixels;
    return ::MulDiv(pixels, static_cast<int>(to), static_cast<int>(from));
}

int Scale(int value, UINT dpi) {
    return Rescale(value, kStandard, dpi);
}

int Unscale(int pixels, UINT dpi) {
    return Rescale(pixels, dpi, kStandard);
}

LOGFONTW Rescale(const LOGFONTW& font, UINT from, UINT to) {
    LOGFONTW scaled = font;
    scaled.lfHeight = Rescale(font.lfHeight, from, to);
    scaled.lfWidth = Rescale(font.lfWidth, from, to);
    return scaled;
}

RECT Scale(const RECT& rect, UINT dpi) {
    return {Scale(rect.left, dpi), Scale(rect.top, dpi), Scale(rect.right, dpi), Scale(rect.bottom, dpi)};
}

RECT Unscale(const RECT& rect, UINT dpi) {
    return {Unscale(rect.left, dpi), Unscale(rect.top, dpi), Unscale(rect.right, dpi), Unscale(rect.bottom, dpi)};
}

int SystemMetric(int index, UINT dpi) {
    static const MetricForDpiFn forDpi = User32<MetricForDpiFn>("GetSystemMetricsForDpi");
    if (forDpi)
        return forDpi(index, dpi);
    return Rescale(::GetSystemMetrics(index), OfSystem(), dpi);
}

bool NonClientMetrics(NONCLIENTMETRICSW& metrics, UINT size, UINT dpi) {
    static const ParametersForDpiFn forDpi = User32<ParametersForDpiFn>("SystemParametersInfoForDpi");
    metrics.cbSize = size;
    if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, size, &metrics, 0, dpi))
        return true;
    metrics.cbSize = size;
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, size, &metrics, 0))
        return false;
    const UINT system = OfSystem();
    for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont, &metrics.lfStatusFont,
                           &metrics.lfMessageFont})
        *font = Rescale(*font, system, dpi);
    return true;
}

}  // namespace Dpi
