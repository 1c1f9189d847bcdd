#include "search/WordRule.h"

#include <windows.h>

namespace WordRule {
namespace {
bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

char32_t Combine(wchar_t high, wchar_t low) {
    return 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) + (static_cast<char32_t>(low) - 0xDC00);
}

// The code point that ends right before `at`.
char32_t Before(const std::wstring& text, std::size_t at) {
    const wchar_t last = text[at - 1];
    if (IsLowSurrogate(last) && at >= 2 && IsHighSurrogate(text[at - 2]))
        return Combine(text[at - 2], last);
    return last;
}

// The code point that starts at `at`.
char32_t At(const std::wstring& text, std::size_t at) {
    const wchar_t first = text[at];
    if (IsHighSurrogate(first) && at + 1 < text.size() && IsLowSurrogate(text[at + 1]))
        return Combine(first, text[at + 1]);
    return first;
}

}  // namespace

bool IsWordChar(char32_t c) {
    if (c > 0xFFFF) {
        // Plane 1 from U+1F000 holds the emoji, playing cards and pictographs;
        // the rest of the supplementary planes are scripts and ideographs.
        return c < 0x1F000 || c > 0x1FFFF;
    }
    const auto unit = static_cast<wchar_t>(c);
    if (unit == L'_')
        return true;
    WORD type1 = 0;
    WORD type3 = 0;
    if (!GetStringTypeW(CT_CTYPE1, &unit, 1, &type1) || !GetStringTypeW(CT_CTYPE3, &unit, 1, &type3))
        return false;
    return (type1 & (C1_ALPHA | C1_DIGIT)) != 0 || (type3 & C3_NONSPACING) != 0;
}

bool IsWholeWord(const std::wstring& text, std::size_t start, std::size_t end) {
    if (start > end || end > text.size())
        return false;
    if (start > 0 && IsWordChar(Before(text, start)))
        return false;
    return end == text.size() || !IsWordChar(At(text, end));
}

}  // namespace WordRule
