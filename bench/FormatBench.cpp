// The Format menu's Word Wrap on a large note, the paging of a large note for
// printing, and dragging the splitter bar.
#include <windows.h>

#include "settings/FontRecord.h"
#include "app/TallyLeafDlg.h"
#include "BenchSupport.h"
#include "editor/NotePrinter.h"
#include "framework/DC.h"
#include "framework/Gdi.h"
#include "NotesDatabase.h"
#include "res/resource.h"
#include "storage/NotesStore.h"
#include "Scenarios.h"
#include "support/Pump.h"

namespace bench {
namespace {
constexpr size_t kNoteLength = 1000000;

// The Word Wrap command, from the menu's command to the editor drawn, each way.
void RunWordWrap(CTallyLeafDlg& dlg, std::vector<Figure>& figures) {
    constexpr int kReps = 5;
    Samples on, off;
    Stopwatch figureTime;
    while (MoreReps(on.Count(), kReps, figureTime)) {
        for (Samples* samples : {&on, &off}) {
            Stopwatch watch;
            dlg.SendMessage(WM_COMMAND, MAKEWPARAM(ID_FORMAT_WORD_WRAP, 0), 0);
            ::UpdateWindow(dlg.Parts().editor);
            samples->Add(watch.ElapsedMs());
            PumpPending();
        }
    }
    if (static_cast<size_t>(::GetWindowTextLengthW(dlg.Parts().editor)) != kNoteLength)
        Fail("the note lost text through Word Wrap");
    figures.push_back({"Word Wrap command, 1 MB note (drawn)", "wrap on", on, 1500, kReps, {}});
    figures.push_back({"Word Wrap command, 1 MB note (drawn)", "wrap off", off, 1500, kReps, {}});
}

// Measuring the pages of the note on a letter page at 600 dpi (nothing drawn).
void RunPaging(const std::wstring& text, std::vector<Figure>& figures) {
    constexpr int kReps = 3;
    CMemoryDC dc(nullptr);
    CFont font;
    font.CreateFontIndirect(NotePrinter::PrinterFont(FontRecord::Default(), 96, 600));
    CSelectObject selected(dc, font);
    const RECT page = NotePrinter::PageRect(4800, 6600);
    Samples samples;
    Stopwatch figureTime;
    size_t pages = 0;
    while (MoreReps(samples.Count(), kReps, figureTime)) {
        Stopwatch watch;
        pages = NotePrinter::Paginate(dc, text, page).size();
        samples.Add(watch.ElapsedMs());
    }
    figures.push_back({"Paging for print, 1 MB note, 600 dpi",
                       Thousands(static_cast<long long>(pages)) + " pages",
                       samples,
                       2000,
                       kReps,
                       {}});
}

// One pointer move of a splitter drag (the bar alone moves), and the release
// that lays tree and editor out again, with the large note shown.
void RunSplitterDrag(CTallyLeafDlg& dlg, std::vector<Figure>& figures) {
    constexpr int kMoves = 40;
    HWND bar = dlg.GetDlgItem(IDC_SPLITTER);
    Samples moves, releases;
    Stopwatch figureTime;
    while (MoreReps(releases.Count(), 5, figureTime)) {
        ::SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 10));
        for (int i = 0; i < kMoves; ++i) {
            Stopwatch watch;
            ::SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(i % 2 ? 5 : 0, 10));
            ::UpdateWindow(dlg.m_hWnd);
            moves.Add(watch.ElapsedMs());
        }
        Stopwatch watch;
        ::SendMessageW(bar, WM_LBUTTONUP, 0, MAKELPARAM(0, 10));
        ::UpdateWindow(dlg.m_hWnd);
        ::UpdateWindow(dlg.Parts().editor);
        releases.Add(watch.ElapsedMs());
        PumpPending();
    }
    figures.push_back({"Splitter drag, 1 MB note shown (drawn)", "one move", moves, 0, kMoves * 5, {}});
    figures.push_back({"Splitter drag, 1 MB note shown (drawn)", "release", releases, 0, 5, {}});
}
}  // namespace

void RunFormatting(const ScratchFolder& scratch, std::vector<Figure>& figures) {
    const std::wstring folder = scratch.SubFolder(L"format");
    const std::vector<NoteFacts> notes = WriteSizedNotes(folder + NotesStore::kDefaultFileName, {kNoteLength}, 0xF0F0u);
    auto dlg = StartWindow(folder);
    WaitUntil([&] { return static_cast<size_t>(::GetWindowTextLengthW(dlg->Parts().editor)) == kNoteLength; },
              "the 1 MB note");
    dlg->Parts().tray.CallUp();
    PumpPending();
    Progress("Word Wrap on a 1 MB note");
    RunWordWrap(*dlg, figures);
    Progress("paging a 1 MB note for print");
    RunPaging(dlg->Parts().editor.GetWindowText(), figures);
    Progress("dragging the splitter");
    RunSplitterDrag(*dlg, figures);
    CloseWindow(dlg);
}

}  // namespace bench
