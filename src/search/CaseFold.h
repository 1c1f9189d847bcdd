// Case folding for the search in all notes: a text and a query are compared
// folded, the way Windows compares text for users without regard to case.
// Every letter of Unicode is lowered (the invariant locale's table, not only
// A-Z), then the letters whose lower case still differs are made one: final
// sigma is sigma, long s is s, and sharp s (small or capital) is "ss", so
// "STRASSE" finds "Straße". Surrogate pairs go through as pairs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace CaseFold {

struct Folded {
    std::wstring text;
    // Where each unit of `text` comes from in the original text; empty when the
    // fold kept the length, so that a unit comes from the same index.
    std::vector<std::uint32_t> origin;

    // The original index of folded unit `at` (at == text.size() maps to the end).
    std::size_t Original(std::size_t at, std::size_t originalSize) const;
    // Whether a folded range [start, end) covers whole original characters,
    // never one half of a sharp s's "ss".
    bool IsWholeRange(std::size_t start, std::size_t end) const;
};

Folded Fold(const std::wstring& text);

}  // namespace CaseFold
