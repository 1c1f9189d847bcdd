#include "storage/DatabaseCopy.h"

#include <windows.h>
#include <sqlite3.h>

#include <cwchar>
#include <utility>
#include <vector>

#include "framework/SystemError.h"
#include "framework/Utf8.h"

namespace DatabaseCopy {
namespace {

using Outcome = CopyResult::Outcome;

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
        if (rc == SQLITE_OK) {
            sqlite3_busy_timeout(m_db, kBusyTimeoutMs);
            return true;
        }
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

// The first value of a one-column statement on `db`, read as text, in `rows`.
StepFailure ReadColumn(const Connection& db, const char* sql, std::vector<std::wstring>& rows) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db.Get(), sql, -1, &stmt, nullptr);
    while (rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const void* text = sqlite3_column_text16(stmt, 0);
        rows.push_back(text ? static_cast<const wchar_t*>(text) : L"");
        rc = SQLITE_OK;
    }
    sqlite3_finalize(stmt);
    if (rc == SQLITE_DONE)
        return {};
    return {rc, db.Error()};
}

// SQLite lists up to a hundred findings; the first few say enough to the user.
std::wstring FirstLines(const std::wstring& text) {
    constexpr int kLines = 4;
    size_t end = 0;
    for (int line = 0; line < kLines && end != std::wstring::npos; ++line)
        end = text.find(L'\n', end + (line ? 1 : 0));
    return text.substr(0, end);
}

// Runs PRAGMA quick_check on the file at `path`: Copied when it is sound, else
// what is wrong in SQLite's words.
CopyResult Check(const std::wstring& path) {
    Connection db;
    std::wstring error;
    if (!db.Open(path, SQLITE_OPEN_READONLY, error))
        return {Outcome::Failed, error};
    std::vector<std::wstring> findings;
    const StepFailure checked = ReadColumn(db, "PRAGMA quick_check", findings);
    if (checked.code != SQLITE_OK)
        return {IsDamage(checked.code) ? Outcome::SourceDamaged : Outcome::Failed, checked.message};
    if (findings.size() != 1 || findings[0] != L"ok")
        return {Outcome::SourceDamaged, findings.empty() ? L"no result" : FirstLines(findings[0])};
    return {Outcome::Copied, {}};
}

// The check of `path` as a message that names `named`.
CopyResult CheckNaming(const std::wstring& path, const std::wstring& named) {
    CopyResult checked = Check(path);
    if (checked.outcome == Outcome::SourceDamaged)
        checked.message = L"\"" + named + L"\" is damaged: " + checked.message;
    else if (checked.outcome == Outcome::Failed)
        checked.message = L"Could not check \"" + named + L"\": " + checked.message;
    return checked;
}

std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? L"." : path.substr(0, slash + 1);
}

}  // namespace

CopyResult ToFile(const std::wstring& source, const std::wstring& target) {
    // Read-only: a missing database fails here instead of being created empty.
    Connection from;
    std::wstring error;
    if (!from.Open(source, SQLITE_OPEN_READONLY, error))
        return {Outcome::Failed, L"Could not open \"" + source + L"\": " + error};

    wchar_t tempPath[MAX_PATH];
    if (!::GetTempFileNameW(FolderOf(target).c_str(), L"tlb", 0, tempPath))
        return {Outcome::Failed,
                L"Could not create a file in \"" + FolderOf(target) + L"\": " + SystemErrorReason(::GetLastError())};
    TemporaryFile temp(tempPath);
    {
        Connection to;
        if (!to.Open(temp.Path(), SQLITE_OPEN_READWRITE, error))
            return {Outcome::Failed, L"Could not open \"" + temp.Path() + L"\": " + error};
        const StepFailure copied = CopyPages(from.Get(), to.Get());
        if (copied.code != SQLITE_OK)
            return {IsDamage(copied.code) ? Outcome::SourceDamaged : Outcome::Failed,
                    L"Could not copy \"" + source + L"\": " + copied.message};
    }
    // The copy holds what the source held: its damage is the source's.
    const CopyResult checked = CheckNaming(temp.Path(), source);
    if (checked.outcome != Outcome::Copied)
        return checked;
    if (!::MoveFileExW(temp.Path().c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return {Outcome::Failed,
                L"Could not save the copy \"" + target + L"\": " + SystemErrorReason(::GetLastError())};
    temp.Release();
    return {Outcome::Copied, {}};
}

CopyResult Over(const std::wstring& source, const std::wstring& target) {
    const CopyResult checked = CheckNaming(source, source);
    if (checked.outcome != Outcome::Copied)
        return checked;
    Connection from;
    Connection to;
    std::wstring error;
    if (!from.Open(source, SQLITE_OPEN_READONLY, error))
        return {Outcome::Failed, L"Could not open \"" + source + L"\": " + error};
    // Without SQLITE_OPEN_CREATE: a file that went away is not made anew.
    if (!to.Open(target, SQLITE_OPEN_READWRITE, error))
        return {Outcome::Failed, L"Could not open \"" + target + L"\": " + error};
    const StepFailure copied = CopyPages(from.Get(), to.Get());
    if (copied.code != SQLITE_OK)
        return {Outcome::Failed, L"Could not copy \"" + source + L"\" into \"" + target + L"\": " + copied.message};
    return {Outcome::Copied, {}};
}

Inspection Inspect(const std::wstring& path) {
    Inspection inspection;
    const CopyResult checked = Check(path);
    inspection.sound = checked.outcome == Outcome::Copied;
    inspection.finding = checked.message;
    if (!inspection.sound)
        return inspection;
    Connection db;
    std::wstring error;
    std::vector<std::wstring> count;
    if (db.Open(path, SQLITE_OPEN_READONLY, error) &&
        ReadColumn(db, "SELECT count(*) FROM notes", count).code == SQLITE_OK && count.size() == 1)
        inspection.notes = std::wcstoll(count[0].c_str(), nullptr, 10);
    return inspection;
}

}  // namespace DatabaseCopy
