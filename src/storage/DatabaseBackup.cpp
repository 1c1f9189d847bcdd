#include "storage/DatabaseBackup.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "framework/Folders.h"
#include "framework/KernelHandle.h"
#include "framework/SameFile.h"
#include "framework/SystemError.h"

namespace DatabaseBackup {
namespace {

using Outcome = BackupResult::Outcome;

std::wstring WithSlash(const std::wstring& folder) {
    if (!folder.empty() && folder.back() != L'\\' && folder.back() != L'/')
        return folder + L'\\';
    return folder;
}

bool SameTextIgnoringCase(const wchar_t* a, const std::wstring& b) {
    const int length = static_cast<int>(b.size());
    return ::CompareStringOrdinal(a, length, b.c_str(), length, TRUE) == CSTR_EQUAL;
}

// The dates of the copies of one kind.
std::vector<BackupDate> DatesOf(const std::vector<BackupSeries::Copy>& copies, BackupSeries::Kind kind) {
    std::vector<BackupDate> dates;
    for (const BackupSeries::Copy& copy : copies) {
        if (copy.kind == kind)
            dates.push_back(copy.date);
    }
    return dates;
}

// Removes the copies the retention rule drops, except the files in `keep`;
// the first failure, if any.
std::wstring ApplyRetention(const BackupSeries& series, const std::wstring& folder, BackupDate today,
                            const std::vector<std::wstring>& keep) {
    const std::vector<BackupSeries::Copy> copies = series.CopiesIn(folder);
    std::vector<std::pair<BackupSeries::Kind, BackupDate>> dropped;
    for (BackupSeries::Kind kind : {BackupSeries::Kind::Daily, BackupSeries::Kind::Unmarked}) {
        for (const BackupDate& date : BackupsToRemove(DatesOf(copies, kind), today))
            dropped.push_back({kind, date});
    }
    std::wstring failure;
    for (const BackupSeries::Copy& copy : copies) {
        const bool drop =
            copy.kind == BackupSeries::Kind::Undo
                ? UndoCopyExpired(copy.date, today)
                : std::find(dropped.begin(), dropped.end(), std::make_pair(copy.kind, copy.date)) != dropped.end();
        const std::wstring path = folder + copy.name;
        if (!drop || std::any_of(keep.begin(), keep.end(),
                                 [&](const std::wstring& kept) { return !kept.empty() && IsSameFile(kept, path); }))
            continue;
        if (::DeleteFileW(path.c_str()) || !failure.empty())
            continue;
        failure = L"The old backup \"" + path + L"\" could not be removed: " + SystemErrorReason(::GetLastError());
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

// Copies the series' database into `folder` (made if missing) as `name`.
BackupResult Copy(const BackupSeries& series, const std::wstring& folderPath, const std::wstring& name) {
    BackupResult result;
    result.dbPath = series.DatabasePath();
    result.copyPath = WithSlash(folderPath) + name;
    if (!CreateFolderPath(folderPath)) {
        const DWORD error = ::GetLastError();
        result.message = L"Could not create the backup folder \"" + folderPath + L"\": " + SystemErrorReason(error);
        return result;
    }
    RemoveLeftovers(WithSlash(folderPath));
    const CopyResult copied = DatabaseCopy::ToFile(result.dbPath, result.copyPath);
    result.outcome = copied.outcome;
    result.message = copied.message;
    return result;
}

}  // namespace

bool HasCopy(const BackupSeries& series, const std::wstring& folder, BackupDate day) {
    const DWORD attributes = ::GetFileAttributesW((WithSlash(folder) + series.DailyName(day)).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

BackupDate Today() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay};
}

BackupResult MakeCopy(const BackupSeries& series, const std::wstring& folder, BackupDate today,
                      const std::wstring& alsoKeep) {
    BackupResult result = Copy(series, folder, series.DailyName(today));
    if (result.outcome == Outcome::Copied)
        result.message = ApplyRetention(series, WithSlash(folder), today, {series.DatabasePath(), alsoKeep});
    return result;
}

BackupResult MakeUndoCopy(const BackupSeries& series, const std::wstring& folder, const SYSTEMTIME& at) {
    return Copy(series, folder, series.UndoName(at));
}

}  // namespace DatabaseBackup
