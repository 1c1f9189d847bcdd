// The notes table: every statement the program runs on it, over one connection
// (the program's is theDB). Failures are thrown as CppSQLite3Exception; the store
// shows no messages and knows no windows. Names and texts go into the SQL with
// their single quotes doubled.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

class CppSQLite3DB;

class NotesStore {
public:
    // One note as the tree shows it: its id and its name ("Note" when the name is NULL).
    struct TreeRow {
        int id;
        std::wstring name;
    };
    // The rows by parent id, each list in the order the table returns them (ascending id).
    using RowsByParent = std::map<int, std::vector<TreeRow>>;

    // A note's text and its packed caret and scroll position.
    struct NoteContent {
        std::wstring text;
        int pos = 0;
    };

    // The statement that creates the notes table where it is missing.
    static const wchar_t kCreateTableSql[];
    // The database file in the data folder when the settings name none.
    static constexpr const wchar_t* kDefaultFileName = L"notes2.db";

    explicit NotesStore(CppSQLite3DB& db) : m_db(db) {}
    NotesStore(const NotesStore&) = delete;
    NotesStore& operator=(const NotesStore&) = delete;

    // Opens (creating it if absent) the database file.
    void Open(const std::wstring& path);
    // Does nothing when closed; throws when SQLite refuses (a cursor is still open).
    void Close();
    // Closes, swallowing a refusal (the connection then stays open): for giving
    // up on a file that could not be opened as a notes store.
    void CloseQuietly() noexcept;
    bool IsOpen() const;
    // How long a statement waits for another program's lock before it fails.
    void SetBusyWait(int ms);
    // Tells `listener` of every row this connection changes (CppSQLite3DB::SetRowListener).
    void SetRowListener(std::function<void(const char* table, long long rowId)> listener);
    // Whether the file has a table named notes.
    bool HasTable();

    // Creates the table with its one first note, in one transaction; a failure
    // rolls the transaction back and is thrown.
    void CreateTable();
    // Every note with a parent (rows whose pid is NULL are nobody's child), read
    // in one pass: a query per note would read the whole table (pid has no
    // index) once for every note.
    RowsByParent ReadTreeRows();
    // Empty text and position 0 for NULL columns and for a missing row.
    NoteContent LoadNote(int noteId);
    // Every note's text by id (NULL texts empty), read in one pass: for writing
    // them all, a query per note costs more than the files.
    std::unordered_map<int, std::wstring> ReadAllTexts();
    // The note's text (NULL reads empty); false when there is no such note.
    bool ReadText(int noteId, std::wstring& text);
    // A number that changes each time another connection (another program, or
    // another connection of this one) commits to the file; this connection's
    // own commits leave it as it is.
    int DataVersion();
    void SaveNote(int noteId, const std::wstring& text, int pos);
    // Adds a note with an empty text under `parentId` (0: the top level); returns its id.
    int AddNote(int parentId, const std::wstring& name);
    void RenameNote(int noteId, const std::wstring& name);
    // Deletes the note's row alone: its children's rows stay.
    void DeleteNote(int noteId);
    // Deletes the rows of these notes in one transaction: all of them, or, when
    // one can't be deleted, none (the failure is thrown).
    void DeleteNotes(const std::vector<int>& noteIds);
    void MoveNote(int noteId, int newParentId);
    // Compacts the file.
    void Vacuum();

    // Adds a note with its text and position under `parentId` as `noteId`
    // (0: the next free id); returns its id.
    int InsertNote(int noteId, int parentId, const std::wstring& name, const std::wstring& text, int pos);
    bool HasNote(int noteId);
    // Runs the statements as one transaction, rolled back when one throws
    // (whatever it throws), and the throw passed on.
    void InTransaction(const std::function<void()>& statements);

private:
    CppSQLite3DB& m_db;
};
