// The search in all notes over notes given as texts: Unicode case folding,
// whole words, queries taken as plain text, the order and the cap of the
// results, and the line shown for each.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "search/NoteSearch.h"

namespace {
using NoteSearch::Note;
using NoteSearch::Query;
using Ranges = std::vector<std::pair<std::size_t, std::size_t>>;

// Where `query` occurs in `text` (start, length), searched as one note's text.
Ranges Matches(const std::wstring& text, const std::wstring& query, bool matchCase = false, bool wholeWord = false) {
    const std::vector<Note> notes{
        {1, NoteSearch::MakeText(L"n"), NoteSearch::MakeText(L"n"), NoteSearch::MakeText(text)}};
    const NoteSearch::Results results = NoteSearch::Search(notes, Query{query, matchCase, wholeWord, false}, 1000);
    Ranges ranges;
    for (const NoteSearch::Hit& hit : results.hits)
        ranges.emplace_back(hit.start, hit.length);
    EXPECT_EQ(results.total, ranges.size());
    return ranges;
}

TEST(NoteSearch, TurkishCapitalIWithDotIsFoundByASmallI) {
    EXPECT_EQ(Matches(L"in \u0130stanbul", L"istanbul"), (Ranges{{3, 8}}));
    EXPECT_EQ(Matches(L"in ISTANBUL", L"\u0130stanbul"), (Ranges{{3, 8}}));
    // The dotless i is a letter of its own.
    EXPECT_EQ(Matches(L"\u0131i", L"\u0131"), (Ranges{{0, 1}}));
    EXPECT_EQ(Matches(L"\u0130stanbul", L"istanbul", true), Ranges{});
}

TEST(NoteSearch, SharpSIsDoubleSAndTheMatchCoversWholeLetters) {
    // "Straße" holds "strasse" in six characters.
    EXPECT_EQ(Matches(L"die Stra\u00DFe", L"STRASSE"), (Ranges{{4, 6}}));
    EXPECT_EQ(Matches(L"die STRASSE", L"stra\u00DFe"), (Ranges{{4, 7}}));
    EXPECT_EQ(Matches(L"GRO\u1E9E", L"gro\u00DF"), (Ranges{{0, 4}}));
    // One s is not half of a sharp s.
    EXPECT_EQ(Matches(L"Stra\u00DFe", L"as"), Ranges{});
    EXPECT_EQ(Matches(L"Stra\u00DFe", L"\u00DF", true), (Ranges{{4, 1}}));
}

TEST(NoteSearch, GreekSigmaFindsFinalSigmaAndCapitals) {
    // "ΚΟΣΜΟΣ" and "κόσμος" without the accent: "κοσμος", ending in a final sigma.
    const std::wstring small = L"\u03BA\u03BF\u03C3\u03BC\u03BF\u03C2";
    const std::wstring capital = L"\u039A\u039F\u03A3\u039C\u039F\u03A3";
    EXPECT_EQ(Matches(L"o " + small, capital), (Ranges{{2, 6}}));
    EXPECT_EQ(Matches(capital, small), (Ranges{{0, 6}}));
    EXPECT_EQ(Matches(small, L"\u03C3"), (Ranges{{2, 1}, {5, 1}}));
    EXPECT_EQ(Matches(capital, small, true), Ranges{});
}

TEST(NoteSearch, CharactersBeyondTheBasicPlaneStayWhole) {
    const std::wstring smile = L"\U0001F600";
    const std::wstring rareHan = L"\U00020BB7";
    EXPECT_EQ(Matches(L"a" + smile + L"b" + rareHan, smile), (Ranges{{1, 2}}));
    EXPECT_EQ(Matches(L"a" + smile + L"b" + rareHan, rareHan + L""), (Ranges{{4, 2}}));
    // Letters beyond it have a case too: Deseret and Adlam capitals find their small letters.
    EXPECT_EQ(Matches(L"x\U00010400\U0001E900", L"\U00010428\U0001E922"), (Ranges{{1, 4}}));
    EXPECT_EQ(Matches(L"\U00010428", L"\U00010400", true), Ranges{});
    // Half of a pair finds nothing, however the text around it is cut.
    EXPECT_EQ(Matches(L"a" + smile + L"b", smile.substr(1)), Ranges{});
    EXPECT_EQ(Matches(L"a" + smile + L"b", L"a" + smile.substr(0, 1)), Ranges{});
}

TEST(NoteSearch, WholeWordNeedsNoWordCharacterOnEitherSide) {
    const std::wstring text = L"cat, concat cat_x (cat) cat\u00E9 \U0001F600cat\U0001F600 \U00020BB7cat";
    EXPECT_EQ(Matches(text, L"cat", false, true), (Ranges{{0, 3}, {19, 3}, {31, 3}}));
    EXPECT_EQ(Matches(text, L"cat").size(), 7u);
    EXPECT_EQ(Matches(L"Stra\u00DFe", L"strasse", false, true), (Ranges{{0, 6}}));
}

TEST(NoteSearch, QueriesArePlainTextWhateverTheyHold) {
    const std::wstring text = L"100% of a_b, it's *";
    EXPECT_EQ(Matches(text, L"%"), (Ranges{{3, 1}}));
    EXPECT_EQ(Matches(text, L"_"), (Ranges{{9, 1}}));
    EXPECT_EQ(Matches(text, L"'"), (Ranges{{15, 1}}));
    EXPECT_EQ(Matches(text, L"*"), (Ranges{{18, 1}}));
    EXPECT_EQ(Matches(text, L"a%"), Ranges{});
    // Spaces are searched as they are; an empty query finds nothing.
    EXPECT_EQ(Matches(L"a  b c", L"  "), (Ranges{{1, 2}}));
    EXPECT_EQ(Matches(L"a  b c", L""), Ranges{});
}

TEST(NoteSearch, ALongQueryIsFoundWhereItIsWritten) {
    std::wstring query;
    for (int i = 0; query.size() < 10000; ++i)
        query += L"line " + std::to_wstring(i) + L"\r\n";
    query.resize(10000);
    EXPECT_EQ(Matches(L"x" + query + L"y", query), (Ranges{{1, 10000}}));
    EXPECT_EQ(Matches(query.substr(1), query), Ranges{});
}

TEST(NoteSearch, NamesComeFirstThenTextsInTreeOrderAndTheListIsCapped) {
    const std::vector<Note> notes{
        {7, NoteSearch::MakeText(L"Work"), NoteSearch::MakeText(L"Work"), NoteSearch::MakeText(L"plan the plan")},
        {3, NoteSearch::MakeText(L"Work > Plans"), NoteSearch::MakeText(L"Plans"), NoteSearch::MakeText(L"no")},
        {5, NoteSearch::MakeText(L"Home"), NoteSearch::MakeText(L"Home"), NoteSearch::MakeText(L"a PLAN")}};
    NoteSearch::Results all = NoteSearch::Search(notes, Query{L"plan"}, 100);
    ASSERT_EQ(all.total, 4u);
    std::vector<std::pair<int, bool>> order;
    for (const NoteSearch::Hit& hit : all.hits)
        order.emplace_back(hit.noteId, hit.inName);
    EXPECT_EQ(order, (std::vector<std::pair<int, bool>>{{3, true}, {7, false}, {7, false}, {5, false}}));
    EXPECT_EQ(all.hits[2].start, 9u);

    const NoteSearch::Results capped = NoteSearch::Search(notes, Query{L"plan"}, 2);
    EXPECT_EQ(capped.total, 4u);
    ASSERT_EQ(capped.hits.size(), 2u);
    EXPECT_EQ(capped.hits[1].noteId, 7);
    EXPECT_EQ(NoteSearch::Search(notes, Query{L"plan", false, false, true}, 100).total, 1u);
    EXPECT_EQ(NoteSearch::Search(notes, Query{L"PLAN", true}, 100).total, 1u);
}

TEST(NoteSearch, EachHitShowsItsLineCutAroundTheMatch) {
    const std::wstring longLine(200, L'x');
    const std::wstring text = L"first\r\nthe second line\r\n" + longLine + L"needle" + longLine;
    const std::vector<Note> notes{
        {1, NoteSearch::MakeText(L"n"), NoteSearch::MakeText(L"n"), NoteSearch::MakeText(text)}};
    NoteSearch::Results found = NoteSearch::Search(notes, Query{L"second"}, 10);
    ASSERT_EQ(found.hits.size(), 1u);
    EXPECT_EQ(found.hits[0].line, L"the second line");
    EXPECT_EQ(found.hits[0].lineAt, 4u);

    found = NoteSearch::Search(notes, Query{L"needle"}, 10);
    ASSERT_EQ(found.hits.size(), 1u);
    const NoteSearch::Hit& hit = found.hits[0];
    EXPECT_LT(hit.line.size(), 200u);
    EXPECT_EQ(hit.line.substr(hit.lineAt, 6), L"needle");
    EXPECT_GT(hit.lineAt, 0u);
}

}  // namespace
