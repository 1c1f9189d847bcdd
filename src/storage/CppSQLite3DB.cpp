#include "storage/CppSQLite3DB.h"

#include <sqlite3.h>

#include "framework/Utf8.h"

#include <utility>

CppSQLite3DB theDB;

namespace {

// Finalises a prepared statement on every way out of a scope, so that no
// failure leaves one behind to keep the connection from closing.
class StatementGuard {
public:
    explicit StatementGuard(sqlite3_stmt* stmt) : m_stmt(stmt) {}
    ~StatementGuard() {
        if (m_stmt)
            sqlite3_finalize(m_stmt);
    }
    StatementGuard(const StatementGuard&) = delete;
    StatementGuard& operator=(const StatementGuard&) = delete;

    sqlite3_stmt* Get() const { return m_stmt; }
    int Finalize() {
        int rc = sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        return rc;
    }
    sqlite3_stmt* Release() {
        sqlite3_stmt* stmt = m_stmt;
        m_stmt = nullptr;
        return stmt;
    }

private:
    sqlite3_stmt* m_stmt;
};

}  // namespace

CppSQLite3DB::CppSQLite3DB(int busyTimeoutMs) : m_db(nullptr), m_nBusyTimeoutMs(busyTimeoutMs) {}

CppSQLite3DB::~CppSQLite3DB() {
    try {
        Close();
    } catch (...) {
    }
}

void CppSQLite3DB::Open(const std::wstring& path) {
    OpenWith(path, false);
}

void CppSQLite3DB::OpenForReading(const std::wstring& path) {
    OpenWith(path, true);
}

void CppSQLite3DB::OpenWith(const std::wstring& path, bool forReading) {
    Close();
    sqlite3* db = nullptr;
    int rc = forReading ? sqlite3_open_v2(ToUtf8(path).c_str(), &db, SQLITE_OPEN_READONLY, nullptr)
                        : sqlite3_open16(path.c_str(), &db);
    if (rc != SQLITE_OK) {
        // SQLite hands back a connection handle even when opening fails; it
        // carries the error message and must still be closed, or it leaks. The
        // object stays closed.
        CppSQLite3Exception failure = SqliteFailure(rc, db);
        sqlite3_close(db);
        throw failure;
    }
    // An empty name or ":memory:" opens a private database that vanishes when
    // it is closed: everything written there would be lost without a word.
    const char* file = sqlite3_db_filename(db, "main");
    if (!file || !*file) {
        sqlite3_close(db);
        throw CppSQLite3Exception(SQLITE_CANTOPEN, L"not a database file: a temporary database is refused");
    }
    m_db = db;
    sqlite3_busy_timeout(m_db, m_nBusyTimeoutMs);
    sqlite3_update_hook(
        m_db,
        [](void* self, int, const char*, const char* table, sqlite3_int64 rowId) {
            static_cast<const CppSQLite3DB*>(self)->TellListener(table, rowId);
        },
        this);
    TellListener(nullptr, 0);
}

void CppSQLite3DB::SetRowListener(const void* owner, RowListener listener) {
    m_rowListener = std::move(listener);
    m_pRowListenerOwner = owner;
}

void CppSQLite3DB::ClearRowListener(const void* owner) {
    if (owner != m_pRowListenerOwner)
        return;
    m_rowListener = nullptr;
    m_pRowListenerOwner = nullptr;
}

void CppSQLite3DB::TellListener(const char* table, long long rowId) const noexcept {
    // SQLite calls in from C: nothing may be thrown through it.
    try {
        if (m_rowListener)
            m_rowListener(table, rowId);
    } catch (...) {
    }
}

void CppSQLite3DB::SetBusyTimeout(int busyTimeoutMs) {
    m_nBusyTimeoutMs = busyTimeoutMs;
    if (m_db)
        sqlite3_busy_timeout(m_db, m_nBusyTimeoutMs);
}

void CppSQLite3DB::Close() {
    if (!m_db)
        return;
    int rc = sqlite3_close(m_db);
    if (rc != SQLITE_OK)
        throw SqliteFailure(rc, m_db);
    m_db = nullptr;
    TellListener(nullptr, 0);
}

void CppSQLite3DB::CheckOpen() const {
    if (!m_db)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, L"Database not open");
}

