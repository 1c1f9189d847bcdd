// The Insert menu's snippets read from real files, and the time stamp markers
// expanded with a fixed time.
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "editor/Snippets.h"
#include "editor/TimeStampMarkers.h"
#include "support/TempDir.h"

namespace {

std::vector<Snippet> SnippetsOfFile(const std::string& bytes) {
    TempDir dir;
    WriteFileBytes(dir.File(L"Insert.cfg"), bytes);
    return Snippets::Load(dir.File(L"Insert.cfg"));
}

TEST(Snippets, NamesLabelsAndTextsFollowTheFileLineByLine) {
    const std::vector<Snippet> s = SnippetsOfFile(
        "ignored before the first name\r\n"
        "Name=A\r\n"
        "Name=B\r\n"  // A has no text: dropped, and B takes Alt+1
        "x\r\n"
        "\r\n"  // the blank line stays part of B
        "Name=R&D\r\n"
        "first\n"  // a bare line feed ends a line too
        "[second]\r\n"
        "Name=Last\r\n"
        "end\r\n");
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[0].label, L"B\tAlt+1");
    EXPECT_EQ(s[0].text, L"x\r\n");
    EXPECT_EQ(s[1].label, L"R&&D\tAlt+2");
    EXPECT_EQ(s[1].text, L"first\r\n[second]");
    // The last snippet keeps the line break after its last line.
    EXPECT_EQ(s[2].label, L"Last\tAlt+3");
    EXPECT_EQ(s[2].text, L"end\r\n");
}

TEST(Snippets, LoneCarriageReturnsEndLinesAndTabsOrNulsInNamesShowAsBlanks) {
    // As an old Mac editor writes it: CR alone ends every line.
    const std::vector<Snippet> s =
        SnippetsOfFile(std::string("Name=Sign\tature\rKind regards,\rJo\r"
                                   "Name=Cut\0here\rtext\r",
                                   52));
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[0].label, L"Sign ature\tAlt+1");
    EXPECT_EQ(s[0].text, L"Kind regards,\r\nJo");
    EXPECT_EQ(s[1].label, L"Cut here\tAlt+2");
    EXPECT_EQ(s[1].text, L"text\r\n");
}

TEST(Snippets, TheTenthIsAltZeroAndLaterOnesShowTheirWholeLine) {
    std::string file;
    for (int i = 1; i <= 12; ++i)
        file += "Name=S" + std::to_string(i) + "\r\ntext " + std::to_string(i) + "\r\n";
    const std::vector<Snippet> s = SnippetsOfFile(file);
    ASSERT_EQ(s.size(), 12u);
    EXPECT_EQ(s[8].label, L"S9\tAlt+9");
    EXPECT_EQ(s[9].label, L"S10\tAlt+0");
    EXPECT_EQ(s[10].label, L"Name=S11");
    EXPECT_EQ(s[10].text, L"text 11");

    EXPECT_TRUE(SnippetsOfFile("").empty());
    EXPECT_TRUE(SnippetsOfFile("no names at all\r\n").empty());
    TempDir dir;
    EXPECT_TRUE(Snippets::Load(dir.File(L"Insert.cfg")).empty());  // no file
}

TEST(Snippets, UTF8FilesAreReadAsUTF8AndOtherFilesBytePerCharacter) {
    // Unmarked UTF-8: é, Cyrillic Д and an emoji (two UTF-16 units).
    std::vector<Snippet> s = SnippetsOfFile("Name=Caf\xC3\xA9\r\n\xD0\x94 \xF0\x9F\x98\x80");
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].label, L"Caf\u00E9\tAlt+1");
    EXPECT_EQ(s[0].text, L"\u0414 \U0001F600\r\n");

    // Marked with the byte order mark, which is not part of the text.
    s = SnippetsOfFile("\xEF\xBB\xBFName=\xC3\xA9\r\nx");
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].label, L"\u00E9\tAlt+1");

    // An 8-bit file: 0xE9 is not UTF-8 here and stays the character 0xE9.
    s = SnippetsOfFile("Name=Caf\xE9\r\nd\xE9j\xE0");
    ASSERT_EQ(s.size(), 1u);
    EXPECT_EQ(s[0].label, L"Caf\u00E9\tAlt+1");
    EXPECT_EQ(s[0].text, L"d\u00E9j\u00E0\r\n");
}

