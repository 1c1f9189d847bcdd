// Find Next and Replace All on a 1 MB note, building the Insert menu from a
// file of 50 snippets, and starting with a file of 10,000.
#include <windows.h>

#include <dlgs.h>

#include <string>
#include <vector>

#include "BenchSupport.h"
#include "Scenarios.h"
#include "app/TallyLeafDlg.h"
#include "editor/Snippets.h"
#include "res/resource.h"
#include "storage/NotesStore.h"
#include "support/SeededStore.h"
#include "support/Pump.h"

namespace bench {
namespace {
constexpr int kLines = 10000;

// 10,000 lines of 100 characters (1 MB), each with one "needle"; the last
// line also holds the one "haystack".
std::wstring MegabyteNote() {
    std::wstring line = L"some words before the needle and some words after it, to make a long line of text";
    line += std::wstring(100 - line.size() - 2, L'.') + L"\r\n";
    std::wstring text;
    text.reserve(line.size() * kLines + 16);
    for (int i = 0; i < kLines; ++i)
        text += line;
    text.insert(text.size() - 10, L"haystack");
    return text;
}

void WriteFile(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE ||
        !::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        Fail("cannot write Insert.cfg");
    ::CloseHandle(file);
}

int Length(HWND editor) {
    return ::GetWindowTextLengthW(editor);
}

void SendCommand(CTallyLeafDlg& dlg, UINT id) {
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

// Types `find` (and `replace`) into the newest dialog and presses `button` in it.
void PressInDialog(CTallyLeafDlg& dlg, const wchar_t* find, const wchar_t* replace, int button) {
    HWND dialog = dlg.Parts().find.FindReplace().DialogWindow();
    if (!dialog)
        Fail("no Find or Replace dialog");
    ::SetDlgItemTextW(dialog, edt1, find);
    if (replace)
        ::SetDlgItemTextW(dialog, edt2, replace);
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
}

void RunSearches(const ScratchFolder& scratch, std::vector<Figure>& figures) {
    const std::wstring folder = scratch.SubFolder(L"find");
    const std::wstring text = MegabyteNote();
    SeedNotes(folder + NotesStore::kDefaultFileName, {{1, 0, L"Big", text}});
    auto dlg = StartWindow(folder);
    HWND editor = dlg->Parts().editor;
    WaitUntil([&] { return Length(editor) == static_cast<int>(text.size()); }, "the 1 MB note");
    dlg->Parts().tray.CallUp();
    PumpPending();

    Progress("Find Next, 1 MB note");
    // The find text comes from the Find dialog, which closes after its hit.
    SendCommand(*dlg, ID_EDIT_FIND);
    PressInDialog(*dlg, L"HAYSTACK", nullptr, IDOK);
    WaitUntil([&] { return !dlg->Parts().find.FindReplace().DialogWindow(); }, "the Find dialog to close");
    const int found = static_cast<int>(text.find(L"haystack"));
    Samples finds;
    Stopwatch figureTime;
    while (MoreReps(finds.Count(), 20, figureTime)) {
        dlg->Parts().editor.SetSel(0, 0);
        ::UpdateWindow(editor);
        Stopwatch watch;
        SendCommand(*dlg, ID_EDIT_FIND_NEXT);
        ::UpdateWindow(editor);
        finds.Add(watch.ElapsedMs());
        int start = 0, end = 0;
        dlg->Parts().editor.GetSel(start, end);
        if (start != found)
            Fail("Find Next did not select the match");
    }
    figures.push_back({"Find Next to the end of a note (F3)", "1 MB", finds, 50, 20, {}});

    Progress("Replace All, 10,000 matches in 1 MB");
    SendCommand(*dlg, ID_EDIT_REPLACE);
    Samples replaces;
    figureTime.Restart();
    const int replacedLength = static_cast<int>(text.size()) - kLines * 3;
    while (MoreReps(replaces.Count(), 5, figureTime)) {
        dlg->Parts().editor.ShowText(text, 0);
        PumpPending();
        Stopwatch watch;
        PressInDialog(*dlg, L"needle", L"pin", psh2);
        ::UpdateWindow(editor);
        replaces.Add(watch.ElapsedMs());
        if (Length(editor) != replacedLength)
            Fail("Replace All left the wrong text");
    }
    figures.push_back({"Replace All of 10,000 matches", "1 MB", replaces, 1000, 5, {}});
    CloseWindow(dlg);
}

void RunInsertMenu(const ScratchFolder& scratch, std::vector<Figure>& figures) {
    const std::wstring folder = scratch.SubFolder(L"insert");
    std::string file;
    for (int i = 1; i <= 50; ++i) {
        file += "Name=Snippet " + std::to_string(i) + " & more\r\n";
        file += "Line one of snippet " + std::to_string(i) + "\r\nStamp %ExTime(#d.#m.#Y #H:#M)%\r\n\r\n";
    }
    WriteFile(folder + L"Insert.cfg", file);
    auto dlg = StartWindow(folder);
    if (dlg->Parts().insert.Snippets().size() != 50)
        Fail("the Insert menu did not get its 50 snippets");
    HMENU popup = ::GetSubMenu(::GetMenu(dlg->m_hWnd), 4);

    Progress("Insert menu, 50 snippets");
    Samples builds;
    Stopwatch figureTime;
    while (MoreReps(builds.Count(), 50, figureTime)) {
        Stopwatch watch;
        // What the window does at start-up: read the file, fill the popup.
        Snippets::FillMenu(popup, Snippets::Load(folder + L"Insert.cfg"));
        builds.Add(watch.ElapsedMs());
    }
    if (::GetMenuItemCount(popup) != 50)
        Fail("the Insert menu lost its items");
    figures.push_back({"Building the Insert menu", "50 snippets", builds, 20, 50, {}});
    CloseWindow(dlg);
}

// Start-up with an Insert.cfg of 10,000 snippets (about 1.5 MB): the file is
// read whole, though only the first 51 can be in the menu.
void RunLargeInsertFile(const ScratchFolder& scratch, std::vector<Figure>& figures) {
    const std::wstring folder = scratch.SubFolder(L"insert-large");
    std::string file;
    for (int i = 1; i <= 10000; ++i) {
        file += "Name=Snippet number " + std::to_string(i) + "\r\n";
        file += "Dear customer,\r\nthank you for your letter of %ExTime(#d.#m.#Y)%; we will answer it soon.\r\n";
        file += "Kind regards\r\n\r\n";
    }
    WriteFile(folder + L"Insert.cfg", file);

    Progress("start-up with Insert.cfg of 10,000 snippets");
    Samples starts;
    Stopwatch figureTime;
    while (MoreReps(starts.Count(), 5, figureTime)) {
        Stopwatch watch;
        auto dlg = StartWindow(folder);
        PumpPending();
        starts.Add(watch.ElapsedMs());
        if (dlg->Parts().insert.Snippets().size() != static_cast<size_t>(ID_INSERT_LAST - ID_INSERT_FIRST + 1))
            Fail("the Insert menu did not get its snippets");
        CloseWindow(dlg);
    }
    const std::string size = Thousands(static_cast<long long>(file.size()) / 1000) + " kB";
    figures.push_back({"Start-up with a large Insert.cfg", size, starts, 500, 5, {}});
}
}  // namespace

void RunFindAndInsert(const ScratchFolder& scratch, std::vector<Figure>& figures) {
    RunSearches(scratch, figures);
    RunInsertMenu(scratch, figures);
    RunLargeInsertFile(scratch, figures);
}

}  // namespace bench
