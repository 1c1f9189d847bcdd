#include "storage/NotesStore.h"

#include "storage/CppSQLite3DB.h"

#include <algorithm>
#include <cwchar>
#include <utility>

const wchar_t NotesStore::kCreateTableSql[] =
    L"CREATE TABLE IF NOT EXISTS notes (id INTEGER PRIMARY KEY, pid INTEGER, name TEXT, note TEXT, pos INTEGER);";

namespace {
constexpr int SQLITE_NULL_TYPE = 5;
constexpr int SQLITE_FULL_CODE = 13;
}  // namespace

const wchar_t NotesStore::kTreeIndexSql[] = L"CREATE INDEX IF NOT EXISTS notes_tree ON notes(pid, id, name);";

void NotesStore::Open(const std::wstring& path) {
    m_bTreeIndexTried = false;
    m_db.Open(path);
}

void NotesStore::Close() {
    m_db.Close();
}

void NotesStore::CloseQuietly() noexcept {
    try {
        m_db.Close();
    } catch (const CppSQLite3Exception&) {
    }
}

bool NotesStore::IsOpen() const {
    return m_db.IsOpen();
}

void NotesStore::SetBusyWait(int ms) {
    m_db.SetBusyTimeout(ms);
}

void NotesStore::SetRowListener(const void* owner, std::function<void(const char* table, long long rowId)> listener) {
    m_db.SetRowListener(owner, std::move(listener));
}

void NotesStore::ClearRowListener(const void* owner) {
    m_db.ClearRowListener(owner);
}

bool NotesStore::HasTable() {
    return m_db.HasTable(L"notes");
}

void NotesStore::CheckTableShape() {
    // The id must be the row's own number: declared INTEGER PRIMARY KEY, alone,
    // in a table with row numbers (an id declared INT, a key of two columns, a
    // DESC key or a table WITHOUT ROWID each keep a separate primary key index).
    bool idIsKey = false;
    int keyColumns = 0;
    {
        CppSQLite3Query columns = m_db.ExecuteQuery(L"PRAGMA table_info(notes);");
        for (; !columns.AtEnd(); columns.Advance()) {
            if (columns.IntByName(L"pk", 0) == 0)
                continue;
            ++keyColumns;
            idIsKey = columns.TextByName(L"name", L"") == L"id" &&
                      _wcsicmp(columns.TextByName(L"type", L"").c_str(), L"INTEGER") == 0;
        }
    }
    const bool separateKeyIndex =
        m_db.ExecuteScalar(L"SELECT count(*) FROM pragma_index_list('notes') WHERE origin='pk';") > 0;
    if (!idIsKey || keyColumns != 1 || separateKeyIndex)
        throw CppSQLite3Exception(CPPSQLITE_ERROR,
                                  L"the table notes of this file was not made by Tallyleaf: its id is not the "
                                  L"table's INTEGER PRIMARY KEY, so one save could change several notes. "
                                  L"Tallyleaf leaves this file as it is.");
}

void NotesStore::InTransaction(const std::function<void()>& statements, bool immediate, const CommitRunner& runCommit) {
    if (m_db.InTransaction()) {
        // Inside a transaction of another step: a savepoint, whose failure
        // takes back its own statements and never the other step's.
        m_db.ExecuteStatement(L"savepoint nested;");
        try {
            statements();
            m_db.ExecuteStatement(L"release nested;");
        } catch (...) {
            try {
                m_db.ExecuteStatement(L"rollback to nested;");
                m_db.ExecuteStatement(L"release nested;");
            } catch (const CppSQLite3Exception&) {
            }
            throw;
        }
        return;
    }
    try {
        m_db.ExecuteStatement(immediate ? L"begin immediate transaction;" : L"begin transaction;");
        statements();
        const auto commit = [this] { m_db.ExecuteStatement(L"commit transaction;"); };
        if (runCommit)
            runCommit(commit);
        else
            commit();
    } catch (...) {
        // Leave no transaction open behind the failure.
        try {
            m_db.ExecuteStatement(L"rollback transaction;");
        } catch (const CppSQLite3Exception&) {
        }
        throw;
    }
}

bool NotesStore::InTransaction() const {
    return m_db.InTransaction();
}

void NotesStore::CreateTable() {
    InTransaction([this] {
        m_db.ExecuteStatement(kCreateTableSql);
        m_db.ExecuteStatement(L"INSERT INTO notes VALUES(NULL,0,'Note',' This is a place for your quick notes...',0);");
    });
}

void NotesStore::KeepTreeIndex() {
    if (m_bTreeIndexTried)
        return;
    m_bTreeIndexTried = true;
    try {
        if (m_db.ExecuteScalar(L"SELECT count(*) FROM sqlite_master WHERE type='index' AND name='notes_tree';") == 0)
            m_db.ExecuteStatement(kTreeIndexSql);
    } catch (const CppSQLite3Exception&) {
        // The table alone answers the same, only slower.
    }
}

