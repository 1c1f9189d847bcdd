// Find in All Notes over 10,000 notes of about 2 KB (20 MB of text): the first
// search after start, later searches, a one-letter query that matches
// everywhere, and a query that matches nothing. Each search reads the notes as
// the program does (the shown one from the editor, the others from the file)
// and searches them.
#include <windows.h>

#include <string>
#include <vector>

#include "BenchSupport.h"
#include "Scenarios.h"
#include "app/TallyLeafDlg.h"
#include "search/NoteSearch.h"
#include "storage/NotesStore.h"
#include "support/SeededStore.h"

namespace bench {
namespace {
constexpr int kNotes = 10000;
constexpr int kTopLevel = 100;
constexpr std::size_t kTextChars = 2000;
constexpr std::size_t kListed = 1000;
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

// One search as the program runs it; fails the run when the total is not `expected` (-1: any).
double TimedSearch(CTallyLeafDlg& dlg, const std::wstring& query, long long expected) {
    Stopwatch watch;
    const NoteSearch::Results results = NoteSearch::Search(dlg.Notes().NotesToSearch(), {query}, kListed);
    const double ms = watch.ElapsedMs();
    if (expected >= 0 && static_cast<long long>(results.total) != expected)
        Fail("the search for " + Narrow(query) + " found " + std::to_string(results.total));
    if (results.hits.size() > kListed)
        Fail("the search listed more than its cap");
    return ms;
}

}  // namespace

void RunSearchAll(const ScratchFolder& scratch, std::vector<Figure>& figures) {
    const std::wstring folder = scratch.SubFolder(L"search");
    Progress("writing 10,000 notes of 2 KB");
    WriteNotes(folder + NotesStore::kDefaultFileName);
    const std::string size = "10,000 notes, 20 MB";

    Progress("Find in All Notes: first search");
    Samples first;
    Stopwatch figureTime;
    while (MoreReps(first.Count(), 3, figureTime)) {
        auto dlg = StartWindow(folder);
        WaitUntil([&] { return dlg->Tree().GetCount() == static_cast<UINT>(kNotes); }, "the tree of 10,000 notes");
        first.Add(TimedSearch(*dlg, kRareWord, kNotes / 500));
        CloseWindow(dlg);
    }
    figures.push_back({"Find in All Notes: first search", size, first, 1000, 3, {}});

    auto dlg = StartWindow(folder);
    WaitUntil([&] { return dlg->Tree().GetCount() == static_cast<UINT>(kNotes); }, "the tree of 10,000 notes");
    struct Later {
        const char* scenario;
        std::wstring query;
        long long expected;
    };
    const std::vector<Later> later{{"Find in All Notes: later searches", L"zephyrine", kNotes / 500},
                                   {"Find in All Notes: one letter", L"e", -1},
                                   {"Find in All Notes: no hits", L"qqxqq", 0}};
    for (const Later& search : later) {
        Progress(search.scenario);
        Samples samples;
        figureTime.Restart();
        while (MoreReps(samples.Count(), 10, figureTime))
            samples.Add(TimedSearch(*dlg, search.query, search.expected));
        figures.push_back({search.scenario, size, samples, 150, 10, {}});
    }
    CloseWindow(dlg);
}

}  // namespace bench
