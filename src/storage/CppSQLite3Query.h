// A forward-only cursor over one prepared statement, as handed out by
// CppSQLite3DB::ExecuteQuery. It stands on the first row (or at the end) when
// created, owns its statement and finalises it when finished or destroyed.
// Cursors move but are never copied. Every operation but Finish and
// HasStatement throws CPPSQLITE_ERROR "Null Virtual Machine pointer" once the
// statement is gone.
#pragma once

#include <string>

#include "storage/CppSQLite3Exception.h"

struct sqlite3;
struct sqlite3_stmt;

class CppSQLite3Query {
public:
    // Takes ownership of `stmt`, which belongs to the connection `db`; `atEnd`
    // tells whether the first step already reported that there is no row.
    CppSQLite3Query(sqlite3* db, sqlite3_stmt* stmt, bool atEnd);
    CppSQLite3Query(CppSQLite3Query&& other) noexcept;
    CppSQLite3Query& operator=(CppSQLite3Query&& other) noexcept;
    CppSQLite3Query(const CppSQLite3Query&) = delete;
    CppSQLite3Query& operator=(const CppSQLite3Query&) = delete;
    // Finishes the statement; a failure to finalise is swallowed.
    virtual ~CppSQLite3Query();

    bool HasStatement() const { return m_stmt != nullptr; }
    bool AtEnd() const;
    // Moves to the next row; at the end it stays there.
    void Advance();
    // Finalises the statement, if this cursor owns one.
    void Finish();

    // Index of the first result column named exactly `name` (case-sensitive).
    int ColumnIndex(const wchar_t* name) const;
    // SQLite's storage type of the column in the current row; 5 (NULL) when the
    // cursor stands on no row.
    int ColumnType(int index) const;
    int IntByName(const wchar_t* name, int defaultValue) const;
    long long Int64ByName(const wchar_t* name, long long defaultValue) const;
    // The whole text, read with its length: a NUL inside it is kept.
    std::wstring TextByName(const wchar_t* name, const wchar_t* defaultValue) const;
    // The same by the column's index (ColumnIndex), for loops over many rows.
    long long Int64At(int index, long long defaultValue) const;
    std::wstring TextAt(int index, const wchar_t* defaultValue) const;

private:
    friend class CppSQLite3DB;

    void CheckStatement() const;

    sqlite3* m_db;
    sqlite3_stmt* m_stmt;
    bool m_bAtEnd;
    int m_nColumns;
    bool m_bOwnsStatement;
};
