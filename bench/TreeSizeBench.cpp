// A note switch by the size of the tree: the same 50 notes of 2 KB visited in
// the same order in files of 100, 1,000, 10,000 and 50,000 notes (at most
// 1,000 top-level, the rest collapsed under them), timed from the selection
// change to the note drawn. A switch should cost the same in all of them.
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "Scenarios.h"
#include "app/TallyLeafDlg.h"
#include "storage/NotesStore.h"
#include "support/Pump.h"
#include "support/SeededStore.h"

namespace bench {
namespace {
constexpr int kVisited = 50;
constexpr int kTopLevelMost = 1000;

std::wstring VisitedText(int id) {
    std::wstring text = L"Visited note " + std::to_wstring(id) + L"\r\n";
    while (text.size() < 2000)
        text += L"a line of an everyday note, the same in every file\r\n";
    return text;
}

void WriteTree(const std::wstring& path, int count) {
    SeededStore writer(path);
    const int topLevel = std::min(count, kTopLevelMost);
    for (int id = 1; id <= count; ++id) {
        const int pid = id <= topLevel ? 0 : 1 + id % topLevel;
        writer.Add({id, pid, L"Note " + std::to_wstring(id), id <= kVisited ? VisitedText(id) : L"short"});
    }
    writer.Commit();
}

bool ShowsVisited(CTallyLeafDlg& dlg, int id) {
    const std::wstring marker = L"Visited note " + std::to_wstring(id) + L"\r\n";
    return dlg.Parts().editor.GetWindowText().compare(0, marker.size(), marker) == 0;
}
}  // namespace

void RunSwitchByTreeSize(const ScratchFolder& scratch, std::vector<Figure>& figures) {
    for (int count : {100, 1000, 10000, 50000}) {
        const std::string size = Thousands(count) + " notes";
        const std::wstring folder = scratch.SubFolder(L"treesize" + std::to_wstring(count));
        Progress("writing " + size);
        WriteTree(folder + NotesStore::kDefaultFileName, count);
        auto dlg = StartWindow(folder);
        WaitUntil([&] { return dlg->Parts().tree.GetCount() == static_cast<UINT>(count) && ShowsVisited(*dlg, 1); },
                  "the tree of " + size);
        dlg->Parts().tray.CallUp();
        WaitUntil([&] { return dlg->IsWindowVisible(); }, "the window to show");
        PumpPending();

        Progress("switches, " + size);
        Samples samples;
        Stopwatch figureTime;
        int shown = 1;
        while (MoreReps(samples.Count(), 60, figureTime)) {
            // Odd steps through the visited notes, as the everyday switches.
            const int next = 1 + (shown - 1 + 7) % kVisited;
            HTREEITEM item = ItemOf(*dlg, next);
            Stopwatch watch;
            dlg->Parts().tree.SelectItem(item);
            WaitUntil([&] { return ShowsVisited(*dlg, next); }, "the next note");
            ::UpdateWindow(dlg->Parts().editor);
            samples.Add(watch.ElapsedMs());
            shown = next;
        }
        figures.push_back({"Note switch, 2 KB notes, by the size of the tree (drawn)", size, samples, 0, 60, {}});

        // The same notes one after another with the Down key in the tree, through
        // the program's message loop as a key from the keyboard comes.
        Progress("Down keys, " + size);
        dlg->Parts().tree.SelectItem(ItemOf(*dlg, 1));
        dlg->Parts().tree.SetFocus();
        WaitUntil([&] { return ShowsVisited(*dlg, 1); }, "note 1");
        Samples keys;
        figureTime.Restart();
        shown = 1;
        while (MoreReps(keys.Count(), 60, figureTime)) {
            if (shown == kVisited) {
                dlg->Parts().tree.SelectItem(ItemOf(*dlg, 1));
                WaitUntil([&] { return ShowsVisited(*dlg, 1); }, "note 1");
                shown = 1;
            }
            const int next = shown + 1;
            Stopwatch watch;
            ::PostMessageW(dlg->Parts().tree, WM_KEYDOWN, VK_DOWN, 1);
            ::PostMessageW(dlg->Parts().tree, WM_KEYUP, VK_DOWN, 0xC0000001);
            WaitUntil([&] { return ShowsVisited(*dlg, next); }, "the note below");
            ::UpdateWindow(dlg->Parts().tree);
            ::UpdateWindow(dlg->Parts().editor);
            keys.Add(watch.ElapsedMs());
            shown = next;
        }
        figures.push_back({"Note switch, 2 KB notes, Down key in the tree (drawn)", size, keys, 0, 60, {}});
        CloseWindow(dlg);
    }
}

}  // namespace bench
