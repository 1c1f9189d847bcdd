// The notes session as the Find in All Notes dialog sees it
// (dialogs/FindAllNotesHost.h): the notes read now, and a match shown.
#pragma once

#include <string>
#include <vector>

#include "dialogs/FindAllNotesHost.h"
#include "notes/NotesSession.h"

class SessionSearchHost : public FindAllNotesHost {
public:
    explicit SessionSearchHost(NotesSession& notes) : m_notes(notes) {}

    bool NotesToSearch(std::vector<NoteSearch::Note>& notes, std::wstring& failure) override {
        try {
            notes = m_notes.NotesToSearch();
            return true;
        } catch (const CppSQLite3Exception& e) {
            failure = e.Message();
            return false;
        }
    }
    void ShowFound(const NoteSearch::Hit& hit) override {
        m_notes.ShowFound(hit.noteId, hit.start, hit.inName ? 0 : hit.length);
    }

private:
    NotesSession& m_notes;
};
