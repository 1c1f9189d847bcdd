#include "storage/BackupRetention.h"

#include <algorithm>
#include <cstdio>
#include <tuple>

namespace {

constexpr size_t kDailyCopies = 7;
constexpr int kMonthlyCopies = 12;
constexpr long kUndoCopyDays = 30;

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Months counted from year 0, so that "the 11 months before" crosses years.
int MonthIndex(const BackupDate& date) {
    return date.year * 12 + (date.month - 1);
}

// Days since a fixed day, so that two dates can be subtracted.
long DayNumber(const BackupDate& date) {
    const int year = date.month <= 2 ? date.year - 1 : date.year;
    const int shiftedMonth = (date.month + 9) % 12;  // March is 0
    return 365L * year + year / 4 - year / 100 + year / 400 + (153 * shiftedMonth + 2) / 5 + date.day - 1;
}

}  // namespace

bool operator==(const BackupDate& a, const BackupDate& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day;
}

bool operator!=(const BackupDate& a, const BackupDate& b) {
    return !(a == b);
}

bool operator<(const BackupDate& a, const BackupDate& b) {
    return std::tie(a.year, a.month, a.day) < std::tie(b.year, b.month, b.day);
}

bool IsValidDate(const BackupDate& date) {
    return date.year >= 1 && date.year <= 9999 && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
           date.day <= DaysInMonth(date.year, date.month);
}

std::wstring DateText(const BackupDate& date) {
    wchar_t text[16];
    std::swprintf(text, sizeof text / sizeof text[0], L"%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

bool ParseDateText(const std::wstring& text, BackupDate& date) {
    if (text.size() != 10 || text[4] != L'-' || text[7] != L'-')
        return false;
    auto number = [&](size_t first, size_t count, int& value) {
        value = 0;
        for (size_t i = first; i < first + count; ++i) {
            if (text[i] < L'0' || text[i] > L'9')
                return false;
            value = value * 10 + (text[i] - L'0');
        }
        return true;
    };
    BackupDate parsed;
    if (!number(0, 4, parsed.year) || !number(5, 2, parsed.month) || !number(8, 2, parsed.day) || !IsValidDate(parsed))
        return false;
    date = parsed;
    return true;
}

std::vector<BackupDate> BackupsToRemove(const std::vector<BackupDate>& existing, BackupDate today) {
    std::vector<BackupDate> copies = existing;
    std::sort(copies.begin(), copies.end());
    copies.erase(std::unique(copies.begin(), copies.end()), copies.end());

    // Copies dated after today (the clock was set back since) are kept, and not
    // counted as the newest: counted so, they would crowd out today's own copy.
    const size_t upToToday =
        static_cast<size_t>(std::upper_bound(copies.begin(), copies.end(), today) - copies.begin());
    std::vector<bool> keep(copies.size(), false);
    for (size_t i = upToToday; i < copies.size(); ++i)
        keep[i] = true;
    for (size_t i = 0; i < upToToday && i < kDailyCopies; ++i)
        keep[upToToday - 1 - i] = true;
    // Oldest first, so the first copy met in a month is that month's earliest.
    const int lastMonth = MonthIndex(today);
    int keptMonth = -1;
    for (size_t i = 0; i < copies.size(); ++i) {
        const int month = MonthIndex(copies[i]);
        if (month != keptMonth && month <= lastMonth && month > lastMonth - kMonthlyCopies) {
            keep[i] = true;
            keptMonth = month;
        }
    }

    std::vector<BackupDate> removed;
    for (size_t i = 0; i < copies.size(); ++i) {
        if (!keep[i])
            removed.push_back(copies[i]);
    }
    return removed;
}

bool UndoCopyExpired(BackupDate made, BackupDate today) {
    return DayNumber(today) - DayNumber(made) > kUndoCopyDays;
}
