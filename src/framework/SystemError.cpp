#include "framework/SystemError.h"

std::wstring SystemErrorText(DWORD code) {
    if (code == 0)
        return {};
    wchar_t* buffer = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer ? buffer : L"", length);
    if (buffer)
        ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    return text;
}

std::wstring SystemErrorReason(DWORD code) {
    const std::wstring text = SystemErrorText(code);
    return text.empty() ? L"Error " + std::to_wstring(code) : text;
}
