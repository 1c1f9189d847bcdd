// One verified copy of a database file, made through SQLite's online backup
// interface on connections of its own (never theDB), so it can run on any
// thread while the program goes on using the database.
//
// The copy is named "<database file name without extension> YYYY-MM-DD.db" in
// the given folder (created if missing). It is written to a temporary file in
// that folder first and only put in place after PRAGMA quick_check said "ok";
// then the copies of that database in the folder are thinned out by
// BackupsToRemove. A database that fails the check is not copied, and no copy
// is removed or replaced: a damaged file never rotates good copies away.
#pragma once

#include <string>

#include "storage/BackupRetention.h"

struct BackupResult {
    enum class Outcome {
        // The copy is in place. `message` is empty, or says which old copy
        // could not be removed (the new copy is good all the same).
        Copied,
        // The database failed its check; `message` has SQLite's finding.
        SourceDamaged,
        // Nothing was copied; `message` has the system's or SQLite's text.
        Failed,
    };
    Outcome outcome = Outcome::Failed;
    // The day's copy: where it is (Copied) or where it would have gone.
    std::wstring copyPath;
    std::wstring message;
};

namespace DatabaseBackup {

// "notes2 2026-12-08.db" for "C:\data\notes2.db" on that day.
std::wstring CopyName(const std::wstring& dbPath, BackupDate day);
// Whether `folder` holds the copy of `dbPath` made on `day`.
bool HasCopy(const std::wstring& dbPath, const std::wstring& folder, BackupDate day);
// Makes `today`'s copy of `dbPath` in `folder`, replacing one of the same day.
// Takes as long as the copy takes; throws only std::bad_alloc.
BackupResult MakeCopy(const std::wstring& dbPath, const std::wstring& folder, BackupDate today);
// The date on this computer's clock.
BackupDate Today();

}  // namespace DatabaseBackup
