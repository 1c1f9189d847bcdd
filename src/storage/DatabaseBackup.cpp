#include "storage/DatabaseBackup.h"

#include <windows.h>
#include <sqlite3.h>

#include <utility>
#include <vector>

#include "framework/SystemError.h"
#include "framework/Folders.h"
#include "framework/KernelHandle.h"
#include "framework/Utf8.h"

namespace DatabaseBackup {
namespace {

// Pages copied under one read lock: small enough that the program's own writes
// wait only a moment, large enough that a big file needs few steps.
constexpr int kPagesPerStep = 256;
// How long the source may be locked by a writer before a step gives up, and how
// often a step that gave up is tried again.
constexpr int kBusyTimeoutMs = 250;
constexpr int kBusyRetries = 20;
constexpr int kBusyPauseMs = 100;
// A write by another connection between two steps starts the copy over; a file
// written that often is copied later rather than forever.
constexpr int kRestartLimit = 20;

std::wstring WithSlash(const std::wstring& folder) {
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/')
        return folder + L'\\';
    return folder;
}

std::wstring Stem(const std::wstring& dbPath) {
    const size_t slash = dbPath.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? dbPath : dbPath.substr(slash + 1);
    const size_t dot = name.rfind(L'.');
    return dot == std::wstring::npos || dot == 0 ? name : name.substr(0, dot);
}

bool SameTextIgnoringCase(const wchar_t* a, const std::wstring& b) {
    const int length = static_cast<int>(b.size());
    return ::CompareStringOrdinal(a, length, b.c_str(), length, TRUE) == CSTR_EQUAL;
}

bool IsDamage(int rc) {
    return (rc & 0xff) == SQLITE_CORRUPT || (rc & 0xff) == SQLITE_NOTADB;
}

// Closes the connection on every way out; sqlite3_close of null does nothing.
class Connection {
public:
    Connection() = default;
    ~Connection() { sqlite3_close(m_db); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // False with SQLite's message when the file cannot be opened.
    bool Open(const std::wstring& path, int flags, std::wstring& error) {
        const int rc = sqlite3_open_v2(ToUtf8(path).c_str(), &m_db, flags, nullptr);
        if (rc == SQLITE_OK)
            return true;
        error = m_db ? Error() : FromUtf8(sqlite3_errstr(rc));
        return false;
    }
    sqlite3* Get() const { return m_db; }
    std::wstring Error() const { return static_cast<const wchar_t*>(sqlite3_errmsg16(m_db)); }

private:
    sqlite3* m_db = nullptr;
};

// Deletes the temporary copy (and a journal SQLite may have left beside it)
// unless it was put in place.
class TemporaryFile {
public:
    explicit TemporaryFile(std::wstring path) : m_path(std::move(path)) {}
    ~TemporaryFile() {
        if (m_path.empty())
            return;
        ::DeleteFileW(m_path.c_str());
        ::DeleteFileW((m_path + L"-journal").c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::wstring& Path() const { return m_path; }
    void Release() { m_path.clear(); }

private:
    std::wstring m_path;
};

struct StepFailure {
    int code = SQLITE_OK;
    std::wstring message;
};

// Copies every page of `source` into `dest`, a few at a time.
StepFailure CopyPages(sqlite3* source, sqlite3* dest) {
    sqlite3_backup* backup = sqlite3_backup_init(dest, "main", source, "main");
    if (!backup)
        return {sqlite3_errcode(dest), static_cast<const wchar_t*>(sqlite3_errmsg16(dest))};
    int rc = SQLITE_OK;
    int busyRetries = 0;
    int restarts = 0;
    int lastRemaining = -1;
    std::wstring ownMessage;
    while ((rc = sqlite3_backup_step(backup, kPagesPerStep)) != SQLITE_DONE) {
        if (rc == SQLITE_OK) {
            const int remaining = sqlite3_backup_remaining(backup);
            if (lastRemaining >= 0 && remaining > lastRemaining && ++restarts > kRestartLimit) {
                rc = SQLITE_BUSY;
                ownMessage = L"the database kept changing while it was copied";
                break;
            }
            lastRemaining = remaining;
            // Lets a writer that waits for the lock take it between two steps.
            ::Sleep(1);
        } else if ((rc == SQLITE_BUSY || rc == SQLITE_LOCKED) && ++busyRetries <= kBusyRetries) {
            sqlite3_sleep(kBusyPauseMs);
        } else {
            break;
        }
    }
    const int finishRc = sqlite3_backup_finish(backup);
    if (rc == SQLITE_DONE && finishRc == SQLITE_OK)
        return {};
    // A lasting failure leaves its message on the destination; a busy source
    // does not, so its message is the code's own.
    if (finishRc != SQLITE_OK)
        return {finishRc, static_cast<const wchar_t*>(sqlite3_errmsg16(dest))};
    return {rc, ownMessage.empty() ? FromUtf8(sqlite3_errstr(rc)) : ownMessage};
}

// Runs PRAGMA quick_check on the file. Its rows, or a failure to run it.
StepFailure QuickCheck(const std::wstring& path, std::vector<std::wstring>& rows) {
    Connection copy;
    std::wstring error;
    if (!copy.Open(path, SQLITE_OPEN_READONLY, error))
        return {SQLITE_CANTOPEN, error};
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(copy.Get(), "PRAGMA quick_check", -1, &stmt, nullptr);
    while (rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const void* text = sqlite3_column_text16(stmt, 0);
        rows.push_back(text ? static_cast<const wchar_t*>(text) : L"");
        rc = SQLITE_OK;
    }
    sqlite3_finalize(stmt);
    if (rc == SQLITE_DONE)
        return {};
    return {rc, copy.Error()};
}

// SQLite lists up to a hundred findings; the first few say enough to the user.
std::wstring FirstLines(const std::wstring& text) {
    constexpr int kLines = 4;
    size_t end = 0;
    for (int line = 0; line < kLines && end != std::wstring::npos; ++line)
        end = text.find(L'\n', end + (line ? 1 : 0));
    return text.substr(0, end);
}

struct FoundCopy {
    BackupDate date;
    std::wstring name;
};

// The files in the folder named "<stem> YYYY-MM-DD.db" with a valid date.
std::vector<FoundCopy> CopiesIn(const std::wstring& folder, const std::wstring& stem) {
    std::vector<FoundCopy> copies;
    WIN32_FIND_DATAW found;
    const FindHandle find(::FindFirstFileW((folder + L"*").c_str(), &found));
    if (!find)
        return copies;
    const std::wstring suffix = L".db";
    do {
        const std::wstring name = found.cFileName;
        const size_t dateAt = stem.size() + 1;
        BackupDate date;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || name.size() != dateAt + 10 + suffix.size() ||
            !SameTextIgnoringCase(name.c_str(), stem) || name[stem.size()] != L' ' ||
            !SameTextIgnoringCase(name.c_str() + dateAt + 10, suffix) || !ParseDateText(name.substr(dateAt, 10), date))
            continue;
        copies.push_back({date, name});
    } while (::FindNextFileW(find.get(), &found));
    return copies;
}

// Removes the copies the retention rule drops; the first failure, if any.
std::wstring ApplyRetention(const std::wstring& folder, const std::wstring& stem, BackupDate today) {
    const std::vector<FoundCopy> copies = CopiesIn(folder, stem);
    std::vector<BackupDate> dates;
    for (const FoundCopy& copy : copies)
        dates.push_back(copy.date);
    std::wstring failure;
    for (const BackupDate& date : BackupsToRemove(dates, today)) {
        for (const FoundCopy& copy : copies) {
            if (copy.date != date || ::DeleteFileW((folder + copy.name).c_str()) || !failure.empty())
                continue;
            failure = L"The old backup \"" + folder + copy.name + L"\" could not be removed: " +
                      SystemErrorReason(::GetLastError());
        }
    }
    return failure;
}

// Removes the temporary files of copies that never finished (the program was
// killed, or Windows ended, while it copied): full-size files nobody would
// ever remove. Only those untouched for an hour: a copy under way in another
// copy of the program writes its file all the time.
void RemoveLeftovers(const std::wstring& folder) {
    constexpr ULONGLONG kHour = 60ULL * 60 * 10000000;
    FILETIME nowTime;
    ::GetSystemTimeAsFileTime(&nowTime);
    const ULONGLONG now = (static_cast<ULONGLONG>(nowTime.dwHighDateTime) << 32) | nowTime.dwLowDateTime;
    WIN32_FIND_DATAW found;
    const FindHandle find(::FindFirstFileW((folder + L"tlb*.tmp*").c_str(), &found));
    if (!find)
        return;
    do {
        const std::wstring name = found.cFileName;
        const bool leftover =
            SameTextIgnoringCase(name.c_str() + name.size() - 4, L".tmp") ||
            (name.size() > 12 && SameTextIgnoringCase(name.c_str() + name.size() - 12, L".tmp-journal"));
        const ULONGLONG written =
            (static_cast<ULONGLONG>(found.ftLastWriteTime.dwHighDateTime) << 32) | found.ftLastWriteTime.dwLowDateTime;
        if (leftover && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && written + kHour < now)
            ::DeleteFileW((folder + name).c_str());
    } while (::FindNextFileW(find.get(), &found));
}

BackupResult Failure(BackupResult result, BackupResult::Outcome outcome, std::wstring message) {
    result.outcome = outcome;
    result.message = std::move(message);
    return result;
}

}  // namespace

std::wstring CopyName(const std::wstring& dbPath, BackupDate day) {
    return Stem(dbPath) + L' ' + DateText(day) + L".db";
}

bool HasCopy(const std::wstring& dbPath, const std::wstring& folder, BackupDate day) {
    const DWORD attributes = ::GetFileAttributesW((WithSlash(folder) + CopyName(dbPath, day)).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

BackupDate Today() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

BackupResult MakeCopy(const std::wstring& dbPath, const std::wstring& folderPath, BackupDate today) {
    using Outcome = BackupResult::Outcome;
    const std::wstring folder = WithSlash(folderPath);
    BackupResult result;
    result.copyPath = folder + CopyName(dbPath, today);

    if (!CreateFolderPath(folder)) {
        const DWORD error = ::GetLastError();
        return Failure(result, Outcome::Failed,
                       L"Could not create the backup folder \"" + folderPath + L"\": " + SystemErrorReason(error));
    }

    RemoveLeftovers(folder);

    // Read-only: a missing database fails here instead of being created empty.
    Connection source;
    std::wstring error;
    if (!source.Open(dbPath, SQLITE_OPEN_READONLY, error))
        return Failure(result, Outcome::Failed, L"Could not open \"" + dbPath + L"\": " + error);
    sqlite3_busy_timeout(source.Get(), kBusyTimeoutMs);

    wchar_t tempPath[MAX_PATH];
    if (!::GetTempFileNameW(folder.c_str(), L"tlb", 0, tempPath))
        return Failure(result, Outcome::Failed,
                       L"Could not create a file in \"" + folderPath + L"\": " + SystemErrorReason(::GetLastError()));
    TemporaryFile temp(tempPath);

    {
        Connection dest;
        if (!dest.Open(temp.Path(), SQLITE_OPEN_READWRITE, error))
            return Failure(result, Outcome::Failed, L"Could not open \"" + temp.Path() + L"\": " + error);
        const StepFailure copied = CopyPages(source.Get(), dest.Get());
        if (copied.code != SQLITE_OK) {
            const Outcome outcome = IsDamage(copied.code) ? Outcome::SourceDamaged : Outcome::Failed;
            return Failure(result, outcome, L"Could not copy \"" + dbPath + L"\": " + copied.message);
        }
    }

    std::vector<std::wstring> findings;
    const StepFailure checked = QuickCheck(temp.Path(), findings);
    if (checked.code != SQLITE_OK) {
        const Outcome outcome = IsDamage(checked.code) ? Outcome::SourceDamaged : Outcome::Failed;
        return Failure(result, outcome, L"Could not check the copy of \"" + dbPath + L"\": " + checked.message);
    }
    if (findings.size() != 1 || findings[0] != L"ok") {
        const std::wstring finding = findings.empty() ? L"no result" : FirstLines(findings[0]);
        return Failure(result, Outcome::SourceDamaged, L"\"" + dbPath + L"\" is damaged: " + finding);
    }

    if (!::MoveFileExW(temp.Path().c_str(), result.copyPath.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return Failure(
            result, Outcome::Failed,
            L"Could not save the backup \"" + result.copyPath + L"\": " + SystemErrorReason(::GetLastError()));
    temp.Release();

    result.outcome = Outcome::Copied;
    result.message = ApplyRetention(folder, Stem(dbPath), today);
    return result;
}

}  // namespace DatabaseBackup
