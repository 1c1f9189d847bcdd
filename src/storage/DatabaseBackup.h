// The verified copies of a database file in the backup folder (created if
// missing): the day's copy, which thins out the older ones of its series by
// BackupsToRemove, and the copy made before a restore. Each is a checked
// DatabaseCopy: a database that fails the check is not copied, and no copy is
// removed or replaced, so a damaged file never rotates good copies away. The
// thinning never removes the database file in use, nor the one about to be used.
#pragma once

#include <windows.h>

#include <string>

#include "storage/BackupRetention.h"
#include "storage/BackupSeries.h"
#include "storage/DatabaseCopy.h"

struct BackupResult {
    // Copied: `message` is empty, or says which old copy could not be removed
    // (the new copy is good all the same).
    using Outcome = CopyResult::Outcome;
    Outcome outcome = Outcome::Failed;
    // The database file copied.
    std::wstring dbPath;
    // The copy: where it is (Copied) or where it would have gone.
    std::wstring copyPath;
    std::wstring message;
};

namespace DatabaseBackup {

// Whether `folder` holds the copy of the series made on `day`.
bool HasCopy(const BackupSeries& series, const std::wstring& folder, BackupDate day);
// Makes `today`'s copy of the series' database in `folder`, replacing one of the
// same day; the thinning that follows leaves `alsoKeep` (a file about to be
// used) alone. Takes as long as the copy takes; throws only std::bad_alloc.
BackupResult MakeCopy(const BackupSeries& series, const std::wstring& folder, BackupDate today,
                      const std::wstring& alsoKeep = std::wstring());
// Makes the copy kept before a restore, named after the moment `at`.
BackupResult MakeUndoCopy(const BackupSeries& series, const std::wstring& folder, const SYSTEMTIME& at);
// The date on this computer's clock.
BackupDate Today();

}  // namespace DatabaseBackup
