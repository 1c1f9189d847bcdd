// What the Find in All Notes dialog needs of its owner: a search of the notes
// as they are now, answered later so that typing never waits for it, and
// showing a match. The main window gives the notes session
// (app/SessionSearchHost.h).
#pragma once

#include <windows.h>

#include <memory>

#include "search/NoteSearch.h"

class FindAllNotesHost {
public:
    virtual ~FindAllNotesHost() = default;

    // Starts searching the notes for `query`, listing at most `cap` matches;
    // the answer (also a failure to read the notes) is posted to `notify` as
    // `message` and taken with TakeFound. A newer search abandons an older one.
    virtual void StartSearch(const NoteSearch::Query& query, std::size_t cap, unsigned generation, HWND notify,
                             UINT message) = 0;
    virtual std::unique_ptr<NoteSearch::Found> TakeFound(LPARAM lParam) = 0;
    // Selects the note, shows it and selects the match in its text; false when
    // the note no longer holds the match (the list is older than the notes).
    virtual bool ShowFound(const NoteSearch::Hit& hit) = 0;
};
