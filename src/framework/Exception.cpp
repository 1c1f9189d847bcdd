#include "framework/Exception.h"

#include <windows.h>

#include <utility>

namespace {
std::string ToUtf8(const std::wstring& text) {
    if (text.empty())
        return std::string();
    const int length = static_cast<int>(text.size());
    const int needed = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return std::string();
    std::string utf8(static_cast<std::size_t>(needed), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), needed, nullptr, nullptr);
    return utf8;
}

// Bytes in `codePage` as UTF-16; false when they can't be converted (with
// MB_ERR_INVALID_CHARS: when they are not valid in that code page).
bool Widen(const std::string& bytes, UINT codePage, DWORD flags, std::wstring& text) {
    const int length = static_cast<int>(bytes.size());
    const int needed = ::MultiByteToWideChar(codePage, flags, bytes.data(), length, nullptr, 0);
    if (needed <= 0)
        return false;
    text.assign(static_cast<std::size_t>(needed), L'\0');
    return ::MultiByteToWideChar(codePage, flags, bytes.data(), length, text.data(), needed) == needed;
}
}  // namespace

CException::CException(std::wstring message) : m_strMessage(std::move(message)), m_strUtf8(ToUtf8(m_strMessage)) {}

std::wstring ExceptionMessage(const std::exception& e) {
    if (const auto* own = dynamic_cast<const CException*>(&e))
        return own->Message();
    const std::string what = e.what() ? e.what() : "";
    std::wstring text;
    if (!what.empty() && !Widen(what, CP_UTF8, MB_ERR_INVALID_CHARS, text) && !Widen(what, CP_ACP, 0, text))
        text.clear();
    return text;
}
