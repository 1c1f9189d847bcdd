// The search of Find, Find Next, Replace and Replace All, as functions of a
// text: no window, so they are quick on long notes and testable alone.
//
// Positions are character indexes into the text as the editor holds it
// ("\r\n" counts two). Without match case only the letters A-Z are folded;
// every other letter (accented, Cyrillic ...) compares exactly.
#pragma once

#include <optional>
#include <string>

namespace TextSearch {

struct Options {
    bool matchCase = false;
    bool down = true;
};

// Where `find` occurs after a selection ending at `selEnd`: searching down, the
// first occurrence at or after selEnd; searching up, the last occurrence that
// ends before selEnd - 1, so that the selected match (or a word that ends at
// the caret) is not found again. Nothing for an empty `find`.
std::optional<std::size_t> Find(const std::wstring& text, const std::wstring& find, std::size_t selEnd,
                                const Options& options);

// Whether text[start, end) is `find` (the comparison of Find).
bool IsMatch(const std::wstring& text, std::size_t start, std::size_t end, const std::wstring& find, bool matchCase);

// What Replace All does to a text: every occurrence from the selection on,
// replaced from left to right, and the editor's span that changes.
struct Replacement {
    std::size_t count = 0;  // the matches replaced; 0 leaves everything as it was
    std::size_t start = 0;  // the span [start, end) of the original text that changes
    std::size_t end = 0;
    std::wstring text;  // what replaces the span; the caret goes after it
};

// Replace All from the selection [selStart, selEnd): a selection that is a match
// is replaced too; then each following occurrence, searched for after the text
// put in before it, so a replacement that contains `find` never is searched again.
Replacement ReplaceAll(const std::wstring& text, std::size_t selStart, std::size_t selEnd, const std::wstring& find,
                       const std::wstring& replace, bool matchCase);

}  // namespace TextSearch
