// Case folding for the search in all notes: a text and a query are compared
// folded, the way Windows compares text for users without regard to case.
// Every letter of Unicode is lowered (the invariant locale's table, not only
// A-Z), then the letters whose lower case still differs are made one: final
// sigma is sigma, long s is s, and sharp s (small or capital) is "ss", so
// "STRASSE" finds "Straße". A surrogate pair is lowered as one character (the
// Deseret, Osage or Adlam capitals), never one half of it alone.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace CaseFold {

// What a fold keeps to map folded indexes back: where in the folded text each
// sharp s's "ss" starts, ascending; empty when the fold kept the length, so
// that a unit comes from the same index. Four bytes a sharp s.
using Pairs = std::vector<std::uint32_t>;

// Maps folded indexes back to the original's, asked in ascending order (as a
// search meets its matches, left to right): each answer in constant time.
class PairCursor {
public:
    explicit PairCursor(const Pairs& pairs) : m_pairs(pairs) {}
    // The original index of folded unit `at` (the folded length maps to the end).
    std::size_t Original(std::size_t at);
    // Whether `at` is the second unit of a sharp s's "ss": a range that
    // starts or ends there covers half a character.
    bool IsSecondHalf(std::size_t at);

private:
    void MoveTo(std::size_t at);

    const Pairs& m_pairs;
    std::size_t m_whole = 0;  // the pairs wholly before the last index asked
};

struct Folded {
    std::wstring text;
    Pairs pairs;
};

Folded Fold(const std::wstring& text);

// The same in two steps, for a caller that keeps folded texts in memory of
// its own: the folded length, then the fold into out[0, that length).
std::size_t FoldedLength(const std::wstring& text);
void FoldInto(const std::wstring& text, wchar_t* out, Pairs& pairs);

}  // namespace CaseFold
