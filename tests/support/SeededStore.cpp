#include "support/SeededStore.h"

#include "storage/CppSQLite3Exception.h"
#include "storage/NotesStore.h"

SeededStore::SeededStore(const std::wstring& path) {
    m_db.Open(path);
    m_db.ExecuteStatement(L"begin transaction;");
    m_db.ExecuteStatement(NotesStore::kCreateTableSql);
}

void SeededStore::Add(const NoteRow& row) {
    m_db.ExecuteStatement(L"INSERT INTO notes VALUES(?,?,?,?,?);", {row.id, row.pid, row.name, row.text, row.pos});
}

void SeededStore::Commit() {
    m_db.ExecuteStatement(L"commit transaction;");
    m_db.Close();
}

void SeedNotes(const std::wstring& path, const std::vector<NoteRow>& rows) {
    SeededStore store(path);
    for (const NoteRow& row : rows)
        store.Add(row);
    store.Commit();
}
