// The text file reader and writer on real files in a temporary folder,
// byte-exact.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "textfiles/TextFileRead.h"
#include "textfiles/TextFileWrite.h"
#include "framework/Exception.h"
#include "support/TempDir.h"

namespace {
const std::string kUtf8Mark = "\xEF\xBB\xBF";
// U+1F600 (grinning face) in UTF-16 and in UTF-8.
const std::wstring kEmoji = L"\xD83D\xDE00";
const std::string kEmojiUtf8 = "\xF0\x9F\x98\x80";

class TextFiles : public ::testing::Test {
protected:
    // The file's text read whole with "\r\n", and the encoding found.
    std::wstring ReadAllOf(const std::string& bytes, int* encoding = nullptr) {
        WriteFileBytes(path, bytes);
        CTextFileRead file(path);
        EXPECT_TRUE(file.IsOpen());
        std::wstring text;
        EXPECT_TRUE(file.ReadAll(text, L"\r\n"));
        if (encoding)
            *encoding = file.GetEncoding();
        return text;
    }
    std::vector<std::wstring> LinesOf(const std::string& bytes) {
        WriteFileBytes(path, bytes);
        CTextFileRead file(path);
        std::vector<std::wstring> lines;
        std::wstring line;
        while (file.ReadLine(line))
            lines.push_back(line);
        return lines;
    }
    std::string Written(int encoding, const std::wstring& text) {
        CTextFileWrite file(path, encoding);
        EXPECT_TRUE(file.IsOpen());
        file.Write(text);
        file.Close();
        return ReadFileBytes(path);
    }

    TempDir dir;
    std::wstring path = dir.File(L"text.txt");
};

std::wstring FromAnsi(const std::string& bytes) {
    std::wstring out(bytes.size(), L'\0');
    out.resize(static_cast<size_t>(::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                         out.data(), static_cast<int>(out.size()))));
    return out;
}

TEST_F(TextFiles, EveryEncodingIsWrittenWithItsMarkAndReadBack) {
    const std::wstring text = L"caf\u00E9\r\n\u20AC 1";
    struct Case {
        int encoding;
        std::string bytes;
    };
    const Case cases[] = {
        {CTextFileBase::UTF8, kUtf8Mark + "caf\xC3\xA9\r\n\xE2\x82\xAC 1"},
        {CTextFileBase::UTF16LE, std::string("\xFF\xFE"
                                             "c\0a\0f\0\xE9\0\r\0\n\0\xAC\x20 \0"
                                             "1\0",
                                             20)},
        {CTextFileBase::UTF16BE, std::string("\xFE\xFF\0c\0a\0f\0\xE9\0\r\0\n\x20\xAC\0 \0"
                                             "1",
                                             20)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.encoding);
        EXPECT_EQ(Written(c.encoding, text), c.bytes);
        int found = -1;
        EXPECT_EQ(ReadAllOf(c.bytes, &found), text);
        EXPECT_EQ(found, c.encoding);
    }
    // ANSI: no mark, the code page's bytes; they read back as ANSI.
    const std::string ansi = Written(CTextFileBase::ANSI, L"caf\u00E9\r\nx");
    EXPECT_EQ(ansi.substr(0, 3), "caf");
    EXPECT_EQ(ansi.substr(ansi.size() - 3), "\r\nx");
    int found = -1;
    EXPECT_EQ(ReadAllOf(ansi, &found), FromAnsi(ansi));
    EXPECT_EQ(found, CTextFileBase::ANSI);
    // Only the written text: an empty UTF-8 file is its mark alone.
    EXPECT_EQ(Written(CTextFileBase::UTF8, L""), kUtf8Mark);
}

