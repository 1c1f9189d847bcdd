#include "editor/TimeStampMarkers.h"

#include <cwchar>

namespace TimeStampMarkers {
namespace {
void ReplaceEvery(std::wstring& text, const std::wstring& from, const std::wstring& to) {
    for (std::size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// The conversions the C runtime's wcsftime knows, each of which may carry the
// "#" flag. The runtime the program links (msvcrt) offers no handler for the
// invalid parameter a bad format raises, so a format is checked before use.
bool IsKnownFormat(const std::wstring& format) {
    static const wchar_t kConversions[] = L"aAbBcdHIjmMpSUwWxXyYzZ%";
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != L'%')
            continue;
        if (++i < format.size() && format[i] == L'#')
            ++i;
        if (i >= format.size() || !std::wcschr(kConversions, format[i]))
            return false;
    }
    return true;
}

// The text between two percent signs is a marker when it reads "ExTime(...)";
// gives the format in it.
bool IsMarker(const std::wstring& inner, std::wstring& format) {
    const std::size_t open = inner.find(L'(');
    if (inner.empty() || inner.back() != L')' || open == std::wstring::npos || inner.compare(0, open, L"ExTime") != 0)
        return false;
    format = inner.substr(open + 1, inner.size() - open - 2);
    return true;
}
}  // namespace

std::wstring FormatTime(const std::wstring& format, const std::tm* now) {
    std::wstring f(format);
    // "!*!" stands for a literal "#" while the others become "%".
    ReplaceEvery(f, L"\\#", L"!*!");
    ReplaceEvery(f, L"\\)", L")");
    ReplaceEvery(f, L"###", L"%!*!");
    ReplaceEvery(f, L"#", L"%");
    ReplaceEvery(f, L"!*!", L"#");
    if (!now || !IsKnownFormat(f))
        return {};
    wchar_t buffer[128];
    const std::size_t length = std::wcsftime(buffer, 128, f.c_str(), now);
    // 0: the result did not fit (or is empty); some runtimes give the size instead.
    if (length == 0 || length >= 128)
        return {};
    return std::wstring(buffer, length);
}

std::wstring ExpandMarkers(std::wstring text, const std::tm* now, int maxExpansions) {
    int expansions = 0;
    std::size_t scan = 0;
    for (;;) {
        const std::size_t open = text.find(L'%', scan);
        if (open == std::wstring::npos || open + 1 >= text.size())
            break;
        const std::size_t close = text.find(L'%', open + 1);
        if (close == std::wstring::npos)
            break;
        std::wstring format;
        if (close == open + 1 || !IsMarker(text.substr(open + 1, close - open - 1), format)) {
            scan = close;  // the second percent sign may open a marker
            continue;
        }
        if (expansions++ == maxExpansions)
            break;
        text.replace(open, close - open + 1, FormatTime(format, now));
        // The result may form a new marker with what surrounds it.
        scan = 0;
    }
    return text;
}

}  // namespace TimeStampMarkers
