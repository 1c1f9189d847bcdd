// The folded forms of the texts searched last, kept for the next search: a
// note's text is folded once, not on every pause in typing, for as long as the
// same text (the same shared object) is searched again. Folding is most of a
// search's work; this makes a search little more than a scan.
//
// The folded texts lie in large blocks of their own rather than in a heap
// allocation each: thousands of allocations of a few kilobytes, freed and made
// again as notes change, make every allocation slow under Wine.
// Used from one thread.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "search/CaseFold.h"
#include "search/NoteSearch.h"

class FoldCache {
public:
    struct View {
        std::wstring_view text;
        const CaseFold::Pairs* pairs;
    };

    // The folded form of `text` (not null); valid until DropUnused.
    View Folded(const NoteSearch::Text& text);
    // Forgets the texts not asked for since the last call.
    void DropUnused();

private:
    struct Entry {
        NoteSearch::Text text;  // keeps the key's text alive
        std::wstring_view folded;
        CaseFold::Pairs pairs;
        bool used = false;
    };
    wchar_t* Room(std::size_t units);

    std::unordered_map<const std::wstring*, Entry> m_entries;
    std::vector<std::unique_ptr<wchar_t[]>> m_blocks;
    wchar_t* m_blockNext = nullptr;  // the free end of the last block
    std::size_t m_blockLeft = 0;     // units free there
    std::size_t m_liveUnits = 0;     // units of the entries kept
    std::size_t m_deadUnits = 0;     // units of the entries dropped, not yet given back
};