int SqlValue::BindTo(sqlite3_stmt* stmt, int index, bool copy) const {
    switch (m_kind) {
        case Kind::Integer:
            return sqlite3_bind_int64(stmt, index, m_integer);
        case Kind::Text:
            // With its length in bytes: a NUL inside is part of the text.
            return sqlite3_bind_text16(stmt, index, m_text->data(), static_cast<int>(m_text->size() * sizeof(wchar_t)),
                                       copy ? SQLITE_TRANSIENT : SQLITE_STATIC);
        case Kind::Null:
            break;
    }
    return sqlite3_bind_null(stmt, index);
}

sqlite3_stmt* CppSQLite3DB::Prepare(const std::wstring& sql, SqlValues values, bool copyTexts) {
    CheckOpen();
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare16(m_db, sql.c_str(), -1, &stmt, nullptr);
    if (rc != SQLITE_OK)
        throw SqliteFailure(rc, m_db);
    StatementGuard guard(stmt);
    // A value without its "?" (or one missing) is a fault of the caller's, never
    // to be run with a NULL in its place.
    if (stmt && sqlite3_bind_parameter_count(stmt) != static_cast<int>(values.size()))
        throw CppSQLite3Exception(SQLITE_RANGE, L"the statement's parameters and the values given differ in number");
    int index = 1;
    for (const SqlValue& value : values) {
        rc = value.BindTo(stmt, index++, copyTexts);
        if (rc != SQLITE_OK)
            throw SqliteFailure(rc, m_db);
    }
    return guard.Release();
}

int CppSQLite3DB::ExecuteStatement(const std::wstring& sql, SqlValues values) {
    CheckOpen();
    for (;;) {
        StatementGuard stmt(Prepare(sql, values));
        if (!stmt.Get())
            return SQLITE_OK;
        int rc = sqlite3_step(stmt.Get());
        if (rc == SQLITE_ERROR) {
            // A statement compiled with the legacy prepare reports every failure
            // of a step as SQLITE_ERROR with the generic message "SQL logic
            // error"; finalising yields the real result (SQLITE_SCHEMA when the
            // schema changed under it) and puts the real message on the
            // connection. The code stays SQLITE_ERROR.
            std::wstring stepMessage = static_cast<const wchar_t*>(sqlite3_errmsg16(m_db));
            int finalRc = stmt.Finalize();
            if (finalRc == SQLITE_SCHEMA)
                continue;
            if (finalRc != SQLITE_OK)
                throw SqliteFailure(SQLITE_ERROR, m_db);
            throw CppSQLite3Exception(SQLITE_ERROR, stepMessage.c_str());
        }
        int finalRc = stmt.Finalize();
        if (finalRc == SQLITE_SCHEMA)
            continue;
        // A failure that shows only here (SQLITE_BUSY once the time-out has
        // passed, for one) means the statement did not take effect: throw it,
        // since a returned code would go unread and the change be lost silently.
        if (finalRc != SQLITE_OK)
            throw SqliteFailure(finalRc, m_db);
        return SQLITE_OK;
    }
}

CppSQLite3Query CppSQLite3DB::ExecuteQuery(const std::wstring& sql, SqlValues values) {
    CheckOpen();
    for (;;) {
        // The cursor outlives this call, and the texts given may not.
        StatementGuard stmt(Prepare(sql, values, true));
        if (!stmt.Get())
            throw CppSQLite3Exception(CPPSQLITE_ERROR, L"Null Virtual Machine pointer");
        int rc = sqlite3_step(stmt.Get());
        if (rc == SQLITE_DONE || rc == SQLITE_ROW)
            return CppSQLite3Query(m_db, stmt.Release(), rc == SQLITE_DONE);
        int finalRc = stmt.Finalize();
        if (finalRc == SQLITE_SCHEMA)
            continue;
        throw SqliteFailure(finalRc, m_db);
    }
}

long long CppSQLite3DB::ExecuteScalar(const std::wstring& sql, SqlValues values) {
    CppSQLite3Query query = ExecuteQuery(sql, values);
    if (!query.HasStatement())
        throw CppSQLite3Exception(CPPSQLITE_ERROR, L"Null Virtual Machine pointer");
    if (query.AtEnd() || query.m_nColumns < 1)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, L"Invalid scalar query");
    const long long value = query.Int64At(0, 0);
    query.Finish();
    return value;
}

bool CppSQLite3DB::InTransaction() const {
    return m_db && !sqlite3_get_autocommit(m_db);
}

bool CppSQLite3DB::HasTable(const std::wstring& name) {
    return ExecuteScalar(L"select count(*) from sqlite_master where type='table' and name=?", {name}) > 0;
}
