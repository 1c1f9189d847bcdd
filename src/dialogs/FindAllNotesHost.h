// What the Find in All Notes dialog needs of its owner: the notes to search,
// read now, and showing a match. The main window gives the notes session
// (app/SessionSearchHost.h); the tests may give one of their own.
#pragma once

#include <string>
#include <vector>

#include "search/NoteSearch.h"

class FindAllNotesHost {
public:
    virtual ~FindAllNotesHost() = default;

    // The notes as they are now, in tree order; false with `failure` saying
    // why when they can't be read.
    virtual bool NotesToSearch(std::vector<NoteSearch::Note>& notes, std::wstring& failure) = 0;
    // Selects the note, shows it and selects the match in its text.
    virtual void ShowFound(const NoteSearch::Hit& hit) = 0;
};
