#include "search/CaseFold.h"

#include <windows.h>

namespace CaseFold {
namespace {
constexpr wchar_t kSharpS = 0x00DF;
constexpr wchar_t kCapitalSharpS = 0x1E9E;
constexpr wchar_t kFinalSigma = 0x03C2;
constexpr wchar_t kSigma = 0x03C3;
constexpr wchar_t kLongS = 0x017F;
constexpr wchar_t kCapitalIWithDot = 0x0130;

// The invariant locale's lower case: the same table whatever the user's locale,
// so that a search finds the same notes everywhere.
std::wstring Lowered(const std::wstring& text) {
    std::wstring lowered(text.size(), L'\0');
    if (text.empty())
        return lowered;
    const int size = static_cast<int>(text.size());
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, text.c_str(), size, &lowered[0], size, nullptr, nullptr,
                      0) != size)
        return text;  // never expected: the search then goes on unfolded
    return lowered;
}

}  // namespace

std::size_t Folded::Original(std::size_t at, std::size_t originalSize) const {
    if (origin.empty())
        return at;
    return at < origin.size() ? origin[at] : originalSize;
}

bool Folded::IsWholeRange(std::size_t start, std::size_t end) const {
    if (origin.empty())
        return true;
    const bool startsWhole = start == 0 || start >= origin.size() || origin[start - 1] != origin[start];
    const bool endsWhole = end == 0 || end >= origin.size() || origin[end - 1] != origin[end];
    return startsWhole && endsWhole;
}

Folded Fold(const std::wstring& text) {
    Folded folded;
    folded.text = Lowered(text);
    bool expands = false;
    for (wchar_t& c : folded.text) {
        if (c == kFinalSigma)
            c = kSigma;
        else if (c == kLongS)
            c = L's';
        else if (c == kCapitalIWithDot)
            c = L'i';
        else if (c == kSharpS || c == kCapitalSharpS)
            expands = true;
    }
    if (!expands)
        return folded;
    // Sharp s becomes two units: the rare text that holds one is rebuilt with
    // a map back to the original indexes.
    std::wstring expanded;
    expanded.reserve(folded.text.size() + 8);
    folded.origin.reserve(folded.text.size() + 8);
    for (std::size_t i = 0; i < folded.text.size(); ++i) {
        const wchar_t c = folded.text[i];
        const auto from = static_cast<std::uint32_t>(i);
        if (c == kSharpS || c == kCapitalSharpS) {
            expanded += L"ss";
            folded.origin.push_back(from);
            folded.origin.push_back(from);
        } else {
            expanded += c;
            folded.origin.push_back(from);
        }
    }
    folded.text.swap(expanded);
    return folded;
}

}  // namespace CaseFold
