// Which daily backup copies of one database to keep: the 7 newest copies up to
// today, plus the first copy of each of the last 12 calendar months (today's
// month and the 11 before it), plus every copy dated after today (made before
// the clock was set back). Everything else is removed. The copies made before
// a restore are kept for 30 days. Pure: dates in, dates out.
#pragma once

#include <string>
#include <vector>

struct BackupDate {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
};

bool operator==(const BackupDate& a, const BackupDate& b);
bool operator!=(const BackupDate& a, const BackupDate& b);
bool operator<(const BackupDate& a, const BackupDate& b);

// Whether the date exists in the Gregorian calendar (years 1..9999).
bool IsValidDate(const BackupDate& date);
// "YYYY-MM-DD", the form backup file names carry.
std::wstring DateText(const BackupDate& date);
// Reads exactly "YYYY-MM-DD" naming a valid date; false for anything else.
bool ParseDateText(const std::wstring& text, BackupDate& date);

// The copies of `existing` the rule does not keep, oldest first. A date listed
// twice is one copy.
std::vector<BackupDate> BackupsToRemove(const std::vector<BackupDate>& existing, BackupDate today);
// Whether the copy made on `made` before a restore has been kept long enough.
bool UndoCopyExpired(BackupDate made, BackupDate today);
