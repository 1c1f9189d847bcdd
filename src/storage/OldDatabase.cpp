#include "storage/OldDatabase.h"

#include <windows.h>
#include <sqlite3.h>

#include <new>

#include "framework/Utf8.h"
#include "storage/CppSQLite3DB.h"
#include "storage/NotesStore.h"
#include "storage/SqliteText.h"

namespace OldDatabase {
namespace {

// A text column of the old file, whole (NULs included); NULL is empty text.
std::wstring AnsiColumn(sqlite3_stmt* row, int column) {
    const auto text = reinterpret_cast<const char*>(sqlite3_column_text(row, column));
    return FromCodePage(CP_ACP,
                        std::string_view(text ? text : "", static_cast<size_t>(sqlite3_column_bytes(row, column))));
}

}  // namespace

bool ConvertInto(const std::wstring& oldPath, const std::wstring& newPath, const Report& report) {
    std::string oldPathUtf8;
    try {
        oldPathUtf8 = ToUtf8(oldPath);
    } catch (const std::bad_alloc&) {
        report(Failure::PathMemory, std::wstring());
        return false;
    }

    sqlite3* old = nullptr;
    if (sqlite3_open(oldPathUtf8.c_str(), &old) != SQLITE_OK) {
        const std::wstring message =
            old ? static_cast<const wchar_t*>(sqlite3_errmsg16(old)) : std::wstring(L"out of memory");
        // A failed open still hands back a handle, which must be released.
        sqlite3_close(old);
        report(Failure::Open, message);
        return false;
    }
    sqlite3_stmt* rows = nullptr;
    if (sqlite3_prepare(old, "SELECT * FROM notes;", -1, &rows, nullptr) != SQLITE_OK) {
        const std::wstring message = FromUtf8(sqlite3_errmsg(old));
        sqlite3_finalize(rows);
        sqlite3_close(old);
        report(Failure::Read, message);
        return false;
    }

    bool succeeded = true;
    CppSQLite3DB target;
    auto guarded = [&](auto step) {
        try {
            step();
        } catch (const CppSQLite3Exception& e) {
            succeeded = false;
            report(Failure::Storage, e.Message());
        }
    };
    guarded([&] {
        target.Open(newPath);
        target.ExecuteStatement(L"begin transaction;");
        target.ExecuteStatement(NotesStore::kCreateTableSql);
    });
    // Without the new file there is nowhere to put a row: one message, not one per note.
    if (!succeeded) {
        sqlite3_finalize(rows);
        sqlite3_close(old);
        return false;
    }
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(rows)) == SQLITE_ROW) {
        const std::wstring name = AnsiColumn(rows, 2);
        const std::wstring note = AnsiColumn(rows, 3);
        const int pos = sqlite3_column_int(rows, 4);
        const long long id = sqlite3_column_int64(rows, 0);
        const long long pid = sqlite3_column_int64(rows, 1);
        guarded([&] { target.ExecuteStatement(L"INSERT INTO notes VALUES(?,?,?,?,?)", {id, pid, name, note, pos}); });
    }
    if (rc != SQLITE_DONE) {
        // The rows read so far are carried over; the rest could not be read.
        succeeded = false;
        report(Failure::Storage, FromUtf8(sqlite3_errmsg(old)));
    }
    sqlite3_finalize(rows);
    guarded([&] { target.ExecuteStatement(L"commit transaction;"); });
    sqlite3_close(old);
    guarded([&] { target.Close(); });
    return succeeded;
}

}  // namespace OldDatabase
