// A note's text and position waiting to be written a moment after the user left
// the note, so that moving on shows the next note first. The owner keeps the
// timer and decides when what waits is written and when it is forgotten.
#pragma once

#include <string>

class NotesStore;

class DeferredSave {
public:
    // Whether a save waits; an empty text waits like any other.
    bool IsWaiting() const { return m_bWaiting; }
    bool IsWaitingFor(int noteId) const { return m_bWaiting && m_nNoteId == noteId; }
    // Records the save of a note left, in place of anything waiting.
    void Record(int noteId, std::wstring text, int pos);
    // Writes what waits (nothing when none does) and keeps it waiting; throws
    // CppSQLite3Exception when the store fails.
    void WriteTo(NotesStore& store) const;
    // Forgets what waits.
    void Clear();

private:
    std::wstring m_strText;
    int m_nPos = 0;
    int m_nNoteId = 0;
    bool m_bWaiting = false;
};
