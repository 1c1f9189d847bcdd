// Notes' texts and positions waiting to be written: the save of a note the user
// just left (written a moment later, so that moving on shows the next note
// first), and every save that failed and waits to be tried again. A failure
// never drops what waits; only a write, or a newer text of the same note
// written in its place, ends a wait. The owner keeps the timer and decides
// when to write.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "storage/NotesStore.h"

class DeferredSave {
public:
    struct Waiting {
        long long noteId;
        std::wstring text;
        int pos;
        // What the note held as this program last read or wrote it: another
        // copy of the program may have changed it since.
        NotesStore::StoredText stored{};
    };

    // Whether a save waits; an empty text waits like any other.
    bool IsWaiting() const { return !m_waiting.empty(); }
    bool IsWaitingFor(long long noteId) const { return Find(noteId) != nullptr; }
    // The save waiting for a note, or null.
    const Waiting* Find(long long noteId) const;
    // Records the save of a note in place of one of the same note already waiting.
    void Record(long long noteId, std::wstring text, int pos, NotesStore::StoredText stored = {});
    // Writes what waits in the order it was recorded; each save written stops
    // waiting. Throws CppSQLite3Exception at the first failure, which leaves
    // that save and those after it waiting.
    void WriteTo(NotesStore& store);
    // The same with the owner's `write` for each save, which throws to stop.
    void WriteEach(const std::function<void(const Waiting&)>& write);
    // Ends the wait of a note's save (a newer text of the note was written).
    void Forget(long long noteId);
    // Forgets everything that waits: only after it was kept elsewhere.
    void Clear() { m_waiting.clear(); }
    const std::vector<Waiting>& All() const { return m_waiting; }

private:
    std::vector<Waiting> m_waiting;
};
