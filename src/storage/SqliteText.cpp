#include "storage/SqliteText.h"

std::wstring FromCodePage(UINT codePage, std::string_view text) {
    if (text.empty())
        return std::wstring();
    const int bytes = static_cast<int>(text.size());
    const int length = ::MultiByteToWideChar(codePage, 0, text.data(), bytes, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), bytes, wide.data(), length);
    return wide;
}
