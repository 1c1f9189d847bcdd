#include "storage/SqliteText.h"

#include <vector>

std::wstring FromCodePage(UINT codePage, const char* text) {
    if (!text || !*text)
        return std::wstring();
    const int length = ::MultiByteToWideChar(codePage, 0, text, -1, nullptr, 0);
    if (length <= 1)
        return std::wstring();
    std::vector<wchar_t> wide(static_cast<size_t>(length));
    ::MultiByteToWideChar(codePage, 0, text, -1, wide.data(), length);
    return std::wstring(wide.data(), static_cast<size_t>(length - 1));
}
