// A connection to one SQLite database file, in UTF-16 throughout. Every failure
// is thrown as CppSQLite3Exception. Each Execute... call prepares and finalises
// its own statement; cursors returned by ExecuteQuery may stay open while the
// same connection runs further statements.
#pragma once

#include "storage/CppSQLite3Exception.h"
#include "storage/CppSQLite3Query.h"

#include <functional>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

// How long a statement on the user's thread waits for another program's lock
// before it fails with SQLITE_BUSY: longer, and the window would stop answering.
constexpr int kUserThreadBusyWaitMs = 2000;

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

    // Runs a statement that returns no rows; returns 0.
    int ExecuteStatement(const std::wstring& sql);
    // Runs a query; the cursor stands on the first row or at the end.
    CppSQLite3Query ExecuteQuery(const std::wstring& sql);
    // The first column of the first row as a decimal integer; 0 for NULL.
    int ExecuteScalar(const std::wstring& sql);
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

    // Compiles the first statement of `sql`; the caller finalises it. Null when
    // the text holds no statement (only blanks or comments).
    sqlite3_stmt* Prepare(const std::wstring& sql);

private:
    void OpenWith(const std::wstring& path, bool forReading);
    void CheckOpen() const;
    void TellListener(const char* table, long long rowId) const noexcept;

    sqlite3* m_db;
    int m_nBusyTimeoutMs;
    RowListener m_rowListener;
    const void* m_rowListenerOwner = nullptr;
};

// The program's connection to its notes database.
extern CppSQLite3DB theDB;
