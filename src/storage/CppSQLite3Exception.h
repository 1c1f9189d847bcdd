// The one failure type of the storage code: an SQLite result code (or the
// layer's own CPPSQLITE_ERROR) and a message formatted once, at creation, as
// "NAME[code]: detail". A CException, so one that escapes a window's handler
// is shown with its own message.
#pragma once

#include <string>

#include "framework/Exception.h"

struct sqlite3;

// The storage layer's own failure code (a misuse the layer itself detects).
constexpr int CPPSQLITE_ERROR = 1000;

class CppSQLite3Exception : public CException {
public:
    // `detail` may be null; the message then ends after "]: ".
    CppSQLite3Exception(int code, const wchar_t* detail);
    CppSQLite3Exception(const CppSQLite3Exception&) = default;
    CppSQLite3Exception& operator=(const CppSQLite3Exception&) = default;
    ~CppSQLite3Exception() override;

    int Code() const { return m_nCode; }

private:
    int m_nCode;
};

// The constant name of an SQLite result code or CPPSQLITE_ERROR; "UNKNOWN_ERROR"
// for any other code.
const wchar_t* ErrorCodeName(int code);

// An exception with `code` and the connection's current error message.
CppSQLite3Exception SqliteFailure(int code, sqlite3* db);
