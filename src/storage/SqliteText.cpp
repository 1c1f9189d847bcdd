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

std::string ToUtf8(const std::wstring& text) {
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length > 0 ? length : 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, bytes.data(), length, nullptr, nullptr);
    bytes.resize(bytes.size() - 1);
    return bytes;
}
