#include "framework/Exception.h"

#include <windows.h>

#include <optional>
#include <utility>

#include "framework/Utf8.h"

namespace {
// Bytes in the ANSI code page as UTF-16.
std::wstring FromAnsi(const std::string& bytes) {
    const int length = static_cast<int>(bytes.size());
    const int needed = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, nullptr, 0);
    if (needed <= 0)
        return std::wstring();
    std::wstring text(static_cast<std::size_t>(needed), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), length, text.data(), needed);
    return text;
}
}  // namespace

CException::CException(std::wstring message) : m_strMessage(std::move(message)), m_strUtf8(ToUtf8(m_strMessage)) {}

std::wstring ExceptionMessage(const std::exception& e) {
    if (const auto* own = dynamic_cast<const CException*>(&e))
        return own->Message();
    const std::string what = e.what() ? e.what() : "";
    if (std::optional<std::wstring> text = StrictFromUtf8(what))
        return *text;
    return FromAnsi(what);
}
