// The notes table: every statement the program runs on it, over one connection
// (the program's is theDB). Failures are thrown as CppSQLite3Exception; the store
// shows no messages and knows no windows. Every id, name and text is bound to
// its statement, never written into it; ids are 64-bit, as SQLite keeps them.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/Exception.h"

class CppSQLite3DB;

class NotesStore {
public:
    // One note as the tree shows it: its id and its name ("Note" when the name is NULL).
    struct TreeRow {
        long long id;
        std::wstring name;
    };
    // The rows by parent id, each list in the order the table returns them (ascending id).
    using RowsByParent = std::map<long long, std::vector<TreeRow>>;

    // A note's text and its packed caret and scroll position.
    struct NoteContent {
        std::wstring text;
        int pos = 0;
    };

    // The statement that creates the notes table where it is missing.
    static const wchar_t kCreateTableSql[];
    // The database file in the data folder when the settings name none.
    static constexpr const wchar_t* kDefaultFileName = L"notes2.db";
    // The largest id a new note gets: earlier releases of the program keep
    // ids in 32 bits, and must still find every note of the file.
    static constexpr long long kLargestNewId = 2147483647;

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
    // Tells `listener` of every row this connection changes, until `owner`
    // clears it (CppSQLite3DB::SetRowListener).
    void SetRowListener(const void* owner, std::function<void(const char* table, long long rowId)> listener);
    void ClearRowListener(const void* owner);
    // Whether the file has a table named notes.
    bool HasTable();
    // Throws when the table notes is not one this program can write safely:
    // its id must be the table's integer primary key (the row's own number),
    // or one save could overwrite two notes and a new note's id match no row.
    void CheckTableShape();

    // Creates the table with its one first note, in one transaction; a failure
    // rolls the transaction back and is thrown.
    void CreateTable();
    // Every note with a parent (rows whose pid is NULL are nobody's child), read
    // in one pass, each parent's notes in id order. A NUL in a name, which no
    // label can show, comes as kNulMark. The first read of a file gives it an
    // index of the tree (kTreeIndexSql) when it has none: the tree is then read
    // from the index alone, without the pages of the texts (20 MB at 10,000
    // notes of 2 KB), each time another copy changed the file. A file that
    // can't take it (read-only, locked) is read from its table.
    RowsByParent ReadTreeRows();
    static const wchar_t kTreeIndexSql[];
    static constexpr wchar_t kNulMark = L'\u2400';
    // Empty text and position 0 for NULL columns and for a missing row.
    // The note as LoadNote reads it, and in the same read the data version it was
    // read at: one lock of the file instead of two (a note switch's share of the file).
    NoteContent LoadNote(long long noteId, long long& version);
    NoteContent LoadNote(long long noteId);
    // Every note's text by id (NULL texts empty), read in one pass: for writing
    // them all, a query per note costs more than the files.
    std::unordered_map<long long, std::wstring> ReadAllTexts();
    // The note's text (NULL reads empty); false when there is no such note.
    bool ReadText(long long noteId, std::wstring& text);
    void SaveNote(long long noteId, const std::wstring& text, int pos);

    // The changes to the tree check the file as it is, under the write lock
    // they change it with: another copy of the program may have deleted or
    // moved notes since this one read the tree. No change leaves a note that
    // no chain of parents joins to the top level. A change the file no longer
    // allows changes nothing and throws TreeChanged.
    class TreeChanged : public CException {
    public:
        TreeChanged();
    };
    // One row of the table.
    struct Row {
        long long id;
        long long parentId;
        std::wstring name;
        std::wstring text;
        int pos;
    };
    // Adds a note with an empty text under `parentId` (0: the top level); returns its id.
    long long AddNote(long long parentId, const std::wstring& name);
    void RenameNote(long long noteId, const std::wstring& name);
    // The note goes under `newParentId` (0: the top level), which must be
    // joined to the top level and not be the note or one of its subnotes.
    void MoveNote(long long noteId, long long newParentId);
    // Deletes the note with every note below it as the file holds them, and
    // returns their rows: the note first, each note before its subnotes.
    std::vector<Row> DeleteBranch(long long noteId);
    // Whether the note is there and its chain of parents reaches the top level.
    bool IsReachable(long long noteId);
    // Compacts the file.
    void Vacuum();