TEST_F(TextFiles, EachLineEndEndsALineAndBecomesTheSeparator) {
    EXPECT_EQ(ReadAllOf("a\r\nb\r\n"), L"a\r\nb\r\n");
    EXPECT_EQ(ReadAllOf("a\nb"), L"a\r\nb");
    EXPECT_EQ(ReadAllOf("a\rb"), L"a\r\nb");
    EXPECT_EQ(LinesOf("a\r\nb\r\n"), (std::vector<std::wstring>{L"a", L"b", L""}));
    // LF CR is a line end followed by an empty line.
    EXPECT_EQ(LinesOf("a\n\rb"), (std::vector<std::wstring>{L"a", L"", L"b"}));
    EXPECT_EQ(LinesOf(kUtf8Mark + "\r\r\n"), (std::vector<std::wstring>{L"", L"", L""}));
    // UTF-16 lines, and a final odd byte that is no character.
    EXPECT_EQ(LinesOf(std::string("\xFF\xFEx\0\n\0y\0z", 9)), (std::vector<std::wstring>{L"x", L"y"}));
    // The caller's separator is used as given; the writer converts nothing.
    WriteFileBytes(path, "a\nb\rc");
    {
        CTextFileRead file(path);
        std::wstring text;
        EXPECT_TRUE(file.ReadAll(text, L"|"));
        EXPECT_EQ(text, L"a|b|c");
    }
    EXPECT_EQ(Written(CTextFileBase::UTF8, L"a\nb\r\n"), kUtf8Mark + "a\nb\r\n");
}

TEST_F(TextFiles, ShortAndMarkOnlyFiles) {
    int found = -1;
    EXPECT_EQ(LinesOf(""), std::vector<std::wstring>{L""});
    EXPECT_EQ(ReadAllOf("", &found), L"");
    EXPECT_EQ(found, CTextFileBase::ANSI);
    EXPECT_EQ(LinesOf("Z"), std::vector<std::wstring>{L"Z"});
    for (const std::string& mark : {kUtf8Mark, std::string("\xFF\xFE"), std::string("\xFE\xFF")}) {
        SCOPED_TRACE(mark.size());
        EXPECT_EQ(LinesOf(mark), std::vector<std::wstring>{L""});
    }
    // EF BB without BF is no mark: three ANSI characters.
    EXPECT_EQ(ReadAllOf("\xEF\xBB\x41", &found), FromAnsi("\xEF\xBB\x41"));
    EXPECT_EQ(found, CTextFileBase::ANSI);
}

TEST_F(TextFiles, CharactersBeyondU0000FFFFSurviveBothWays) {
    EXPECT_EQ(Written(CTextFileBase::UTF8, L"a" + kEmoji + L"b"), kUtf8Mark + "a" + kEmojiUtf8 + "b");
    EXPECT_EQ(ReadAllOf(kUtf8Mark + "a" + kEmojiUtf8 + "b"), L"a" + kEmoji + L"b");
    // A pair split over the writer's buffer, and over the reader's.
    const std::wstring padded = std::wstring(1020, L'x') + kEmoji + kEmoji;
    EXPECT_EQ(Written(CTextFileBase::UTF8, padded), kUtf8Mark + std::string(1020, 'x') + kEmojiUtf8 + kEmojiUtf8);
    EXPECT_EQ(ReadAllOf(kUtf8Mark + std::string(1020, 'x') + kEmojiUtf8 + kEmojiUtf8), padded);
    // A lone surrogate has no character: it keeps its three bytes.
    EXPECT_EQ(Written(CTextFileBase::UTF8, L"\xD83D!"), kUtf8Mark + "\xED\xA0\xBD!");
    // Broken sequences: a stray continuation byte, a sequence cut short by a
    // line end (which still ends the line), a value past U+10FFFF.
    EXPECT_EQ(ReadAllOf(kUtf8Mark + "\x80"
                                    "a\xC3\nb\xF4\x90\x80\x80"),
              L"\xFFFD"
              L"a\xFFFD\r\nb\xFFFD");
    // Files written before pairs were kept whole (each half on its own) read back whole too.
    EXPECT_EQ(ReadAllOf(kUtf8Mark + "\xED\xA0\xBD\xED\xB8\x80"), kEmoji);
}

