#include "storage/NotesStore.h"

#include "storage/CppSQLite3DB.h"

#include <utility>

const wchar_t NotesStore::kCreateTableSql[] =
    L"CREATE TABLE IF NOT EXISTS notes (id INTEGER PRIMARY KEY, pid INTEGER, name TEXT, note TEXT, pos INTEGER);";

namespace {
constexpr int SQLITE_NULL_TYPE = 5;
}  // namespace

void NotesStore::Open(const std::wstring& path) {
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

void NotesStore::InTransaction(const std::function<void()>& statements, bool immediate) {
    try {
        m_db.ExecuteStatement(immediate ? L"begin immediate transaction;" : L"begin transaction;");
        statements();
        m_db.ExecuteStatement(L"commit transaction;");
    } catch (...) {
        // Leave no transaction open behind the failure.
        try {
            m_db.ExecuteStatement(L"rollback transaction;");
        } catch (const CppSQLite3Exception&) {
        }
        throw;
    }
}

void NotesStore::CreateTable() {
    InTransaction([this] {
        m_db.ExecuteStatement(kCreateTableSql);
        m_db.ExecuteStatement(L"INSERT INTO notes VALUES(NULL,0,'Note',' This is a place for your quick notes...',0);");
    });
}

NotesStore::RowsByParent NotesStore::ReadTreeRows() {
    RowsByParent rows;
    CppSQLite3Query query = m_db.ExecuteQuery(L"SELECT id,pid,name FROM notes");
    for (; !query.AtEnd(); query.Advance()) {
        if (query.ColumnType(query.ColumnIndex(L"pid")) == SQLITE_NULL_TYPE)
            continue;  // a NULL parent is nobody's child
        rows[query.IntByName(L"pid", 0)].push_back({query.IntByName(L"id", 0), query.TextByName(L"name", L"Note")});
    }
    query.Finish();
    return rows;
}

NotesStore::NoteContent NotesStore::LoadNote(int noteId) {
    CppSQLite3Query query =
        m_db.ExecuteQuery(L"SELECT note, pos FROM notes WHERE id=" + std::to_wstring(noteId) + L";");
    NoteContent note;
    note.text = query.TextByName(L"note", L"");
    note.pos = query.IntByName(L"pos", 0);
    query.Finish();
    return note;
}

NotesStore::NoteContent NotesStore::LoadNote(int noteId, long long& version) {
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

std::unordered_map<int, std::wstring> NotesStore::ReadAllTexts() {
    std::unordered_map<int, std::wstring> texts;
    CppSQLite3Query query = m_db.ExecuteQuery(L"SELECT id, note FROM notes;");
    for (; !query.AtEnd(); query.Advance())
        texts[query.IntByName(L"id", 0)] = query.TextByName(L"note", L"");
    query.Finish();
    return texts;
}

bool NotesStore::ReadText(int noteId, std::wstring& text) {
    CppSQLite3Query query = m_db.ExecuteQuery(L"SELECT note FROM notes WHERE id=" + std::to_wstring(noteId) + L";");
    const bool found = !query.AtEnd();
    if (found)
        text = query.TextByName(L"note", L"");
    query.Finish();
    return found;
}

void NotesStore::SaveNote(int noteId, const std::wstring& text, int pos) {
    m_db.ExecuteStatement(L"UPDATE notes SET note='" + QuoteForSql(text) + L"', pos=" + std::to_wstring(pos) +
                          L" WHERE id=" + std::to_wstring(noteId) + L";");
}

int NotesStore::AddNote(int parentId, const std::wstring& name) {
    return InsertNoteAbove(parentId, name, std::wstring(), 0);
}

int NotesStore::InsertNoteAbove(int parentId, const std::wstring& name, const std::wstring& text, int pos,
                                int idsInUse) {
    return InsertRow(
        idsInUse > 0 ? L"(SELECT max(ifnull(max(id), 0), " + std::to_wstring(idsInUse) + L") + 1 FROM notes)" : L"NULL",
        parentId, name, text, pos);
}

int NotesStore::InsertRow(const std::wstring& id, int parentId, const std::wstring& name, const std::wstring& text,
                          int pos) {
    m_db.ExecuteStatement(L"INSERT INTO notes VALUES(" + id + L"," + std::to_wstring(parentId) + L",'" +
                          QuoteForSql(name) + L"','" + QuoteForSql(text) + L"'," + std::to_wstring(pos) + L");");
    // This connection's own row: another copy of the program on the same file
    // may have added one since, so the largest id need not be ours.
    return m_db.ExecuteScalar(L"SELECT last_insert_rowid();");
}

void NotesStore::RenameNote(int noteId, const std::wstring& name) {
    m_db.ExecuteStatement(L"UPDATE notes SET name='" + QuoteForSql(name) + L"' WHERE id=" + std::to_wstring(noteId) +
                          L";");
}

void NotesStore::DeleteNote(int noteId) {
    m_db.ExecuteStatement(L"DELETE FROM notes WHERE id=" + std::to_wstring(noteId) + L";");
}

void NotesStore::DeleteNotes(const std::vector<int>& noteIds) {
    InTransaction([&] {
        for (int noteId : noteIds)
            DeleteNote(noteId);
    });
}

void NotesStore::MoveNote(int noteId, int newParentId) {
    m_db.ExecuteStatement(L"UPDATE notes SET pid=" + std::to_wstring(newParentId) + L" WHERE id=" +
                          std::to_wstring(noteId) + L";");
}

void NotesStore::Vacuum() {
    m_db.ExecuteStatement(L"Vacuum");
}

int NotesStore::InsertNote(int noteId, int parentId, const std::wstring& name, const std::wstring& text, int pos) {
    return InsertRow(noteId > 0 ? std::to_wstring(noteId) : L"NULL", parentId, name, text, pos);
}

bool NotesStore::HasNote(int noteId) {
    return m_db.ExecuteScalar(L"SELECT count(*) FROM notes WHERE id=" + std::to_wstring(noteId) + L";") > 0;
}
