// Load from File, files dropped on the editor and Save to File, through the
// real main window and the system's file dialogs (answered by the modal
// answerer), on real files; checked in the tree, the editor, the database
// and the files' bytes.
#include <string>

#include "app/AppConstants.h"
#include "editor/EditorFixture.h"
#include "framework/WindowText.h"
#include "res/resource.h"
#include "support/MainWindowFixture.h"
#include "framework/ModulePath.h"
#include "support/Pump.h"
#include "support/Stopwatch.h"

namespace {
const std::wstring kQuestion =
    L"Do you want to create a new note for this file?\n  - If you select 'Yes' then a New Note will be created.\n"
    L"  - If you select 'No' then text of the curient Note will be replaced.\n";
const std::wstring kEmoji = L"\xD83D\xDE00";
const std::string kUtf8Mark = "\xEF\xBB\xBF";

class LoadAndSave : public MainWindowTest {
protected:
    // Top-level Home (1) with the subnote Deep (2), and Work (3); Home shown.
    void StartWithNotes() {
        SeedNotes({{1, 0, L"Home", L"home text"}, {2, 1, L"Deep", L"deep text"}, {3, 0, L"Work", L"work text"}});
        Start();
        dlg->Parts().tray.CallUp();
    }
    // Leaves the shown note for Work and waits until note `id` holds `text`.
    bool StoredOnLeaving(int id, const std::wstring& text) {
        Select(L"Work");
        return PumpUntil([&] { return StoredText(id) == text; });
    }
};

TEST_F(LoadAndSave, YesMakesATopLevelNoteNamedAfterTheFile) {
    StartWithNotes();
    dlg->Parts().tree.Expand(FindItem(L"Home"), TVE_EXPAND);
    Select(L"Deep");
    Type(L"typed ");
    dlg->Parts().editor.SetSel(2, 4);
    // UTF-16 with its mark, with a character beyond U+FFFF.
    const std::wstring path = dir.File(L"notes.txt");
    WriteFileBytes(path, std::string("\xFF\xFE"
                                     "a\0\r\0\n\0b\0\x3D\xD8\x00\xDE"
                                     "c\0d\0",
                                     18));
    modal.AnswerFile(path);
    modal.Answer(IDYES);
    Command(ID_FILE_LOAD);

    ASSERT_EQ(modal.Boxes().size(), 2u);
    EXPECT_EQ(modal.Boxes()[1].text, kQuestion);
    EXPECT_EQ(modal.Boxes()[1].buttons, (std::vector<int>{IDYES, IDNO}));
    // The note left was stored first, as it was.
    EXPECT_EQ(StoredText(2), L"typed deep text");
    HTREEITEM added = dlg->Parts().tree.GetNextSiblingItem(FindItem(L"Work"));
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(dlg->Parts().tree.GetItemText(added), L"notes.txt");
    EXPECT_EQ(dlg->Parts().tree.GetSelectedItem(), added);
    EXPECT_EQ(StoredCount(L"id=4 AND pid=0 AND name='notes.txt'"), 1);
    const std::wstring loaded = L"a\r\nb" + kEmoji + L"cd";
    EXPECT_EQ(EditorText(), loaded);
    EXPECT_EQ(Selection(), std::make_pair(2, 4));
    EXPECT_TRUE(StoredOnLeaving(4, loaded));
}

TEST_F(LoadAndSave, NoReplacesTheShownTextAndItIsStoredWhenLeaving) {
    StartWithNotes();
    // UTF-8 as most tools write it today: without a mark.
    const std::wstring path = dir.File(L"plain.txt");
    WriteFileBytes(path, "caf\xC3\xA9\n\xF0\x9F\x98\x80");
    modal.AnswerFile(path);
    modal.Answer(IDNO);
    Command(ID_FILE_LOAD);

    ASSERT_EQ(modal.Boxes().size(), 2u);
    EXPECT_EQ(modal.Boxes()[1].text, kQuestion);
    EXPECT_EQ(SelectedLabel(), L"Home");
    EXPECT_EQ(StoredCount(), 3);
    const std::wstring loaded = L"caf\u00E9\r\n" + kEmoji;
    EXPECT_EQ(EditorText(), loaded);
    EXPECT_TRUE(dlg->Parts().editor.GetModify());
    EXPECT_TRUE(StoredOnLeaving(1, loaded));
    Select(L"Home");
    EXPECT_EQ(EditorText(), loaded);
}

TEST_F(LoadAndSave, AFileDroppedOnTheEditorGoesThroughTheQuestion) {
    StartWithNotes();
    const std::wstring path = dir.File(L"dropped.txt");
    WriteFileBytes(path, kUtf8Mark + "from the drop");
    modal.Answer(IDNO);
    OfferedData data;
    data.Files({path});
    OfferDrop(dlg->Parts().editor, &data, {10, 10}, 0, DROPEFFECT_COPY);

    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_EQ(modal.Boxes()[0].text, kQuestion);
    EXPECT_EQ(EditorText(), L"from the drop");
    EXPECT_TRUE(StoredOnLeaving(1, L"from the drop"));
}

TEST_F(LoadAndSave, SaveWritesUtf8WithAMarkUnderTheNotesName) {
    StartWithNotes();
    dlg->Parts().editor.SetSel(0, 0);
    Type(L"line\r\n" + kEmoji + L" \u00E9\r\n");
    dlg->Parts().editor.SetSel(1, 3);
    std::wstring proposed;
    modal.Answer([&](HWND dialog) {
        proposed = WindowText(::GetDlgItem(dialog, 0x47C));
        ::SetWindowTextW(::GetDlgItem(dialog, 0x47C), dir.File(L"saved").c_str());
        return IDOK;
    });
    Command(ID_FILE_SAVE);

    EXPECT_EQ(proposed, L"Home");
    // The default extension is added; the text is written as it is, line ends
    // unchanged and none added.
    EXPECT_EQ(ReadFileBytes(dir.File(L"saved.txt")), kUtf8Mark + "line\r\n\xF0\x9F\x98\x80 \xC3\xA9\r\nhome text");
    EXPECT_EQ(Selection(), std::make_pair(1, 3));
    ASSERT_EQ(modal.Boxes().size(), 1u);

    // An empty note is the mark alone, and the file just written loads back whole.
    const std::wstring saved = EditorText();
    Select(L"Work");
    dlg->Parts().editor.SetSel(0, -1);
    dlg->Parts().editor.Clear();
    modal.AnswerFile(dir.File(L"empty.txt"));
    Command(ID_FILE_SAVE);
    EXPECT_EQ(ReadFileBytes(dir.File(L"empty.txt")), kUtf8Mark);
    modal.AnswerFile(dir.File(L"saved.txt"));
    modal.Answer(IDNO);
    Command(ID_FILE_LOAD);
    EXPECT_EQ(EditorText(), saved);
}

TEST_F(LoadAndSave, AWaitingDeferredSaveIsWrittenBeforeTheSaveDialog) {
    StartWithNotes();
    Type(L"left ");
    Select(L"Work");
    ASSERT_TRUE(dlg->Parts().notes.WaitingSaves().IsWaiting());
    // Without its timer the waiting save is written only if Save to File writes it.
    ::KillTimer(dlg->m_hWnd, WindowNotesHost::TimerId(NotesHost::Timer::DeferredSave));
    std::wstring storedWhileAsked;
    modal.Answer([&](HWND) {
        storedWhileAsked = StoredText(1);
        return IDCANCEL;
    });
    Command(ID_FILE_SAVE);
    EXPECT_EQ(storedWhileAsked, L"left home text");
    EXPECT_FALSE(dlg->Parts().notes.WaitingSaves().IsWaiting());
}

TEST_F(LoadAndSave, FilesHeldOpenByAnotherProgramAreReportedAndChangeNothing) {
    StartWithNotes();
    const std::wstring path = dir.File(L"held.txt");
    WriteFileBytes(path, "held text");
    HANDLE held = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    modal.AnswerFile(path);
    Command(ID_FILE_LOAD);
    modal.AnswerFile(path);
    modal.Answer(IDYES);  // replace it
    Command(ID_FILE_SAVE);
    ::CloseHandle(held);

    std::vector<std::wstring> texts;
    for (const ModalAnswer::Box& box : modal.Boxes())
        texts.push_back(box.text);
    // Open, its report (no question about the file's text); Save, its question
    // about replacing the file, its report.
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[1], L"Error: Can't open file :" + path);
    EXPECT_EQ(texts.back().rfind(L"Error: Can't write file :" + path + L"\n - ", 0), 0u);
    EXPECT_EQ(modal.Boxes()[1].buttons, std::vector<int>{IDOK});
    EXPECT_EQ(EditorText(), L"home text");
    EXPECT_FALSE(dlg->Parts().editor.GetModify());
    EXPECT_EQ(StoredCount(), 3);
    EXPECT_EQ(ReadFileBytes(path), "held text");
    // Nothing is left beside it either.
    EXPECT_EQ(NamesIn(dir.Path(), L"held.txt*"), std::vector<std::wstring>{L"held.txt"});
}

