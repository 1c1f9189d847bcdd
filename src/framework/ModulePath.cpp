#include "framework/ModulePath.h"

#include <windows.h>

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return std::wstring();
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        // The buffer was too small: the path was cut, so try again with more room.
        path.resize(path.size() * 2);
    }
}
