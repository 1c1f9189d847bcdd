// Find in All Notes over 10,000 notes of about 2 KB (20 MB of text): the first
// search at once after start and 5 s after it, later searches, a one-letter query that matches
// everywhere, and a query that matches nothing, each through the dialog as the
// user runs it; and how long each search keeps the window's thread.
#include <windows.h>
#include <psapi.h>

#include <string>
#include <vector>

#include "BenchSupport.h"
#include "Scenarios.h"
#include "app/TallyLeafDlg.h"
#include "res/resource.h"
#include "search/NoteSearch.h"
#include "storage/NotesStore.h"
#include "support/SeededStore.h"

namespace bench {
namespace {
constexpr int kNotes = 10000;
constexpr int kTopLevel = 100;
constexpr std::size_t kTextChars = 2000;
// Every 500th note holds this word once.
const wchar_t kRareWord[] = L"Zephyrine";

// About 2,000 characters of lines of words, different for every note.
std::wstring NoteText(int id) {
    static const wchar_t* const kWords[] = {L"meeting", L"harbour", L"Straße", L"budget", L"call",   L"draft",
                                            L"garden",  L"invoice", L"λόγος",  L"review", L"ticket", L"coffee"};
    std::wstring text = L"#" + std::to_wstring(id) + L" notes\r\n";
    unsigned state = static_cast<unsigned>(id) * 2654435761u + 1;
    while (text.size() < kTextChars) {
        for (int word = 0; word < 9; ++word) {
            state = state * 1103515245u + 12345u;
            text += kWords[(state >> 16) % 12];
            text += L' ';
        }
        text += L"\r\n";
    }
    if (id % 500 == 0)
        text += kRareWord;
    return text;
}

void WriteNotes(const std::wstring& path) {
    SeededStore writer(path);
    for (int id = 1; id <= kNotes; ++id) {
        const int pid = id <= kTopLevel ? 0 : 1 + id % kTopLevel;
        writer.Add({id, pid, L"Note " + std::to_wstring(id), NoteText(id)});
    }
    writer.Commit();
}

// One search as the user starts it, from the search starting (the pause in
// typing over, or Ctrl+Shift+F) to its results drawn in the list; fails the
// run when the total is not `expected` (-1: any). `busy` receives how long the
// window's thread was taken before it could answer keys again.
double TimedSearch(CTallyLeafDlg& dlg, const std::wstring& query, long long expected, double& busy) {
    CFindAllNotesDlg& find = dlg.Parts().find.FindAllDialog();
    find.Open(dlg.m_hWnd);
    HWND box = ::GetDlgItem(find.m_hWnd, IDC_FIND_ALL_QUERY);
    // An empty query clears the list at once: the next answer is this search's.
    ::SetWindowTextW(box, L"");
    find.Open(dlg.m_hWnd);
    ::SetWindowTextW(box, query.c_str());
    Stopwatch watch;
    find.Open(dlg.m_hWnd);
    busy = watch.ElapsedMs();
    WaitUntil([&] { return find.ListedQuery() == query; }, "the results of " + Narrow(query));
    ::UpdateWindow(::GetDlgItem(find.m_hWnd, IDC_FIND_ALL_RESULTS));
    const double ms = watch.ElapsedMs();
    const NoteSearch::Results& results = find.Results();
    if (expected >= 0 && static_cast<long long>(results.total) != expected)
        Fail("the search for " + Narrow(query) + " found " + std::to_string(results.total));
    if (results.hits.size() > CFindAllNotesDlg::kListed)
        Fail("the search listed more than its cap");
    return ms;
}

// The memory the process committed (the texts and their folded forms kept between
// searches among it); Wine reports no private bytes, so the page file figure stands in.
std::size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    ::K32GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                              sizeof(counters));
    return counters.PagefileUsage;
}

}  // namespace

void RunSearchAll(const ScratchFolder& scratch, std::vector<Figure>& figures) {
    const std::wstring folder = scratch.SubFolder(L"search");
    Progress("writing 10,000 notes of 2 KB");
    WriteNotes(folder + NotesStore::kDefaultFileName);
    const std::string size = "10,000 notes, 20 MB";

    // The first search of a run: at once after start-up, when the stored texts
    // are still to be read, and 5 s after it, when they were read ahead.
    struct First {
        const char* scenario;
        double afterStartMs;
        double targetMs;
    };
    for (const First& when : {First{"Find in All Notes: first search, at once after start-up", 0, 1000},
                              First{"Find in All Notes: first search, 5 s after start-up", 5000, 150}}) {
        Progress(when.scenario);
        Samples first;
        Stopwatch figureTime;
        double busy = 0;
        while (MoreReps(first.Count(), 3, figureTime)) {
            Stopwatch sinceStart;
            auto dlg = StartWindow(folder);
            WaitUntil([&] { return dlg->Parts().tree.GetCount() == static_cast<UINT>(kNotes); },
                      "the tree of 10,000 notes");
            WaitUntil([&] { return sinceStart.ElapsedMs() >= when.afterStartMs; }, "the time after start-up");
            first.Add(TimedSearch(*dlg, kRareWord, kNotes / 500, busy));
            Progress("  memory after it: " + Thousands(static_cast<long long>(PrivateBytes() / 1024)) + " KB");
            CloseWindow(dlg);
        }
        figures.push_back({when.scenario, size, first, when.targetMs, 3, {}});
    }

    auto dlg = StartWindow(folder);
    WaitUntil([&] { return dlg->Parts().tree.GetCount() == static_cast<UINT>(kNotes); }, "the tree of 10,000 notes");
    double unused = 0;
    TimedSearch(*dlg, kRareWord, kNotes / 500, unused);
    struct Later {
        const char* scenario;
        std::wstring query;
        long long expected;
    };
    const std::vector<Later> later{{"Find in All Notes: later searches", L"zephyrine", kNotes / 500},
                                   {"Find in All Notes: one letter", L"e", -1},
                                   {"Find in All Notes: no hits", L"qqxqq", 0}};
    Samples windowBusy;
    Stopwatch figureTime;
    double busy = 0;
    for (const Later& search : later) {
        Progress(search.scenario);
        Samples samples;
        figureTime.Restart();
        while (MoreReps(samples.Count(), 10, figureTime)) {
            samples.Add(TimedSearch(*dlg, search.query, search.expected, busy));
            windowBusy.Add(busy);
        }
        figures.push_back({search.scenario, size, samples, 150, 10, {}});
    }
    // What typing waits for: the window's own part of a search (the rest runs on another thread).
    figures.push_back({"Find in All Notes: window busy per search", size, windowBusy, 50, 30, {}});
    CloseWindow(dlg);
}

}  // namespace bench