    // Adds a note with its text and position under `parentId` as `noteId`
    // (0: a free id, NewId's); returns its id.
    long long InsertNote(long long noteId, long long parentId, const std::wstring& name, const std::wstring& text,
                         int pos);
    bool HasNote(long long noteId);
    // Runs the statements as one transaction, rolled back when one throws
    // (whatever it throws), and the throw passed on. An immediate one takes
    // the write lock before its first read. Inside a transaction already open
    // they run as a part of it that a failure alone takes back.
    // `runCommit`, when given, is handed the commit to run (the import runs
    // it beside the messages: a long one would stop the window).
    using CommitRunner = std::function<void(const std::function<void()>& commit)>;
    void InTransaction(const std::function<void()>& statements, bool immediate = false,
                       const CommitRunner& runCommit = nullptr);
    // Whether a transaction is open: a step that lets messages through while
    // it runs (the import) holds one, and what they would write must wait.
    bool InTransaction() const;

    // Another copy of the program may use the same file (a shared or synchronised
    // folder). A save checks, under the write lock it writes with, that the
    // note still holds the text this program last read or wrote there.
    //
    // That text, and DataVersion() when it was true (read before the note was
    // read): while the version has not moved, nobody else wrote, and the
    // check needs no reading of the text.
    struct StoredText {
        std::wstring text;
        long long version = -1;
    };
    struct CheckedSave {
        enum class Outcome {
            Written,    // the note held that text (or the new one already): written
            Conflict,   // another copy changed it: it keeps that text, the new one went into a sibling
            Gone,       // another copy deleted it: nothing written
            Superseded  // the text was the one read, and another copy changed it since: it keeps `storedText`
        };
        Outcome outcome = Outcome::Written;
        // Conflict: the sibling that holds the text now, its parent and name,
        // and the name of the note that kept the other text.
        long long noteId = 0;
        long long parentId = 0;
        std::wstring name;
        std::wstring storedName;
        // Superseded: the text the note holds.
        std::wstring storedText;
        // DataVersion() under the write lock: the version the text written belongs to.
        long long version = -1;
    };
    // Writes the text into the note when it still holds `expected` (or `text`).
    // A `text` equal to `expected` is nobody's edit: when another copy changed
    // the note meanwhile, the note keeps that copy's text. On a conflict the text goes into a new sibling named after
    // the note with `conflictSuffix`. All in one transaction. A new note's id is above `idsInUse`: ids of deleted notes
    // come free again, and the caller's own saves still to come must not find another note under theirs.
    CheckedSave SaveNoteChecked(long long noteId, const std::wstring& text, int pos, const StoredText& expected,
                                const std::wstring& conflictSuffix, long long idsInUse);
    // Adds a note holding `text` under `parentId`, or at the top level when that
    // note is gone too (`parentId` then becomes 0); returns its id, which is above `idsInUse`.
    long long RestoreNote(long long& parentId, const std::wstring& name, const std::wstring& text, int pos,
                          long long idsInUse);
    // SQLite's count of changes committed by other connections since this one
    // opened the file: it stays the same as long as nobody else wrote.
    long long DataVersion();

    // The id for a new note: the next above every id of the file and above
    // `idsInUse` while that stays within kLargestNewId, else the smallest free
    // one. Throws when none is free.
    long long NewId(long long idsInUse = 0);

private:
    // Inserts a note under a new id (NewId's) and returns it.
    long long InsertNoteAbove(long long parentId, const std::wstring& name, const std::wstring& text, int pos,
                              long long idsInUse = 0);
    long long InsertRow(long long id, long long parentId, const std::wstring& name, const std::wstring& text, int pos);
    void KeepTreeIndex();

    CppSQLite3DB& m_db;
    bool m_bTreeIndexTried = false;  // since the file was opened
};
