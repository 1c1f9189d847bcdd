// The search and Replace All on a text alone: direction, the selection's part
// in where a search starts, case folding, and Replace All's one pass checked
// against replacing one match at a time.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "editor/TextSearch.h"

namespace {
using TextSearch::Find;
using TextSearch::Options;

constexpr Options kDown{false, true};
constexpr Options kUp{false, false};

TEST(TextSearch, DownStartsAtTheSelectionsEndAndStopsAtTheEndOfTheNote) {
    const std::wstring text = L"one two one two";
    EXPECT_EQ(Find(text, L"two", 0, kDown), std::optional<std::size_t>(4));
    // The selection is the first "two": the next one is found.
    EXPECT_EQ(Find(text, L"two", 7, kDown), std::optional<std::size_t>(12));
    // The selection is the last one: nothing, and no wrapping round.
    EXPECT_EQ(Find(text, L"two", 15, kDown), std::nullopt);
    EXPECT_EQ(Find(text, L"two", 99, kDown), std::nullopt);
    EXPECT_EQ(Find(text, L"", 0, kDown), std::nullopt);
}

TEST(TextSearch, UpSkipsTheWordEndingAtTheCaretAndCountsOverlappingMatches) {
    const std::wstring text = L"cat cat cat";
    // The caret right after the second "cat" finds the first.
    EXPECT_EQ(Find(text, L"cat", 7, kUp), std::optional<std::size_t>(0));
    // The selected second "cat" [4, 7) is not found again either.
    EXPECT_EQ(Find(text, L"cat", 7, kUp), Find(text, L"cat", 5, kUp));
    EXPECT_EQ(Find(text, L"cat", 3, kUp), std::nullopt);
    EXPECT_EQ(Find(text, L"cat", 0, kUp), std::nullopt);
    // "aa" in the first three characters of "aaaa": the overlapping match at 1 is the last.
    EXPECT_EQ(Find(L"aaaa", L"aa", 4, kUp), std::optional<std::size_t>(1));
}

TEST(TextSearch, OnlyTheLettersAToZAreFoldedWithoutMatchCase) {
    EXPECT_EQ(Find(L"xx ABC", L"abc", 0, kDown), std::optional<std::size_t>(3));
    EXPECT_EQ(Find(L"xx ABC", L"abc", 0, Options{true, true}), std::nullopt);
    EXPECT_EQ(Find(L"xx abc ABC", L"ABC", 0, Options{true, true}), std::optional<std::size_t>(7));
    EXPECT_EQ(Find(L"\u00C9COLE", L"\u00E9cole", 0, kDown), std::nullopt);                  // accented
    EXPECT_EQ(Find(L"\u041F\u0420\u0418", L"\u043F\u0440\u0438", 0, kDown), std::nullopt);  // Cyrillic
    EXPECT_TRUE(TextSearch::IsMatch(L"say Hello", 4, 9, L"hELLO", false));
    EXPECT_FALSE(TextSearch::IsMatch(L"say Hello", 4, 9, L"hELLO", true));
    EXPECT_FALSE(TextSearch::IsMatch(L"say Hello", 4, 8, L"hello", false));
}

// Replace All as a user would do it by hand: replace the selection when it is
// a match, find the next one, until nothing is found.
std::wstring ReplaceOneByOne(std::wstring text, std::size_t start, std::size_t end, const std::wstring& find,
                             const std::wstring& replace, bool matchCase) {
    for (;;) {
        if (start != end && TextSearch::IsMatch(text, start, end, find, matchCase)) {
            text.replace(start, end - start, replace);
            start = end = start + replace.size();
        }
        const std::optional<std::size_t> at = Find(text, find, end, Options{matchCase, true});
        if (!at)
            return text;
        start = *at;
        end = *at + find.size();
    }
}

std::wstring Applied(const std::wstring& text, const TextSearch::Replacement& r) {
    std::wstring result = text;
    return result.replace(r.start, r.end - r.start, r.text);
}

TEST(TextSearch, ReplaceAllWorksOnFromTheSelectionAsReplacingOneByOneDoes) {
    struct Case {
        const wchar_t* text;
        std::size_t start, end;
        const wchar_t* find;
        const wchar_t* replace;
        bool matchCase;
        std::size_t count;
    };
    const Case cases[] = {
        {L"a b a b a b", 4, 4, L"a", L"X", false, 2},          // from the middle: the first "a" stays
        {L"a b a b a b", 4, 5, L"a", L"X", false, 2},          // a selected match is replaced too
        {L"a b a b a b", 3, 5, L"a", L"X", false, 1},          // a selection that is no match is passed over
        {L"aaa", 0, 0, L"a", L"aa", false, 3},                 // the replacement holds the find text
        {L"Abc abc ABC", 0, 0, L"abc", L"-", true, 1},         // match case
        {L"Abc abc ABC", 0, 0, L"abc", L"-", false, 3},        //
        {L"no match here", 0, 0, L"zz", L"y", false, 0},       //
        {L"line\r\nline\r\n", 0, 0, L"\r\n", L" ", false, 2},  // line breaks are text too
    };
    for (const Case& c : cases) {
        const TextSearch::Replacement r =
            TextSearch::ReplaceAll(c.text, c.start, c.end, c.find, c.replace, c.matchCase);
        EXPECT_EQ(r.count, c.count) << c.text << " / " << c.find;
        const std::wstring expected = ReplaceOneByOne(c.text, c.start, c.end, c.find, c.replace, c.matchCase);
        EXPECT_EQ(r.count ? Applied(c.text, r) : std::wstring(c.text), expected) << c.text << " / " << c.find;
    }
}

}  // namespace
