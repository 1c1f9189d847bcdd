// The names the export gives to its folder and to each note's file and folder.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "textfiles/ExportNames.h"
#include "support/Stopwatch.h"

namespace {

TEST(ExportNames, LabelsBecomeNamesThatStayInTheirFolder) {
    struct Case {
        std::wstring label;
        std::wstring name;
    };
    const Case cases[] = {
        {L"Shopping list", L"Shopping list"},
        {L"12:30 a/b", L"12.30 a.b"},
        {L"back\\slash", L"back.slash"},
        {L"a?b*<c>|\"d\"",
         L"a.b..c...d."
         L"_"},
        {L"tab\there\x01", L"tab.here._"},
        // The system would drop a final dot or blank; "." and ".." would be steps of the path.
        {L"trailing. ", L"trailing. _"},
        {L".", L"._"},
        {L"..", L".._"},
        {L"", L"_"},
        // Device names, with or without an extension, in any case.
        {L"CON", L"_CON"},
        {L"nul.txt", L"_nul.txt"},
        {L"Com7 .log", L"_Com7 .log"},
        {L"LPT1", L"_LPT1"},
        {L"CONSOLE", L"CONSOLE"},
        {L"COM10", L"COM10"},
        {L"COM\u00B9", L"_COM\u00B9"},
        {L"lpt\u00B3.txt", L"_lpt\u00B3.txt"},
        {L"COM\u2074", L"COM\u2074"},
        {L"caf\u00E9 \xD83D\xDE00", L"caf\u00E9 \xD83D\xDE00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExportNames::SafeName(c.label), c.name) << std::string(c.label.begin(), c.label.end());
    // A very long label is cut short, never inside a surrogate pair.
    EXPECT_EQ(ExportNames::SafeName(std::wstring(300, L'x')), std::wstring(100, L'x'));
    EXPECT_EQ(ExportNames::SafeName(std::wstring(99, L'x') + L"\xD83D\xDE00"), std::wstring(99, L'x'));
}

TEST(ExportNames, SiblingsNamedAlikeAreNumbered) {
    ExportNames names;
    std::vector<std::wstring> given;
    for (const wchar_t* label : {L"Same", L"same", L"Same", L"Same (2)", L"a:b", L"a/b", L"x", L"x.txt"})
        given.push_back(names.Claim(label));
    EXPECT_EQ(given, (std::vector<std::wstring>{L"Same", L"same (2)", L"Same (3)", L"Same (2) (2)", L"a.b", L"a.b (2)",
                                                L"x", L"x.txt (2)"}));
    // Another folder has names of its own.
    EXPECT_EQ(ExportNames().Claim(L"Same"), L"Same");

    // Thousands of siblings named alike are numbered in one pass (trying every
    // number from 2 for each took minutes).
    ExportNames many;
    std::wstring last;
    const Stopwatch watch;
    for (int i = 0; i < 20000; ++i)
        last = many.Claim(L"New Note");
    EXPECT_LT(watch.ElapsedMs(), 5000.0);
    EXPECT_EQ(last, L"New Note (20000)");
}

TEST(ExportNames, TheExportFolderIsNamedAfterTheTime) {
    SYSTEMTIME time{};
    time.wYear = 2007;
    time.wMonth = 3;
    time.wDay = 21;
    time.wHour = 14;
    time.wMinute = 5;
    time.wSecond = 9;
    EXPECT_EQ(ExportFolderName(time), L"Tallyleaf export 03.21.07 14.05.09");
    time.wYear = 2100;
    time.wMonth = 12;
    time.wDay = 1;
    time.wHour = 0;
    EXPECT_EQ(ExportFolderName(time), L"Tallyleaf export 12.01.00 00.05.09");
}

}  // namespace
