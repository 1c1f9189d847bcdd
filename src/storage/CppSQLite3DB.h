// A connection to one SQLite database file, in UTF-16 throughout. Every failure
// is thrown as CppSQLite3Exception. Each Execute... call prepares and finalises
// its own statement; cursors returned by ExecuteQuery may stay open while the
// same connection runs further statements.
//
// Values never become SQL text: a statement names each with a "?" and the
// call passes them in order, bound as what they are (a text of any content,
// lone surrogates, quotes and NULs included, stays a text).
#pragma once

#include "storage/CppSQLite3Exception.h"
#include "storage/CppSQLite3Query.h"

#include <functional>
#include <initializer_list>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

// How long a statement on the user's thread waits for another program's lock
// before it fails with SQLITE_BUSY: longer, and the window would stop answering.
constexpr int kUserThreadBusyWaitMs = 2000;

// One value for a statement's "?": NULL, a 64-bit integer or a text. A text is
// referred to, not copied: it must outlive the call it is passed to.
class SqlValue {
public:
    SqlValue(std::nullptr_t) {}
    SqlValue(int value) : m_kind(Kind::Integer), m_integer(value) {}
    SqlValue(long long value) : m_kind(Kind::Integer), m_integer(value) {}
    SqlValue(const std::wstring& text) : m_kind(Kind::Text), m_text(&text) {}

    // Binds the value as parameter `index` (1-based) of `stmt`; `copy`: SQLite
    // keeps its own copy of a text (for a statement that outlives the call).
    int BindTo(sqlite3_stmt* stmt, int index, bool copy) const;

private:
    enum class Kind { Null, Integer, Text };
    Kind m_kind = Kind::Null;
    long long m_integer = 0;
    const std::wstring* m_text = nullptr;
};
using SqlValues = std::initializer_list<SqlValue>;

class CppSQLite3DB {
public:
    // The time-out is how long a statement waits for a lock held by another
    // connection before it fails with SQLITE_BUSY.
    explicit CppSQLite3DB(int busyTimeoutMs = kUserThreadBusyWaitMs);
    // Closes the connection; a failure to close is swallowed.
    virtual ~CppSQLite3DB();
    CppSQLite3DB(const CppSQLite3DB&) = delete;
    CppSQLite3DB& operator=(const CppSQLite3DB&) = delete;

    // Opens (creating it if absent) the database file. An open connection is
    // closed first. On failure the object stays closed. A name that SQLite
    // would open as a temporary or in-memory database ("" or ":memory:") is
    // refused with SQLITE_CANTOPEN: nothing written there would last.
    void Open(const std::wstring& path);
    // Opens an existing database file for reading only: a missing file fails
    // instead of being created.
    void OpenForReading(const std::wstring& path);
    // How long statements wait for another connection's lock from now on.
    void SetBusyTimeout(int busyTimeoutMs);
    // Does nothing when closed. If SQLite refuses (a cursor is still open) it
    // throws and the connection stays open.
    void Close();
    bool IsOpen() const { return m_db != nullptr; }
    // True while a transaction this connection began is open.
    bool InTransaction() const;

    // Runs a statement that returns no rows, with `values` bound to its "?"s; returns 0.
    int ExecuteStatement(const std::wstring& sql, SqlValues values = {});
    // Runs a query with `values` bound; the cursor stands on the first row or at the end.
    CppSQLite3Query ExecuteQuery(const std::wstring& sql, SqlValues values = {});
    // The first column of the first row as a 64-bit integer; 0 for NULL.
    long long ExecuteScalar(const std::wstring& sql, SqlValues values = {});
    bool HasTable(const std::wstring& name);

    // Told, on the thread that runs the statement, of every row this connection
    // inserts, updates or deletes (also in a transaction later rolled back),
    // with the table's name and the row's id; and with a null table when the
    // connection opens or closes, since every row may then differ. One
    // listener at a time, set by `owner`; clearing is left to the owner of the
    // listener in place, so that an earlier owner going never takes away a
    // later one's.
    using RowListener = std::function<void(const char* table, long long rowId)>;
    void SetRowListener(const void* owner, RowListener listener);
    void ClearRowListener(const void* owner);

    // Compiles the first statement of `sql` and binds `values` to it (texts
    // copied when `copyTexts`); the caller finalises it. Null when the text
    // holds no statement (only blanks or comments).
    sqlite3_stmt* Prepare(const std::wstring& sql, SqlValues values = {}, bool copyTexts = false);

private:
    void OpenWith(const std::wstring& path, bool forReading);
    void CheckOpen() const;
    void TellListener(const char* table, long long rowId) const noexcept;

    sqlite3* m_db;
    int m_nBusyTimeoutMs;
    RowListener m_rowListener;
    const void* m_pRowListenerOwner = nullptr;
};

// The program's connection to its notes database.
extern CppSQLite3DB theDB;
