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

// The invariant locale's lower case of every unit of the basic plane, asked of
// the system once: the same table whatever the user's locale, so that a search
// finds the same notes everywhere, and a lookup per character instead of a
// call per text (the call is slow under Wine). Surrogates stay as they are.
const std::vector<wchar_t>& LowerTable() {
    static const std::vector<wchar_t> table = [] {
        std::vector<wchar_t> units(0x10000);
        for (std::size_t i = 0; i < units.size(); ++i)
            units[i] = static_cast<wchar_t>(i);
        std::vector<wchar_t> lowered(units);
        const int size = static_cast<int>(units.size());
        if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, units.data(), size, lowered.data(), size, nullptr,
                          nullptr, 0) != size)
            lowered = units;  // never expected: the search then goes on unfolded
        for (wchar_t c = 0xD800; c <= 0xDFFF; ++c)
            lowered[c] = c;
        return lowered;
    }();
    return table;
}

std::wstring Lowered(const std::wstring& text) {
    const std::vector<wchar_t>& table = LowerTable();
    std::wstring lowered(text.size(), L'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        lowered[i] = table[static_cast<unsigned short>(text[i])];
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
