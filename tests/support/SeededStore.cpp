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

std::vector<std::wstring> StoredRows(const std::wstring& path) {
    CppSQLite3DB db(2000);
    db.Open(path);
    std::vector<std::wstring> rows;
    for (CppSQLite3Query q = db.ExecuteQuery(L"SELECT * FROM notes ORDER BY id"); !q.AtEnd(); q.Advance())
        rows.push_back(std::to_wstring(q.Int64ByName(L"id", 0)) + L" " + std::to_wstring(q.Int64ByName(L"pid", 0)) +
                       L" " + q.TextByName(L"name", L"") + L" = " + q.TextByName(L"note", L"") + L" @" +
                       std::to_wstring(q.IntByName(L"pos", 0)));
    return rows;
}
