// Generated notes databases for the performance scenarios. Everything is
// pseudo-random from a fixed seed, so every run measures the same files.
// Each note's text begins with a short marker line that names it, so a
// scenario can tell from the editor's first line which note is shown.
#pragma once

#include <climits>
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// What a scenario needs to know about one generated note.
struct NoteFacts {
    int id = 0;
    std::wstring marker;  // the text's first line
    size_t length = 0;    // characters, line breaks (CR LF) included
};

// A tree of `count` notes, three levels deep (top-level notes with children
// and grandchildren), texts of 200 to 20,000 characters. Note 1 is top-level.
// Notes after the first `topLevelUpTo` are never top-level: a larger file then
// shows the same top-level rows, the same notes, with more notes below them.
struct TreeDatabase {
    int notes = 0;
    int topLevel = 0;
    int children = 0;
    int grandchildren = 0;
    long long textChars = 0;
    NoteFacts first;  // note 1, the one shown at start
};
TreeDatabase WriteTreeDatabase(const std::wstring& path, int count, uint32_t seed, int topLevelUpTo = INT_MAX);

// Notes whose texts have exactly the given lengths, one per entry, in that
// order (ids 1, 2, ...): the first `topLevel` at the top level, the others
// children of those in turn (the first under note 1, the next under note 2, ...).
std::vector<NoteFacts> WriteSizedNotes(const std::wstring& path, const std::vector<size_t>& lengths, uint32_t seed,
                                       size_t topLevel = SIZE_MAX);

}  // namespace bench
