#include "framework/WindowsVersion.h"

namespace {
WindowsVersion Query() {
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof info;
    // Deprecated because it reports an older version to programs whose manifest
    // does not name the newest systems; what this program asks (NT family,
    // Windows 2000 or later) it still answers right.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ::GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info));
#pragma GCC diagnostic pop
    return {info.dwMajorVersion, info.dwMinorVersion, info.dwPlatformId == VER_PLATFORM_WIN32_NT};
}
}  // namespace

const WindowsVersion& CurrentWindowsVersion() {
    static const WindowsVersion version = Query();
    return version;
}
