#include "framework/Utf8.h"

#include <windows.h>

namespace {
// The wide text of `bytes`; nothing when the system refuses them (with
// MB_ERR_INVALID_CHARS: when they are not valid UTF-8).
std::optional<std::wstring> Widen(std::string_view bytes, DWORD flags) {
    if (bytes.empty())
        return std::wstring();
    const int size = static_cast<int>(bytes.size());
    const int needed = ::MultiByteToWideChar(CP_UTF8, flags, bytes.data(), size, nullptr, 0);
    if (needed <= 0)
        return std::nullopt;
    std::wstring text(static_cast<std::size_t>(needed), L'\0');
    if (::MultiByteToWideChar(CP_UTF8, flags, bytes.data(), size, text.data(), needed) != needed)
        return std::nullopt;
    return text;
}
}  // namespace

std::string ToUtf8(std::wstring_view text) {
    if (text.empty())
        return std::string();
    const int length = static_cast<int>(text.size());
    const int needed = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return std::string();
    std::string bytes(static_cast<std::size_t>(needed), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, bytes.data(), needed, nullptr, nullptr);
    return bytes;
}

std::wstring FromUtf8(std::string_view bytes) {
    return Widen(bytes, 0).value_or(std::wstring());
}

std::optional<std::wstring> StrictFromUtf8(std::string_view bytes) {
    return Widen(bytes, MB_ERR_INVALID_CHARS);
}
