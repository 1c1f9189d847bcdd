#include "search/NoteSearch.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "search/CaseFold.h"
#include "search/FoldCache.h"
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
// original's indexes. `needle` is the query, folded unless the case matches;
// `haystack` is the original, folded unless the case matches, with `pairs`
// mapping its indexes back.
template <typename Found>
void EachMatch(const std::wstring& original, std::wstring_view haystack, const CaseFold::Pairs& pairs,
               const std::wstring& needle, const Query& query, Found found) {
    CaseFold::PairCursor starts(pairs);
    CaseFold::PairCursor ends(pairs);
    std::size_t at = haystack.find(needle);
    while (at != std::wstring_view::npos) {
        const std::size_t end = at + needle.size();
        const bool whole = !starts.IsSecondHalf(at) && !ends.IsSecondHalf(end);
        const std::size_t start = starts.Original(at);
        const std::size_t stop = ends.Original(end);
        if (whole && KeepsPairs(original, start, stop) &&
            (!query.wholeWord || WordRule::IsWholeWord(original, start, stop))) {
            found(start, stop - start);
            at = haystack.find(needle, end);
        } else {
            at = haystack.find(needle, at + 1);
        }
    }
}

// The same over a text folded here (or not, when the case matches).
template <typename Found>
void EachMatch(const std::wstring& original, const std::wstring& needle, const Query& query, Found found) {
    static const CaseFold::Pairs none;
    // Sharp s folds to two units: no text folds to more than twice its length.
    if (needle.empty() || original.size() * 2 < needle.size())
        return;
    if (query.matchCase)
        return EachMatch(original, original, none, needle, query, found);
    const CaseFold::Folded folded = CaseFold::Fold(original);
    EachMatch(original, folded.text, folded.pairs, needle, query, found);
}

const std::wstring& Of(const Text& text) {
    static const std::wstring empty;
    return text ? *text : empty;
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

Results Search(const std::vector<Note>& notes, const Query& query, std::size_t cap,
               const std::function<bool()>& abandoned, FoldCache* folds) {
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
            const std::wstring& searched = Of(inName ? note.name : note.text);
            hit.line = LineAround(searched, start, length, kLineWidth, hit.lineAt);
            hit.matched = searched.substr(start, length);
            results.hits.push_back(std::move(hit));
        };
    };
    for (const Note& note : notes)
        EachMatch(Of(note.name), needle, query, list(note, true));
    bool stopped = false;
    if (!query.namesOnly) {
        for (const Note& note : notes) {
            if (abandoned && abandoned()) {
                stopped = true;
                break;
            }
            if (folds && note.text && !query.matchCase) {
                const FoldCache::View folded = folds->Folded(note.text);
                EachMatch(*note.text, folded.text, *folded.pairs, needle, query, list(note, false));
            } else {
                EachMatch(Of(note.text), needle, query, list(note, false));
            }
        }
    }
    // A search stopped part-way has not asked for every text still shown.
    if (folds && !stopped)
        folds->DropUnused();
    return results;
}

}  // namespace NoteSearch