NotesStore::RowsByParent NotesStore::ReadTreeRows() {
    KeepTreeIndex();
    RowsByParent rows;
    CppSQLite3Query query = m_db.ExecuteQuery(L"SELECT id,pid,name FROM notes ORDER BY pid, id");
    const int idColumn = query.ColumnIndex(L"id");
    const int pidColumn = query.ColumnIndex(L"pid");
    const int nameColumn = query.ColumnIndex(L"name");
    for (; !query.AtEnd(); query.Advance()) {
        if (query.ColumnType(pidColumn) == SQLITE_NULL_TYPE)
            continue;  // a NULL parent is nobody's child
        std::wstring name = query.TextAt(nameColumn, L"Note");
        std::replace(name.begin(), name.end(), L'\0', kNulMark);
        rows[query.Int64At(pidColumn, 0)].push_back({query.Int64At(idColumn, 0), std::move(name)});
    }
    query.Finish();
    return rows;
}

NotesStore::NoteContent NotesStore::LoadNote(long long noteId) {
    CppSQLite3Query query = m_db.ExecuteQuery(L"SELECT note, pos FROM notes WHERE id=?;", {noteId});
    NoteContent note;
    note.text = query.TextByName(L"note", L"");
    note.pos = query.IntByName(L"pos", 0);
    query.Finish();
    return note;
}

NotesStore::NoteContent NotesStore::LoadNote(long long noteId, long long& version) {
    NoteContent note;
    const auto read = [&] {
        version = DataVersion();
        note = LoadNote(noteId);
    };
    // Inside a transaction already open (a save that selects another note) both read it.
    if (m_db.InTransaction())
        read();
    else
        InTransaction(read);
    return note;
}

std::unordered_map<long long, std::wstring> NotesStore::ReadAllTexts() {
    std::unordered_map<long long, std::wstring> texts;
    CppSQLite3Query query = m_db.ExecuteQuery(L"SELECT id, note FROM notes;");
    for (; !query.AtEnd(); query.Advance())
        texts[query.Int64ByName(L"id", 0)] = query.TextByName(L"note", L"");
    query.Finish();
    return texts;
}

bool NotesStore::ReadText(long long noteId, std::wstring& text) {
    CppSQLite3Query query = m_db.ExecuteQuery(L"SELECT note FROM notes WHERE id=?;", {noteId});
    const bool found = !query.AtEnd();
    if (found)
        text = query.TextByName(L"note", L"");
    query.Finish();
    return found;
}

void NotesStore::SaveNote(long long noteId, const std::wstring& text, int pos) {
    m_db.ExecuteStatement(L"UPDATE notes SET note=?, pos=? WHERE id=?;", {text, pos, noteId});
}

long long NotesStore::NewId(long long idsInUse) {
    const long long largest = m_db.ExecuteScalar(L"SELECT ifnull(max(id), 0) FROM notes;");
    const long long next = std::max({largest, idsInUse, 0LL}) + 1;
    if (next <= kLargestNewId)
        return next;
    // The ids above are used up (a file with a note numbered at the limit, or
    // beyond it): the smallest free one below.
    const long long free = m_db.ExecuteScalar(
        L"SELECT CASE WHEN NOT EXISTS (SELECT 1 FROM notes WHERE id=1) THEN 1 ELSE "
        L"(SELECT min(id) + 1 FROM notes AS n WHERE id >= 1 AND id < ? AND "
        L"NOT EXISTS (SELECT 1 FROM notes WHERE id=n.id + 1)) END;",
        {kLargestNewId});
    if (free < 1)
        throw CppSQLite3Exception(SQLITE_FULL_CODE,
                                  L"the database has no free note number left (a note takes one of 1 to 2147483647)");
    return free;
}

long long NotesStore::InsertNoteAbove(long long parentId, const std::wstring& name, const std::wstring& text, int pos,
                                      long long idsInUse) {
    long long id = 0;
    // The id is chosen and taken under one lock: another copy of the program
    // on the same file could otherwise take it in between.
    const auto insert = [&] { id = InsertRow(NewId(idsInUse), parentId, name, text, pos); };
    if (m_db.InTransaction())
        insert();
    else
        InTransaction(insert, true);
    return id;
}

long long NotesStore::InsertRow(long long id, long long parentId, const std::wstring& name, const std::wstring& text,
                                int pos) {
    m_db.ExecuteStatement(L"INSERT INTO notes VALUES(?,?,?,?,?);", {id, parentId, name, text, pos});
    return id;
}

void NotesStore::Vacuum() {
    m_db.ExecuteStatement(L"Vacuum");
}

long long NotesStore::InsertNote(long long noteId, long long parentId, const std::wstring& name,
                                 const std::wstring& text, int pos) {
    if (noteId > 0)
        return InsertRow(noteId, parentId, name, text, pos);
    return InsertNoteAbove(parentId, name, text, pos);
}

bool NotesStore::HasNote(long long noteId) {
    return m_db.ExecuteScalar(L"SELECT count(*) FROM notes WHERE id=?;", {noteId}) > 0;
}
