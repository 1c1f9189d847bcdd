#include "search/NoteSearch.h"

#include <algorithm>

#include "search/CaseFold.h"
#include "search/WordRule.h"

namespace NoteSearch {
namespace {
// How much of a long line is shown before the match.
constexpr std::size_t kLineWidth = 120;
constexpr std::size_t kBeforeMatch = 40;

bool IsLowSurrogate(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

// Whether original[start, end) cuts no surrogate pair in two.
bool KeepsPairs(const std::wstring& original, std::size_t start, std::size_t end) {
    if (start < original.size() && IsLowSurrogate(original[start]) && start > 0 && IsHighSurrogate(original[start - 1]))
        return false;
    return !(end > 0 && end < original.size() && IsHighSurrogate(original[end - 1]) && IsLowSurrogate(original[end]));
}

// Calls `found(start, length)` for each occurrence in `original`, in the
// original's indexes. `needle` is the query, folded unless the case matches.
template <typename Found>
void EachMatch(const std::wstring& original, const std::wstring& needle, const Query& query, Found found) {
    // Sharp s folds to two units: no text folds to more than twice its length.
    if (needle.empty() || original.size() * 2 < needle.size())
        return;
    CaseFold::Folded folded;
    if (!query.matchCase)
        folded = CaseFold::Fold(original);
    const std::wstring& haystack = query.matchCase ? original : folded.text;
    std::size_t at = haystack.find(needle);
    while (at != std::wstring::npos) {
        const std::size_t end = at + needle.size();
        const std::size_t start = folded.Original(at, original.size());
        const std::size_t stop = end == 0 ? 0 : folded.Original(end - 1, original.size()) + 1;
        if (folded.IsWholeRange(at, end) && KeepsPairs(original, start, stop) &&
            (!query.wholeWord || WordRule::IsWholeWord(original, start, stop))) {
            found(start, stop - start);
            at = haystack.find(needle, end);
        } else {
            at = haystack.find(needle, at + 1);
        }
    }
}

}  // namespace

std::wstring LineAround(const std::wstring& text, std::size_t start, std::size_t length, std::size_t width,
                        std::size_t& lineAt) {
    std::size_t lineStart = text.find_last_of(L"\r\n", start == 0 ? std::wstring::npos : start - 1);
    lineStart = start == 0 || lineStart == std::wstring::npos ? 0 : lineStart + 1;
    std::size_t lineEnd = text.find_first_of(L"\r\n", start + length);
    if (lineEnd == std::wstring::npos)
        lineEnd = text.size();
    // A long line is shown from a little before the match, never from half a pair.
    std::size_t from = start - lineStart > kBeforeMatch ? start - kBeforeMatch : lineStart;
    if (from > lineStart && IsLowSurrogate(text[from]))
        ++from;
    std::size_t to = std::max(lineEnd < from + width ? lineEnd : from + width, start + length);
    if (to > lineEnd)
        to = lineEnd;
    if (to < lineEnd && to > from && IsHighSurrogate(text[to - 1]))
        --to;
    lineAt = start - from;
    return text.substr(from, to - from);
}

Results Search(const std::vector<Note>& notes, const Query& query, std::size_t cap) {
    Results results;
    if (query.text.empty())
        return results;
    const std::wstring needle = query.matchCase ? query.text : CaseFold::Fold(query.text).text;
    auto list = [&](const Note& note, bool inName) {
        return [&, inName](std::size_t start, std::size_t length) {
            ++results.total;
            if (results.hits.size() >= cap)
                return;
            Hit hit;
            hit.noteId = note.id;
            hit.inName = inName;
            hit.start = start;
            hit.length = length;
            hit.line = LineAround(inName ? note.name : note.text, start, length, kLineWidth, hit.lineAt);
            results.hits.push_back(std::move(hit));
        };
    };
    for (const Note& note : notes)
        EachMatch(note.name, needle, query, list(note, true));
    if (!query.namesOnly) {
        for (const Note& note : notes)
            EachMatch(note.text, needle, query, list(note, false));
    }
    return results;
}

}  // namespace NoteSearch
