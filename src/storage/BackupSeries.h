// The copies of one database file in the backup folder, and their names.
//
// Daily copies are "<name> <mark> YYYY-MM-DD.db": the file's name without its
// extension and a mark of eight hexadecimal digits made from its full path, so
// two files of one name in different folders ("D:\work\notes2.db" and
// "E:\home\notes2.db") each keep copies of their own. A series made without a
// mark names its copies "<name> YYYY-MM-DD.db", as every copy was named before
// the mark: the default database keeps those names. Copies named so belong,
// for a marked series, to the same file name in whatever folder ("unmarked"):
// they are still offered for a restore and thinned out, but get no new ones.
//
// The copy made before a restore is "<name> <mark> YYYY-MM-DD HH.MM.SS before
// restore.db", so that a restore can be undone.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "storage/BackupRetention.h"

class BackupSeries {
public:
    // Copies named after the file's name alone.
    explicit BackupSeries(std::wstring dbPath);
    // Copies named after the file's name and a mark of `identity` (a path
    // naming the file, compared without regard to case).
    BackupSeries(std::wstring dbPath, const std::wstring& identity);

    const std::wstring& DatabasePath() const { return m_dbPath; }
    // "notes2 1a2b3c4d 2026-12-08.db" for that day.
    std::wstring DailyName(BackupDate day) const;
    // "notes2 1a2b3c4d 2026-12-08 14.02.11 before restore.db" for that moment.
    std::wstring UndoName(const SYSTEMTIME& at) const;

    enum class Kind { Daily, Unmarked, Undo };
    struct Copy {
        Kind kind;
        BackupDate date;
        std::wstring name;  // the file's name in the folder
    };
    // The copies of this series in `folder` (with or without its final
    // backslash), in no particular order.
    std::vector<Copy> CopiesIn(const std::wstring& folder) const;

    // The eight hexadecimal digits a series is marked with.
    static std::wstring Mark(const std::wstring& identity);

private:
    std::wstring m_dbPath;
    std::wstring m_stem;
    std::wstring m_mark;  // empty: copies named after the file's name alone
};
