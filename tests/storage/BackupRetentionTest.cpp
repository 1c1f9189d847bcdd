// The retention rule as a function over dates: which copies survive.
#include "storage/BackupRetention.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

// How GoogleTest shows a date in a failure.
static void PrintTo(const BackupDate& date, std::ostream* out) {
    *out << date.year << '-' << date.month << '-' << date.day;
}

namespace {

BackupDate Date(const std::wstring& text) {
    BackupDate date;
    EXPECT_TRUE(ParseDateText(text, date)) << text;
    return date;
}

std::vector<BackupDate> Dates(const std::vector<std::wstring>& texts) {
    std::vector<BackupDate> dates;
    for (const std::wstring& text : texts)
        dates.push_back(Date(text));
    return dates;
}

// The copies the rule keeps, oldest first, as "YYYY-MM-DD".
std::vector<std::wstring> Kept(std::vector<BackupDate> existing, const std::wstring& today) {
    const std::vector<BackupDate> removed = BackupsToRemove(existing, Date(today));
    std::sort(existing.begin(), existing.end());
    existing.erase(std::unique(existing.begin(), existing.end()), existing.end());
    std::vector<std::wstring> kept;
    for (const BackupDate& date : existing) {
        if (std::find(removed.begin(), removed.end(), date) == removed.end())
            kept.push_back(DateText(date));
    }
    return kept;
}

}  // namespace

TEST(BackupRetention, FortyDailyCopiesKeepTheSevenNewestAndTheFirstOfEachMonth) {
    std::vector<BackupDate> existing;
    for (BackupDate day{2026, 10, 30}; !(Date(L"2026-12-08") < day); ++day.day) {
        if (!IsValidDate(day))
            day = {day.year, day.month + 1, 1};
        existing.push_back(day);
    }
    ASSERT_EQ(40u, existing.size());

    EXPECT_EQ((std::vector<std::wstring>{L"2026-10-30", L"2026-11-01", L"2026-12-01", L"2026-12-02", L"2026-12-03",
                                         L"2026-12-04", L"2026-12-05", L"2026-12-06", L"2026-12-07", L"2026-12-08"}),
              Kept(existing, L"2026-12-08"));
}

TEST(BackupRetention, CopiesOverTwoYearsDropTheMonthsBeforeTheLastTwelve) {
    std::vector<BackupDate> existing;
    for (int year = 2025; year <= 2026; ++year) {
        for (int month = 1; month <= 12; ++month) {
            existing.push_back({year, month, 1});
            existing.push_back({year, month, 15});
        }
    }
    existing.pop_back();  // no copy after today

    EXPECT_EQ((std::vector<std::wstring>{L"2026-01-01", L"2026-02-01", L"2026-03-01", L"2026-04-01", L"2026-05-01",
                                         L"2026-06-01", L"2026-07-01", L"2026-08-01", L"2026-09-01", L"2026-09-15",
                                         L"2026-10-01", L"2026-10-15", L"2026-11-01", L"2026-11-15", L"2026-12-01"}),
              Kept(existing, L"2026-12-08"));
}

TEST(BackupRetention, TheTwelveMonthsReachBackOverTheTurnOfTheYear) {
    const std::vector<BackupDate> existing =
        Dates({L"2027-01-03", L"2026-02-27", L"2026-01-05", L"2026-12-10", L"2026-12-28", L"2026-12-29", L"2026-12-30",
               L"2026-12-31", L"2027-01-01", L"2027-01-02", L"2026-02-20"});

    EXPECT_EQ((std::vector<std::wstring>{L"2026-02-20", L"2026-12-10", L"2026-12-28", L"2026-12-29", L"2026-12-30",
                                         L"2026-12-31", L"2027-01-01", L"2027-01-02", L"2027-01-03"}),
              Kept(existing, L"2027-01-03"));
    // The removed copies come oldest first.
    EXPECT_EQ((std::vector<BackupDate>{Date(L"2026-01-05"), Date(L"2026-02-27")}),
              BackupsToRemove(existing, Date(L"2027-01-03")));
}

TEST(BackupRetention, AFewCopiesAreAllKeptHoweverOld) {
    EXPECT_TRUE(BackupsToRemove({}, Date(L"2026-12-08")).empty());
    EXPECT_TRUE(
        BackupsToRemove(Dates({L"2026-12-08", L"2019-05-05", L"2026-12-08", L"2021-03-01"}), Date(L"2026-12-08"))
            .empty());
}

TEST(BackupRetention, DateTextReadsOnlyRealDates) {
    BackupDate date;
    ASSERT_TRUE(ParseDateText(L"2024-02-29", date));
    EXPECT_EQ(L"2024-02-29", DateText(date));
    EXPECT_EQ(L"0987-03-04", DateText({987, 3, 4}));
    for (const wchar_t* text : {L"2026-02-29", L"1900-02-29", L"2026-13-01", L"2026-00-10", L"2026-04-31", L"2026-1-01",
                                L"2026-01-011", L"2026/01/01", L"20260101xx", L"+026-01-01", L""})
        EXPECT_FALSE(ParseDateText(text, date)) << text;
    EXPECT_TRUE(ParseDateText(L"2000-02-29", date));
}

TEST(BackupRetention, AClockSetBackKeepsTodaysCopyTheMonthlyOnesAndThoseDatedLater) {
    // Ten copies made while the clock stood a year ahead, then today's.
    std::vector<std::wstring> texts;
    for (int day = 1; day <= 10; ++day)
        texts.push_back(L"2027-12-" + std::wstring(day < 10 ? L"0" : L"") + std::to_wstring(day));
    texts.insert(texts.end(), {L"2026-10-03", L"2026-11-01", L"2026-11-20", L"2026-12-02", L"2026-12-08"});
    const std::vector<std::wstring> kept = Kept(Dates(texts), L"2026-12-08");
    // All of them: today's own copy, the months' first ones and those dated later.
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(texts, kept);
}
