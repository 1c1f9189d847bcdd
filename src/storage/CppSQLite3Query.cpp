#include "storage/CppSQLite3Query.h"

#include <sqlite3.h>

#include <cwchar>
#include <utility>

namespace {
const int kNullType = SQLITE_NULL;
}  // namespace

CppSQLite3Query::CppSQLite3Query(sqlite3* db, sqlite3_stmt* stmt, bool atEnd)
    : m_db(db),
      m_stmt(stmt),
      m_bAtEnd(atEnd),
      m_nColumns(stmt ? sqlite3_column_count(stmt) : 0),
      m_bOwnsStatement(true) {}

CppSQLite3Query::CppSQLite3Query(CppSQLite3Query&& other) noexcept
    : m_db(other.m_db),
      m_stmt(std::exchange(other.m_stmt, nullptr)),
      m_bAtEnd(other.m_bAtEnd),
      m_nColumns(other.m_nColumns),
      m_bOwnsStatement(std::exchange(other.m_bOwnsStatement, false)) {}

CppSQLite3Query& CppSQLite3Query::operator=(CppSQLite3Query&& other) noexcept {
    if (this != &other) {
        // The statement held so far is dropped just as the destructor drops it.
        try {
            Finish();
        } catch (...) {
        }
        m_db = other.m_db;
        m_stmt = std::exchange(other.m_stmt, nullptr);
        m_bAtEnd = other.m_bAtEnd;
        m_nColumns = other.m_nColumns;
        m_bOwnsStatement = std::exchange(other.m_bOwnsStatement, false);
    }
    return *this;
}

CppSQLite3Query::~CppSQLite3Query() {
    try {
        Finish();
    } catch (...) {
    }
}

void CppSQLite3Query::CheckStatement() const {
    if (!m_stmt)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, L"Null Virtual Machine pointer");
}

bool CppSQLite3Query::AtEnd() const {
    CheckStatement();
    return m_bAtEnd;
}

void CppSQLite3Query::Advance() {
    CheckStatement();
    // Stepping a statement that has already reported its end would start it
    // over from the first row; a cursor at the end stays there.
    if (m_bAtEnd)
        return;
    int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_DONE) {
        m_bAtEnd = true;
    } else if (rc != SQLITE_ROW) {
        // With the legacy prepare the step reports only a generic error; the
        // real result and its message come from finalising.
        int finalRc = sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw SqliteFailure(finalRc, m_db);
    }
}

void CppSQLite3Query::Finish() {
    if (!m_stmt || !m_bOwnsStatement)
        return;
    int rc = sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
    if (rc != SQLITE_OK)
        throw SqliteFailure(rc, m_db);
}

int CppSQLite3Query::ColumnIndex(const wchar_t* name) const {
    CheckStatement();
    if (name) {
        for (int i = 0; i < m_nColumns; ++i) {
            auto columnName = static_cast<const wchar_t*>(sqlite3_column_name16(m_stmt, i));
            if (columnName && std::wcscmp(name, columnName) == 0)
                return i;
        }
    }
    throw CppSQLite3Exception(CPPSQLITE_ERROR, L"Invalid field name requested");
}

int CppSQLite3Query::ColumnType(int index) const {
    CheckStatement();
    if (index < 0 || index > m_nColumns - 1)
        throw CppSQLite3Exception(CPPSQLITE_ERROR, L"Invalid field index requested");
    // Asked without a current row SQLite answers NULL too, but also records a
    // range error on the connection; answer here and leave its state alone.
    if (m_bAtEnd)
        return kNullType;
    return sqlite3_column_type(m_stmt, index);
}

int CppSQLite3Query::IntByName(const wchar_t* name, int defaultValue) const {
    int index = ColumnIndex(name);
    if (ColumnType(index) == kNullType)
        return defaultValue;
    return sqlite3_column_int(m_stmt, index);
}

long long CppSQLite3Query::Int64ByName(const wchar_t* name, long long defaultValue) const {
    return Int64At(ColumnIndex(name), defaultValue);
}

long long CppSQLite3Query::Int64At(int index, long long defaultValue) const {
    if (ColumnType(index) == kNullType)
        return defaultValue;
    return sqlite3_column_int64(m_stmt, index);
}

std::wstring CppSQLite3Query::TextByName(const wchar_t* name, const wchar_t* defaultValue) const {
    return TextAt(ColumnIndex(name), defaultValue);
}

std::wstring CppSQLite3Query::TextAt(int index, const wchar_t* defaultValue) const {
    if (ColumnType(index) == kNullType)
        return defaultValue;
    auto text = static_cast<const wchar_t*>(sqlite3_column_text16(m_stmt, index));
    if (!text) {
        // SQLite hands out no text for a value it could not convert (out of
        // memory); an empty value (say, a zero-length blob) reads as "".
        if (sqlite3_errcode(m_db) == SQLITE_NOMEM)
            throw SqliteFailure(SQLITE_NOMEM, m_db);
        return std::wstring();
    }
    // The length after the text itself was asked for: that conversion sets it.
    return std::wstring(text, static_cast<size_t>(sqlite3_column_bytes16(m_stmt, index)) / sizeof(wchar_t));
}
