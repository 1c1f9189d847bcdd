#include "shell/HtmBrowser.h"

#include <vector>

#include "framework/RegKey.h"

namespace {
// The default value of `root`\`path`, with environment variables expanded
// where the value asks for it; false when there is none.
bool ReadDefaultValue(HKEY root, const std::wstring& path, std::wstring& value) {
    CRegKey key;
    if (key.Open(root, path.c_str(), KEY_QUERY_VALUE) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD bytes = 0;
    if (::RegQueryValueExW(key, nullptr, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return false;
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    if (::RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()), &bytes) !=
        ERROR_SUCCESS)
        return false;
    value = buffer.data();
    if (type == REG_EXPAND_SZ) {
        const DWORD needed = ::ExpandEnvironmentStringsW(value.c_str(), nullptr, 0);
        std::vector<wchar_t> expanded(needed + 1, L'\0');
        if (needed && ::ExpandEnvironmentStringsW(value.c_str(), expanded.data(), needed + 1))
            value = expanded.data();
    }
    return !value.empty();
}

// The address as one command-line argument: in quotation marks, with the
// backslashes before the closing mark doubled so that they stay backslashes.
std::wstring Quoted(const std::wstring& address) {
    size_t trailing = 0;
    while (trailing < address.size() && address[address.size() - 1 - trailing] == L'\\')
        ++trailing;
    return L"\"" + address + std::wstring(trailing, L'\\') + L"\"";
}
}  // namespace

namespace HtmBrowser {

std::wstring CommandLine(const std::wstring& command, const std::wstring& address) {
    if (address.find_first_of(L"\"\r\n") != std::wstring::npos)
        return {};
    std::wstring line = command;
    size_t placeholder = line.find(L"\"%1\"");
    if (placeholder == std::wstring::npos)
        placeholder = line.find(L"%1");
    if (placeholder != std::wstring::npos)
        line.erase(placeholder);
    while (!line.empty() && line.back() == L' ')
        line.pop_back();
    return line + L" " + Quoted(address);
}

bool ToAnsi(const std::wstring& text, std::string& ansi) {
    ansi.clear();
    if (text.empty())
        return true;
    const int length = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int bytes =
        ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, nullptr, 0, nullptr, &usedDefault);
    if (bytes <= 0 || usedDefault)
        return false;
    ansi.assign(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), length, ansi.data(), bytes, nullptr, &usedDefault);
    return !usedDefault;
}

std::optional<UINT> Open(const std::wstring& address, int show) {
    std::wstring fileType;
    std::wstring command;
    if (!ReadDefaultValue(HKEY_CLASSES_ROOT, L".htm", fileType) ||
        !ReadDefaultValue(HKEY_CLASSES_ROOT, fileType + L"\\shell\\open\\command", command))
        return std::nullopt;
    std::string ansi;
    const std::wstring line = CommandLine(command, address);
    if (line.empty() || !ToAnsi(line, ansi))
        return std::nullopt;
    return ::WinExec(ansi.c_str(), static_cast<UINT>(show));
}

}  // namespace HtmBrowser
