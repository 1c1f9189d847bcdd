#include "editor/TextSearch.h"

#include <algorithm>

namespace TextSearch {
namespace {
wchar_t FoldAZ(wchar_t c) {
    return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

std::wstring Folded(const std::wstring& text) {
    std::wstring folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(), FoldAZ);
    return folded;
}

}  // namespace

std::optional<std::size_t> Find(const std::wstring& text, const std::wstring& find, std::size_t selEnd,
                                const Options& options) {
    if (find.empty())
        return std::nullopt;
    // Without match case both sides are searched folded.
    const std::wstring folded = options.matchCase ? std::wstring() : Folded(text);
    const std::wstring& haystack = options.matchCase ? text : folded;
    const std::wstring needle = options.matchCase ? find : Folded(find);
    std::size_t at = std::wstring::npos;
    if (options.down) {
        if (selEnd <= text.size())
            at = haystack.find(needle, selEnd);
    } else if (selEnd >= 1) {
        // The last occurrence lying wholly in the first selEnd - 1 characters.
        const std::size_t cut = std::min(selEnd - 1, text.size());
        if (cut >= needle.size())
            at = haystack.rfind(needle, cut - needle.size());
    }
    if (at == std::wstring::npos)
        return std::nullopt;
    return at;
}

bool IsMatch(const std::wstring& text, std::size_t start, std::size_t end, const std::wstring& find, bool matchCase) {
    if (end < start || end > text.size() || end - start != find.size())
        return false;
    for (std::size_t i = 0; i < find.size(); ++i) {
        const wchar_t a = text[start + i];
        const wchar_t b = find[i];
        if (a != b && (matchCase || FoldAZ(a) != FoldAZ(b)))
            return false;
    }
    return true;
}

Replacement ReplaceAll(const std::wstring& text, std::size_t selStart, std::size_t selEnd, const std::wstring& find,
                       const std::wstring& replace, bool matchCase) {
    Replacement result;
    if (find.empty() || selEnd > text.size())
        return result;
    const std::wstring folded = matchCase ? std::wstring() : Folded(text);
    const std::wstring& haystack = matchCase ? text : folded;
    const std::wstring needle = matchCase ? find : Folded(find);
    std::size_t at = selStart != selEnd && IsMatch(text, selStart, selEnd, find, matchCase)
                         ? selStart
                         : haystack.find(needle, selEnd);
    if (at == std::wstring::npos)
        return result;
    result.start = at;
    std::size_t copied = at;  // the original text up to here is in result.text
    while (at != std::wstring::npos) {
        result.text.append(text, copied, at - copied);
        result.text.append(replace);
        ++result.count;
        copied = at + find.size();
        at = haystack.find(needle, copied);
    }
    result.end = copied;
    return result;
}

}  // namespace TextSearch
