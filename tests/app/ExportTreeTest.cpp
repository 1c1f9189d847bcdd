// The export of the whole tree through the real main window, into a real
// temporary folder chosen in the shell's folder browser (answered by the
// modal answerer); checked on the files written and the boxes shown.
#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "res/resource.h"
#include "textfiles/ExportNames.h"
#include "support/MainWindowFixture.h"
#include "support/Pump.h"

namespace {
const std::string kUtf8Mark = "\xEF\xBB\xBF";

// Every file and folder below `folder` (ending with a backslash), as paths
// relative to it; folders end with a backslash.
std::set<std::wstring> Contents(const std::wstring& folder, const std::wstring& prefix = L"") {
    std::set<std::wstring> found;
    WIN32_FIND_DATAW fd;
    HANDLE find = ::FindFirstFileW((folder + L"*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE)
        return found;
    do {
        const std::wstring name = fd.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            found.insert(prefix + name + L"\\");
            for (const std::wstring& inner : Contents(folder + name + L"\\", prefix + name + L"\\"))
                found.insert(inner);
        } else {
            found.insert(prefix + name);
        }
    } while (::FindNextFileW(find, &fd));
    ::FindClose(find);
    return found;
}

SYSTEMTIME SecondsFromNow(int seconds) {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    FILETIME ft{};
    ::SystemTimeToFileTime(&now, &ft);
    ULARGE_INTEGER t{};
    t.LowPart = ft.dwLowDateTime;
    t.HighPart = ft.dwHighDateTime;
    t.QuadPart += static_cast<ULONGLONG>(seconds) * 10000000ULL;
    ft.dwLowDateTime = t.LowPart;
    ft.dwHighDateTime = t.HighPart;
    SYSTEMTIME later{};
    ::FileTimeToSystemTime(&ft, &later);
    return later;
}

class ExportTree : public MainWindowTest {
protected:
    // Exports into the folder `target` (made here) and returns the export
    // folder made in it (ending with a backslash), checking that it is the only
    // thing there and that its name is the time of the export.
    std::wstring Export(const std::wstring& target) {
        ::CreateDirectoryW(target.c_str(), nullptr);
        std::set<std::wstring> names;
        for (int s = 0; s < 5; ++s)
            names.insert(ExportFolderName(SecondsFromNow(s)) + L"\\");
        modal.AnswerFolder(target);
        Command(ID_FILE_EXPORT);
        std::set<std::wstring> top;
        for (const std::wstring& entry : Contents(target + L"\\")) {
            if (entry.find(L'\\') == entry.size() - 1)
                top.insert(entry);
        }
        EXPECT_EQ(top.size(), 1u);
        if (top.size() != 1)
            return target + L"\\none\\";
        EXPECT_EQ(names.count(*top.begin()), 1u) << "the export folder has an unexpected name";
        return target + L"\\" + *top.begin();
    }
    const ModalAnswer::Box& LastBox() { return modal.Boxes().back(); }
};

TEST_F(ExportTree, EveryNoteOfTheTreeInItsFileAndSubnotesInAFolder) {
    SeedNotes({{1, 0, L"Alpha", L"alpha text"},
               {2, 0, L"Beta", L"beta\r\ntext \u00E9 \xD83D\xDE00"},
               {3, 2, L"Beta1", L"one"},
               {4, 2, L"Beta2", L"two"},
               {5, 0, L"Gamma", L""}});
    Start();
    dlg->Parts().tray.CallUp();
    // Typed just before the export, not yet stored.
    Type(L"typed ");
    const std::wstring folder = Export(dir.File(L"chosen"));

    ASSERT_GE(modal.Boxes().size(), 2u);
    const std::vector<std::wstring>& browserTexts = modal.Boxes()[0].statics;
    EXPECT_NE(std::find(browserTexts.begin(), browserTexts.end(), L"Select Folder to Export Notes Tree"),
              browserTexts.end());
    EXPECT_EQ(LastBox().text, L"5 notes were successfully exported.");
    EXPECT_EQ(LastBox().icon, nullptr);
    EXPECT_EQ(LastBox().buttons, std::vector<int>{IDOK});
    EXPECT_EQ(Contents(folder), (std::set<std::wstring>{L"Alpha.txt", L"Beta.txt", L"Gamma.txt", L"Beta\\",
                                                        L"Beta\\Beta1.txt", L"Beta\\Beta2.txt"}));
    EXPECT_EQ(ReadFileBytes(folder + L"Alpha.txt"), kUtf8Mark + "typed alpha text");
    EXPECT_EQ(StoredText(1), L"typed alpha text");
    EXPECT_EQ(ReadFileBytes(folder + L"Beta.txt"), kUtf8Mark + "beta\r\ntext \xC3\xA9 \xF0\x9F\x98\x80");
    EXPECT_EQ(ReadFileBytes(folder + L"Beta\\Beta2.txt"), kUtf8Mark + "two");
    EXPECT_EQ(ReadFileBytes(folder + L"Gamma.txt"), kUtf8Mark);

    // Cancelling the browser exports nothing and says nothing.
    const size_t boxes = modal.Boxes().size();
    Command(ID_FILE_EXPORT);
    EXPECT_EQ(modal.Boxes().size(), boxes + 1);
    EXPECT_EQ(modal.Boxes().back().answer, IDCANCEL);
}

TEST_F(ExportTree, NamesAUserCanGiveStayInsideTheFolderAndNoNoteIsLost) {
    SeedNotes({{1, 0, L"..", L"dots"},
               {2, 1, L"inside", L"below the dots"},
               {3, 0, L".", L"dot"},
               {4, 0, L"CON", L"device"},
               {5, 0, L"a?b", L"question"},
               {6, 0, L"trailing. ", L"trailing"},
               {7, 0, L"Same", L"first"},
               {8, 0, L"same", L"second"},
               {9, 0, L"12:30 a/b", L"time"}});
    Start();
    const std::wstring target = dir.File(L"chosen");
    const std::wstring folder = Export(target);

    EXPECT_EQ(LastBox().text, L"9 notes were successfully exported.");
    EXPECT_EQ(Contents(folder),
              (std::set<std::wstring>{L".._.txt", L".._\\", L".._\\inside.txt", L"._.txt", L"_CON.txt", L"a.b.txt",
                                      L"trailing. _.txt", L"Same.txt", L"same (2).txt", L"12.30 a.b.txt"}));
    EXPECT_EQ(ReadFileBytes(folder + L".._\\inside.txt"), kUtf8Mark + "below the dots");
    EXPECT_EQ(ReadFileBytes(folder + L"Same.txt"), kUtf8Mark + "first");
    EXPECT_EQ(ReadFileBytes(folder + L"same (2).txt"), kUtf8Mark + "second");
    // Nothing beside the export folder, nor beside the chosen one.
    EXPECT_EQ(Contents(dir.Path()).count(L"inside.txt"), 0u);
    EXPECT_EQ(Contents(target + L"\\").size(), Contents(folder).size() + 1);
}

TEST_F(ExportTree, NotesThatCantBeWrittenAreCountedAndNamedInOneReport) {
    const std::vector<std::wstring> blocked = {L"N1", L"N2", L"N3", L"N4", L"N5", L"N6", L"N7"};
    std::vector<NoteRow> rows = {{9, 0, L"Beta", L"beta"}};
    for (size_t i = 0; i < blocked.size(); ++i)
        rows.push_back({static_cast<int>(i) + 1, 0, blocked[i], L"blocked"});
    SeedNotes(rows);
    Start();
    const std::wstring target = dir.File(L"chosen\\");
    ::CreateDirectoryW(target.c_str(), nullptr);
    // A folder stands where each blocked note's file goes, in the export folder
    // of any second the export may take.
    for (int s = 0; s < 5; ++s) {
        for (const std::wstring& name : blocked)
            ::SHCreateDirectoryExW(
                nullptr, (target + ExportFolderName(SecondsFromNow(s)) + L"\\" + name + L".txt").c_str(), nullptr);
    }
    modal.AnswerFolder(target);
    Command(ID_FILE_EXPORT);
    std::wstring folder;
    for (const std::wstring& entry : Contents(target)) {
        if (entry.size() > 9 && entry.substr(entry.size() - 9) == L"\\Beta.txt")
            folder = target + entry.substr(0, entry.size() - 8);
    }
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(ReadFileBytes(folder + L"Beta.txt"), kUtf8Mark + "beta");

    // The folder browser, then one report: the counts, the first five notes
    // with their files, and a mark for the rest.
    ASSERT_EQ(modal.Boxes().size(), 2u);
    const std::wstring& report = LastBox().text;
    EXPECT_EQ(report.rfind(L"1 notes were exported; 7 notes could not be written.\n\nNot written:\n - N1 (" + folder +
                               L"N1.txt): ",
                           0),
              0u);
    EXPECT_NE(report.find(L"\n - N5 ("), std::wstring::npos);
    EXPECT_EQ(report.find(L"N6"), std::wstring::npos);
    EXPECT_EQ(report.substr(report.size() - 7), L"\n - ...");
    EXPECT_EQ(LastBox().icon, ModalAnswer::StockIcon(IDI_WARNING));
}

TEST_F(ExportTree, APlaceWithoutAFolderOnDiskIsRefused) {
    SeedNotes({{1, 0, L"Alpha", L"alpha"}});
    Start();
    // The computer: a place in the shell with no path of its own.
    modal.AnswerFolder(CSIDL_DRIVES);
    Command(ID_FILE_EXPORT);

    ASSERT_EQ(modal.Boxes().size(), 2u);
    EXPECT_EQ(LastBox().text,
              L"The notes can only be exported to a folder on a disk, and the place chosen is not one.\n"
              L"Please choose a folder.");
    EXPECT_EQ(LastBox().icon, ModalAnswer::StockIcon(IDI_ERROR));
}

}  // namespace

TEST_F(ExportTree, AnExportImportedThroughTheMenuComesBackAsANewTopLevelNoteAndTheShownNoteStays) {
    SeedNotes({{1, 0, L"Alpha", L"alpha text"}, {2, 0, L"Beta", L"beta"}, {3, 2, L"Beta1", L"one"}});
    Start();
    dlg->Parts().tray.CallUp();
    const std::wstring folder = Export(dir.File(L"chosen"));
    Select(L"Beta1");
    Type(L"typed ");

    const size_t boxes = modal.Boxes().size();
    const std::wstring chosen = folder.substr(0, folder.size() - 1);
    modal.AnswerFolder(chosen);
    modal.Drive([](HWND) {});  // the progress window is left to run
    Command(ID_FILE_IMPORT);
    ASSERT_EQ(modal.Boxes().size(), boxes + 3);
    const std::vector<std::wstring>& browserTexts = modal.Boxes()[boxes].statics;
    EXPECT_NE(std::find(browserTexts.begin(), browserTexts.end(), L"Select Folder to Import Notes From"),
              browserTexts.end());
    EXPECT_EQ(LastBox().text, L"4 notes were imported from " + chosen + L".");
    EXPECT_TRUE(::IsWindowEnabled(dlg->m_hWnd));
    EXPECT_EQ(SelectedLabel(), L"Beta1");
    EXPECT_EQ(EditorText(), L"typed one");
    EXPECT_EQ(StoredText(3), L"typed one");

    HTREEITEM imported = dlg->Parts().tree.GetRootItem();
    while (HTREEITEM next = dlg->Parts().tree.GetNextSiblingItem(imported))
        imported = next;
    EXPECT_EQ(dlg->Parts().tree.GetItemText(imported), chosen.substr(chosen.rfind(L'\\') + 1));
    const HTREEITEM alpha = dlg->Parts().tree.GetChildItem(imported);
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(dlg->Parts().tree.GetItemText(alpha), L"Alpha");
    const HTREEITEM beta = dlg->Parts().tree.GetNextSiblingItem(alpha);
    ASSERT_NE(beta, nullptr);
    EXPECT_EQ(dlg->Parts().tree.GetItemText(dlg->Parts().tree.GetChildItem(beta)), L"Beta1");
    // As exported, before the typing.
    EXPECT_EQ(StoredText(dlg->Parts().tree.NoteId(dlg->Parts().tree.GetChildItem(beta))), L"one");
}
