#include "search/CaseFold.h"

#include <windows.h>

#include <unordered_map>

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
        // The letters whose lower case still differs are made one.
        lowered[kFinalSigma] = kSigma;
        lowered[kLongS] = L's';
        lowered[kCapitalIWithDot] = L'i';
        lowered[kCapitalSharpS] = kSharpS;
        return lowered;
    }();
    return table;
}

bool IsHigh(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLow(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The letters beyond the basic plane that have a case (Deseret, Osage, Adlam
// and a few more scripts) all lie in the plane after it, and each lowers to a
// letter of that plane: the system is asked once for the whole plane, and the
// few hundred pairs whose lower case differs are kept, keyed by both units.
const std::unordered_map<std::uint32_t, std::uint32_t>& PairTable() {
    static const std::unordered_map<std::uint32_t, std::uint32_t> pairs = [] {
        constexpr std::uint32_t kFirst = 0x10000, kCount = 0x10000;
        std::wstring units(kCount * 2, L'\0');
        for (std::uint32_t i = 0; i < kCount; ++i) {
            const std::uint32_t code = kFirst + i - 0x10000;
            units[2 * i] = static_cast<wchar_t>(0xD800 + (code >> 10));
            units[2 * i + 1] = static_cast<wchar_t>(0xDC00 + (code & 0x3FF));
        }
        std::wstring lowered(units.size(), L'\0');
        const int size = static_cast<int>(units.size());
        std::unordered_map<std::uint32_t, std::uint32_t> differing;
        if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, units.data(), size, lowered.data(), size, nullptr,
                          nullptr, 0) != size)
            return differing;
        for (std::size_t i = 0; i < units.size(); i += 2) {
            if ((lowered[i] != units[i] || lowered[i + 1] != units[i + 1]) && IsHigh(lowered[i]) &&
                IsLow(lowered[i + 1]))
                differing[(std::uint32_t{units[i]} << 16) | units[i + 1]] =
                    (std::uint32_t{lowered[i]} << 16) | lowered[i + 1];
        }
        return differing;
    }();
    return pairs;
}

// Lowers the surrogate pairs of lowered[0, size) whose lower case is a pair of its own.
void LowerPairs(wchar_t* lowered, std::size_t size) {
    const auto& lowerPairs = PairTable();
    for (std::size_t i = 0; i + 1 < size; ++i) {
        if (!IsHigh(lowered[i]) || !IsLow(lowered[i + 1]))
            continue;
        auto pair = lowerPairs.find((std::uint32_t{static_cast<unsigned short>(lowered[i])} << 16) |
                                    static_cast<unsigned short>(lowered[i + 1]));
        if (pair != lowerPairs.end()) {
            lowered[i] = static_cast<wchar_t>(pair->second >> 16);
            lowered[i + 1] = static_cast<wchar_t>(pair->second & 0xFFFF);
        }
        ++i;
    }
}

}  // namespace

void PairCursor::MoveTo(std::size_t at) {
    while (m_whole < m_pairs.size() && m_pairs[m_whole] + 2 <= at)
        ++m_whole;
}

bool PairCursor::IsSecondHalf(std::size_t at) {
    MoveTo(at);
    return m_whole < m_pairs.size() && m_pairs[m_whole] + 1 == at;
}

std::size_t PairCursor::Original(std::size_t at) {
    // Each pair wholly before `at` stands for one unit fewer in the original;
    // the second unit of a pair comes from the same sharp s as the first.
    return at - m_whole - (IsSecondHalf(at) ? 1 : 0);
}

std::size_t FoldedLength(const std::wstring& text) {
    const wchar_t* table = LowerTable().data();
    std::size_t sharpS = 0;
    for (const wchar_t unit : text)
        sharpS += table[static_cast<unsigned short>(unit)] == kSharpS ? 1 : 0;
    return text.size() + sharpS;
}

void FoldInto(const std::wstring& text, wchar_t* out, Pairs& pairs) {
    const wchar_t* table = LowerTable().data();
    std::size_t at = 0;
    bool surrogates = false;
    for (const wchar_t unit : text) {
        const wchar_t c = table[static_cast<unsigned short>(unit)];
        if (c == kSharpS) {
            // Sharp s becomes "ss"; where the pair starts is noted.
            pairs.push_back(static_cast<std::uint32_t>(at));
            out[at++] = L's';
            out[at++] = L's';
        } else {
            out[at++] = c;
            surrogates |= IsHigh(c);
        }
    }
    if (surrogates)
        LowerPairs(out, at);
}

Folded Fold(const std::wstring& text) {
    Folded folded;
    folded.text.resize(FoldedLength(text));
    FoldInto(text, folded.text.data(), folded.pairs);
    return folded;
}

}  // namespace CaseFold
