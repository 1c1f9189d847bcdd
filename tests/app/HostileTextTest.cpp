// Text the user did not write: files, names and rows of the database crafted
// (or damaged) so that they could rewrite notes or lose characters. Each goes
// through the real main window onto a real file; nothing but its target may
// change, and every character and id comes back as it was.
#include <string>
#include <vector>

#include "editor/EditorFixture.h"
#include "res/resource.h"
#include "support/MainWindowFixture.h"
#include "support/Pump.h"

namespace {
// A lone high surrogate before a quote, then SQL that renames every note.
// Pasted into an SQL text with its quotes doubled, SQLite's UTF-16 reader took
// the first quote along with the surrogate, the second ended the string, and
// the rest ran on every row.
const std::wstring kPayload = L"hello\xD83D', pos=7, name=char(80,87,78,69,68) --";

// UTF-16 LE with its mark, as Notepad writes it.
std::string Utf16File(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    for (wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

class HostileText : public MainWindowTest {
protected:
    void StartWithNotes(const std::vector<NoteRow>& rows) {
        SeedNotes(rows);
        Start();
        dlg->Parts().tray.CallUp();
    }
    bool ReadOnly() { return (::GetWindowLongW(dlg->Parts().editor, GWL_STYLE) & ES_READONLY) != 0; }
};
}  // namespace

TEST_F(HostileText, APayloadLoadedDroppedNamedOrImportedChangesOnlyItsTargetAndIsStoredExactly) {
    StartWithNotes({{1, 0, L"Home", L"home text"}, {2, 0, L"Work", L"work text"}, {3, 0, L"Other", L"other text"}});
    std::vector<std::wstring> rows = StoredRows();

    // Load from File into the shown note, then Esc.
    const std::wstring loaded = dir.File(L"payload.txt");
    WriteFileBytes(loaded, Utf16File(kPayload));
    modal.AnswerFile(loaded);
    modal.Answer(IDNO);
    Command(ID_FILE_LOAD);
    dlg->Parts().tray.Hide();
    EXPECT_EQ(StoredText(1), kPayload);
    EXPECT_EQ(StoredRows()[1], rows[1]);
    EXPECT_EQ(StoredRows()[2], rows[2]);

    // A UTF-8 file with an encoded surrogate (ED A0 80), as some tools write
    // it, dropped on another note.
    dlg->Parts().tray.CallUp();
    Select(L"Work");
    rows = StoredRows();
    const std::wstring dropped = dir.File(L"cesu.txt");
    WriteFileBytes(dropped,
                   "\xEF\xBB\xBF"
                   "cesu \xED\xA0\x80', name='x' --");
    modal.Answer(IDNO);
    OfferedData data;
    data.Files({dropped});
    OfferDrop(dlg->Parts().editor, &data, {10, 10}, 0, DROPEFFECT_COPY);
    Select(L"Other");
    const std::wstring cesu = L"cesu \xD800', name='x' --";
    ASSERT_TRUE(PumpUntil([&] { return StoredText(2) == cesu; }));
    EXPECT_EQ(StoredRows()[0], rows[0]);
    EXPECT_EQ(StoredRows()[2], rows[2]);

    // The payload as a name.
    rows = StoredRows();
    modal.Names().Type(kPayload);
    Command(ID_NOTES_RENAME);
    EXPECT_EQ(SelectedLabel(), kPayload);
    EXPECT_EQ(StoredRows()[2], L"3 0 " + kPayload + L" = other text @0");
    EXPECT_EQ(StoredRows()[0], rows[0]);
    EXPECT_EQ(StoredRows()[1], rows[1]);

    // The payload as a file of a folder imported, under its own name too.
    rows = StoredRows();
    const std::wstring folder = dir.File(L"import");
    ::CreateDirectoryW(folder.c_str(), nullptr);
    WriteFileBytes(folder + L"\\" + kPayload.substr(0, 5) + L".txt", Utf16File(kPayload));
    modal.AnswerFolder(folder);
    modal.Drive([](HWND) {});  // the progress window is left to run
    Command(ID_FILE_IMPORT);
    const std::vector<std::wstring> after = StoredRows();
    ASSERT_EQ(after.size(), 5u);
    EXPECT_EQ(std::vector<std::wstring>(after.begin(), after.begin() + 3), rows);
    EXPECT_EQ(after[3], L"4 0 import =  @0");
    EXPECT_EQ(after[4], L"5 4 hello = " + kPayload + L" @0");
}

TEST_F(HostileText, IdsBeyond32BitsKeepEachNoteItsOwnTextAndNewNotesGetIdsEveryReleaseCanHold) {
    StartWithNotes(
        {{1, 0, L"One", L"one text"}, {2147483647, 0, L"Top", L"top text"}, {4294967297, 0, L"Huge", L"huge text"}});
    Select(L"Huge");
    EXPECT_EQ(EditorText(), L"huge text");
    Type(L"more ");
    Select(L"Top");
    EXPECT_EQ(EditorText(), L"top text");
    // No id above is free for a note that a 32-bit release must find: the
    // smallest free one is taken.
    modal.Names().Type(L"New");
    Command(ID_NOTES_ADD);
    EXPECT_EQ(StoredCount(L"id=2 AND name='New'"), 1);
    Type(L"typed");
    Select(L"One");
    EXPECT_EQ(EditorText(), L"one text");
    Select(L"New");
    EXPECT_EQ(EditorText(), L"typed");
    dlg->Parts().tray.Hide();

    EXPECT_EQ(StoredRows(),
              (std::vector<std::wstring>{L"1 0 One = one text @0", L"2 0 New = typed @5",
                                         L"2147483647 0 Top = top text @0", L"4294967297 0 Huge = more huge text @5"}));
}

TEST_F(HostileText, ANulInATextOpensTheNoteReadOnlyAndNothingIsWrittenOverIt) {
    const std::wstring withNul(L"a\0bc", 4);
    const std::wstring nameWithNul(L"Na\0me", 5);
    StartWithNotes({{1, 0, L"Home", L"home text"}, {2, 0, L"Binary", withNul}, {3, 0, nameWithNul, L"named"}});
    const std::vector<std::wstring> rows = StoredRows();
    // A name shows its NUL as a mark; the note stays as it is.
    EXPECT_NE(FindItem(L"Na\u2400me"), nullptr);

    Select(L"Binary");
    EXPECT_TRUE(ReadOnly());
    const std::wstring shown = EditorText();
    EXPECT_EQ(shown.find(L"\r\n"), shown.find(L"\r\n\r\na\u2400bc")) << "one line of notice, then the text";
    EXPECT_NE(shown.find(L"NUL"), std::wstring::npos);
    // A switch, a hide and an exit write nothing over it.
    Select(L"Home");
    EXPECT_FALSE(ReadOnly());
    Select(L"Binary");
    dlg->Parts().tray.Hide();
    Finish();
    EXPECT_EQ(StoredText(2), withNul);
    EXPECT_EQ(StoredRows(), rows);
}

TEST_F(HostileText, FilesHoldingANulAreRefusedByNameAndAnImportTakesTheOtherFiles) {
    StartWithNotes({{1, 0, L"Home", L"home text"}});
    const std::wstring nul = dir.File(L"with zeros.txt");
    WriteFileBytes(nul, Utf16File(std::wstring(L"before\0after", 12)));
    modal.AnswerFile(nul);
    Command(ID_FILE_LOAD);
    ASSERT_EQ(modal.Boxes().size(), 2u);
    EXPECT_EQ(modal.Boxes()[1].text,
              L"The file holds NUL characters, which a note can't hold:\n" + nul + L"\n\nNo note was changed.");
    EXPECT_EQ(EditorText(), L"home text");

    const std::wstring folder = dir.File(L"folder");
    ::CreateDirectoryW(folder.c_str(), nullptr);
    WriteFileBytes(folder + L"\\a nul.txt", Utf16File(std::wstring(L"x\0y", 3)));
    WriteFileBytes(folder + L"\\b fine.txt", "fine");
    // Past the first kilobytes that tell a text from a binary file.
    WriteFileBytes(folder + L"\\c late nul.txt", std::string(9 * 1024, 'x') + std::string(1, '\0') + "end");
    modal.AnswerFolder(folder);
    modal.Drive([](HWND) {});
    Command(ID_FILE_IMPORT);
    EXPECT_EQ(StoredRows(),
              (std::vector<std::wstring>{L"1 0 Home = home text @0", L"2 0 folder =  @0", L"3 2 b fine = fine @0"}));
    EXPECT_NE(modal.Boxes().back().text.find(L"2 files were skipped: they hold NUL characters, which a note can't "
                                             L"hold:\n - a nul.txt\n - c late nul.txt"),
              std::wstring::npos)
        << modal.Boxes().back().text;
}