TEST(Snippets, TheMenuHoldsOneItemASnippetWithItsLabelAndCommand) {
    HMENU popup = ::CreatePopupMenu();
    ::AppendMenuW(popup, MF_STRING, 1074, L"placeholder");
    Snippets::FillMenu(popup, {{L"One\tAlt+1", L"1"}, {L"R&&D\tAlt+2", L"2"}});
    ASSERT_EQ(::GetMenuItemCount(popup), 2);
    wchar_t label[64] = {};
    ::GetMenuStringW(popup, 1, label, 64, MF_BYPOSITION);
    EXPECT_STREQ(label, L"R&&D\tAlt+2");
    EXPECT_EQ(::GetMenuItemID(popup, 0), 1074u);
    EXPECT_EQ(::GetMenuItemID(popup, 1), 1075u);
    Snippets::FillMenu(popup, {});
    EXPECT_EQ(::GetMenuItemCount(popup), 0);
    ::DestroyMenu(popup);
}

// 5 March 2026, 09:07:02, a Thursday.
std::tm FixedTime() {
    std::tm t{};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 2;
    t.tm_mday = 5;
    t.tm_hour = 9;
    t.tm_min = 7;
    t.tm_sec = 2;
    t.tm_wday = 4;
    t.tm_yday = 63;
    return t;
}

TEST(TimeStampMarkers, MarkersBecomeTheTimeAndOtherPercentSignsStay) {
    const std::tm now = FixedTime();
    using TimeStampMarkers::ExpandMarkers;
    EXPECT_EQ(ExpandMarkers(L"Date: %ExTime(#d.#m.#Y)%.", &now), L"Date: 05.03.2026.");
    EXPECT_EQ(ExpandMarkers(L"%ExTime(###d/###m #H:#M)%", &now), L"5/3 09:07");
    EXPECT_EQ(ExpandMarkers(L"%ExTime(No \\##d (#Y\\))%", &now), L"No #05 (2026)");
    EXPECT_EQ(ExpandMarkers(L"%ExTime(#A, #B)%", &now), L"Thursday, March");
    EXPECT_EQ(ExpandMarkers(L"100%", &now), L"100%");
    EXPECT_EQ(ExpandMarkers(L"50% of 80%", &now), L"50% of 80%");
    EXPECT_EQ(ExpandMarkers(L"%%ExTime(#Y)%", &now), L"%2026");
    EXPECT_EQ(ExpandMarkers(L"%extime(#Y)% %ExTime #Y% %ExTime(#Y%", &now), L"%extime(#Y)% %ExTime #Y% %ExTime(#Y%");
    EXPECT_EQ(ExpandMarkers(L"%ExTime(#Y)%%ExTime(#m)%", &now), L"202603");
}

TEST(TimeStampMarkers, ABadFormatOrNoTimeGivesEmptyText) {
    const std::tm now = FixedTime();
    using TimeStampMarkers::ExpandMarkers;
    EXPECT_EQ(ExpandMarkers(L"[%ExTime(#Q)%]", &now), L"[]");
    EXPECT_EQ(ExpandMarkers(L"[%ExTime(#)%]", &now), L"[]");
    EXPECT_EQ(ExpandMarkers(L"[%ExTime(#Y #)%]", &now), L"[]");
    EXPECT_EQ(ExpandMarkers(L"[%ExTime(###)%]", &now), L"[]");
    EXPECT_EQ(ExpandMarkers(L"[%ExTime()%]", &now), L"[]");
    // Longer than 127 characters.
    EXPECT_EQ(ExpandMarkers(L"[%ExTime(" + std::wstring(130, L'x') + L")%]", &now), L"[]");
    EXPECT_EQ(ExpandMarkers(L"[%ExTime(#Y)%]", nullptr), L"[]");
}

TEST(TimeStampMarkers, AResultThatFormsAMarkerIsExpandedInTurnUpToTheLimit) {
    const std::tm now = FixedTime();
    using TimeStampMarkers::ExpandMarkers;
    // "##" gives a percent sign and "\#" a "#": the result is "%ExTime(#Y)%".
    const std::wstring chain = L"%ExTime(##ExTime(\\#Y)##)%";
    EXPECT_EQ(ExpandMarkers(chain, &now), L"2026");
    // The expansion ends after the limit, with the text as it stands then.
    EXPECT_EQ(ExpandMarkers(chain, &now, 1), L"%ExTime(#Y)%");
    std::wstring many;
    for (int i = 0; i < TimeStampMarkers::kMaxExpansions; ++i)
        many += chain;
    const std::wstring expanded = ExpandMarkers(many, &now);
    EXPECT_EQ(expanded.substr(0, 8), L"20262026");
    EXPECT_NE(expanded.find(L"%ExTime("), std::wstring::npos);
}

}  // namespace
