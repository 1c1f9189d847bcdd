// NotesStore's statements for sharing one file between copies of the program: the
// save that checks what the note holds before it writes, putting back a note
// deleted by another copy, and the count of other connections' commits.
#include "storage/NotesStore.h"

#include "storage/CppSQLite3DB.h"

NotesStore::CheckedSave NotesStore::SaveNoteChecked(long long noteId, const std::wstring& text, int pos,
                                                    const StoredText& expected, const std::wstring& conflictSuffix,
                                                    long long idsInUse) {
    CheckedSave result;
    // Immediate: no other copy can write between the check and the write.
    InTransaction(
        [&] {
            result.version = DataVersion();
            CppSQLite3Query query = m_db.ExecuteQuery(L"SELECT pid, name FROM notes WHERE id=?;", {noteId});
            if (query.AtEnd()) {
                result.outcome = CheckedSave::Outcome::Gone;
                return;
            }
            result.parentId = query.Int64ByName(L"pid", 0);
            result.storedName = query.TextByName(L"name", L"Note");
            query.Finish();
            bool unchanged = result.version == expected.version;
            if (!unchanged) {
                // Read only when another copy wrote: a note can be megabytes long.
                CppSQLite3Query note = m_db.ExecuteQuery(L"SELECT note FROM notes WHERE id=?;", {noteId});
                std::wstring stored = note.TextByName(L"note", L"");
                unchanged = expected.text == stored || text == stored;
                if (!unchanged && text == expected.text) {
                    // Written back unread by the user (a hide, the end of the
                    // program): the other copy's text is the newer one.
                    result.outcome = CheckedSave::Outcome::Superseded;
                    result.storedText = std::move(stored);
                    return;
                }
            }
            if (unchanged) {
                SaveNote(noteId, text, pos);
                result.outcome = CheckedSave::Outcome::Written;
                result.noteId = noteId;
                return;
            }
            result.outcome = CheckedSave::Outcome::Conflict;
            result.name = result.storedName + conflictSuffix;
            result.noteId = InsertNoteAbove(result.parentId, result.name, text, pos, idsInUse);
        },
        true);
    return result;
}

long long NotesStore::RestoreNote(long long& parentId, const std::wstring& name, const std::wstring& text, int pos,
                                  long long idsInUse) {
    long long id = 0;
    InTransaction(
        [&] {
            if (parentId != 0 && !IsReachable(parentId))
                parentId = 0;
            id = InsertNoteAbove(parentId, name, text, pos, idsInUse);
        },
        true);
    return id;
}

long long NotesStore::DataVersion() {
    return m_db.ExecuteScalar(L"PRAGMA data_version;");
}