TEST_F(TextFiles, AFileWithoutMarkIsUtf8OnlyWhenItsBytesAre) {
    int found = -1;
    EXPECT_EQ(ReadAllOf("caf\xC3\xA9 \xE2\x82\xAC " + kEmojiUtf8 + "\r\n", &found),
              L"caf\u00E9 \u20AC " + kEmoji + L"\r\n");
    EXPECT_EQ(found, CTextFileBase::UTF8);
    // An 8-bit file with an accented letter stays ANSI.
    EXPECT_EQ(ReadAllOf("caf\xE9", &found), FromAnsi("caf\xE9"));
    EXPECT_EQ(found, CTextFileBase::ANSI);
    // Valid at first but not further on (beyond the first buffer), or cut
    // short at the end: ANSI.
    const std::string late = "\xC3\xA9" + std::string(5000, 'a') + "\xE9";
    EXPECT_EQ(ReadAllOf(late, &found), FromAnsi(late));
    EXPECT_EQ(found, CTextFileBase::ANSI);
    ReadAllOf("ab\xC3", &found);
    EXPECT_EQ(found, CTextFileBase::ANSI);
    // Plain ASCII reads the same either way; it is reported as ANSI.
    EXPECT_EQ(ReadAllOf("plain", &found), L"plain");
    EXPECT_EQ(found, CTextFileBase::ANSI);
}

TEST_F(TextFiles, FilesThatCantBeOpened) {
    CTextFileRead missing(dir.File(L"missing.txt"));
    EXPECT_FALSE(missing.IsOpen());
    std::wstring text = L"old";
    std::wstring line;
    EXPECT_FALSE(missing.ReadLine(line));
    EXPECT_FALSE(missing.ReadAll(text));
    CTextFileWrite noFolder(dir.File(L"no such folder\\a.txt"), CTextFileBase::UTF8);
    EXPECT_FALSE(noFolder.IsOpen());
    noFolder.Close();
    noFolder.Close();

    // Held open by another program that shares nothing: neither reads nor writes.
    WriteFileBytes(path, "held");
    HANDLE held = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(CTextFileRead(path).IsOpen());
    EXPECT_FALSE(CTextFileWrite(path, CTextFileBase::UTF8).IsOpen());
    ::CloseHandle(held);
    EXPECT_EQ(ReadFileBytes(path), "held");

    // Closing twice does nothing; the first close wrote the buffer out.
    CTextFileWrite file(path, CTextFileBase::UTF8);
    file.Write(L"x");
    file.Close();
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(ReadFileBytes(path), kUtf8Mark + "x");
}

TEST_F(TextFiles, TenMegabytesOfUtf8ComeBackWhole) {
    // Lines of mixed one-, two-, three- and four-byte characters, so that
    // sequences and line ends fall across every buffer boundary.
    std::wstring line = L"abc \u00E9\u00E8 \u20AC " + kEmoji + L" 0123456789";
    std::wstring text;
    for (int i = 0; text.size() < 8 * 1024 * 1024; ++i)
        text += line + std::to_wstring(i) + (i % 3 == 0 ? L"\r\n" : i % 3 == 1 ? L"\n" : L"\r");
    {
        CTextFileWrite file(path, CTextFileBase::UTF8);
        file.Write(text);
        file.Close();
    }
    ASSERT_GT(ReadFileBytes(path).size(), 10u * 1000 * 1000);
    std::wstring expected;
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] == L'\r' && at + 1 < text.size() && text[at + 1] == L'\n')
            ++at;
        if (text[at] == L'\r' || text[at] == L'\n')
            expected += L"\r\n";
        else
            expected += text[at];
    }
    CTextFileRead file(path);
    std::wstring read;
    ASSERT_TRUE(file.ReadAll(read));
    EXPECT_TRUE(read == expected) << "lengths " << read.size() << " and " << expected.size();
}

}  // namespace
