// The database of the previous release ("notes.db"): the same table notes (id,
// pid, name, note, pos), but its texts are bytes in the system's ANSI code page.
// It is read through SQLite's 8-bit interface and carried into a file of the
// current format, row by row with the same ids and parents. The old file is only
// read. Like the rest of the storage code it shows nothing: each failure goes to
// the caller's report, and the conversion goes on where the old program did.
#pragma once

#include <functional>
#include <string>

namespace OldDatabase {

// Its file in the data folder.
inline constexpr const wchar_t* kFileName = L"notes.db";

enum class Failure {
    // The old path could not be converted for the library (no memory).
    PathMemory,
    // The old file could not be opened: the library's message. Nothing converted.
    Open,
    // "SELECT * FROM notes;" could not be prepared (no such table, not a
    // database): the library's message. Nothing converted.
    Read,
    // A step on the new file failed (its creation, a row, the commit, the
    // close), or the old rows could not all be read: the message. The other
    // rows are still carried over.
    Storage,
};
using Report = std::function<void(Failure failure, const std::wstring& message)>;

// Copies every row of the old file into `newPath` (created with the notes
// table, in one transaction). True when every step succeeded.
bool ConvertInto(const std::wstring& oldPath, const std::wstring& newPath, const Report& report);

}  // namespace OldDatabase