namespace {
// A disk of a few hundred kilobytes that the test run mounts beside the test
// program (scripts/with-small-disk), so that a test can fill it up; empty
// where the run could not mount one.
std::wstring SmallDisk() {
    const std::wstring module = ModulePath();
    wchar_t full[MAX_PATH] = {};
    const std::wstring relative = module.substr(0, module.find_last_of(L'\\')) + L"\\..\\small-disk\\";
    if (!::GetFullPathNameW(relative.c_str(), MAX_PATH, full, nullptr))
        return std::wstring();
    const std::wstring disk = full;
    ULARGE_INTEGER total{};
    if (!::GetDiskFreeSpaceExW(disk.c_str(), nullptr, &total, nullptr) || total.QuadPart > 4u * 1024 * 1024)
        return std::wstring();
    return disk;
}

// Writes into `path` until the disk is full.
void FillDisk(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const std::string block(4096, 'f');
    DWORD written = 0;
    while (::WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &written, nullptr) && written > 0) {
    }
    ::CloseHandle(file);
}
}  // namespace

TEST_F(LoadAndSave, SaveToAFullDiskLeavesTheOldFileAsItWasAndSaysSo) {
    const std::wstring disk = SmallDisk();
    if (disk.empty())
        GTEST_SKIP() << "no small disk is mounted for this run (scripts/with-small-disk)";
    StartWithNotes();
    const std::wstring path = disk + L"kept.txt";
    WriteFileBytes(path, "the old text");
    FillDisk(disk + L"filler");
    dlg->Parts().editor.SetSel(0, -1);
    std::wstring text;
    while (text.size() < 64 * 1024)
        text += L"more than the disk can take\r\n";
    Type(text);
    // As Save to File writes the file the user chose (the dialog is tested above).
    EXPECT_FALSE(dlg->Parts().files.WriteNoteToFile(path));
    ::DeleteFileW((disk + L"filler").c_str());

    EXPECT_EQ(modal.Boxes().back().text.rfind(L"Error: Can't write file :" + path + L"\n - ", 0), 0u);
    EXPECT_EQ(modal.Boxes().back().icon, ModalAnswer::StockIcon(IDI_ERROR));
    EXPECT_EQ(ReadFileBytes(path), "the old text");
    EXPECT_EQ(NamesIn(disk, L"*"), std::vector<std::wstring>{L"kept.txt"});
    ::DeleteFileW(path.c_str());
}

TEST_F(LoadAndSave, AFileTooLargeToBeANoteIsRefusedBeforeItIsRead) {
    StartWithNotes();
    // Three gigabytes, made in a moment: the file holds no data of its own.
    const std::wstring path = dir.File(L"huge.log");
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size{};
    size.QuadPart = 3LL * 1024 * 1024 * 1024;
    ASSERT_TRUE(::SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && ::SetEndOfFile(file));
    ::CloseHandle(file);

    // Dropped on the editor, as Load from File would read it.
    Stopwatch refusal;
    dlg->Parts().files.LoadFileIntoNote(path);
    EXPECT_LT(refusal.ElapsedMs(), 2000);
    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_EQ(modal.Boxes()[0].text, L"The file is too large to be a note:\n" + path +
                                         L"\n\nIt holds 3.0 GB; a note can take a file of up to 16.0 MB.");
    EXPECT_EQ(EditorText(), L"home text");
    EXPECT_EQ(StoredCount(), 3);
}

}  // namespace
