// Tallyleaf's performance scenarios: start-up on generated databases, moving
// between notes of growing size, and hiding the window. Prints one table of
// figures (median and maximum over the repetitions) beside their targets; the
// targets inform, they never fail the run.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/TestSeams.h"
#include "BenchSupport.h"
#include "KeyPressTools.h"
#include "Scenarios.h"
#include "support/ModalAnswer.h"
#include "support/Pump.h"
#include "support/RegistrySandbox.h"
#include "support/Stopwatch.h"
#include "NotesDatabase.h"
#include "app/AppConstants.h"
#include "app/WindowNotesHost.h"
#include "settings/AppFolders.h"
#include "app/TallyLeafDlg.h"
#include "framework/ModulePath.h"
#include "framework/OleInit.h"
#include "storage/CppSQLite3DB.h"
#include "storage/NotesStore.h"
#include "support/SeededStore.h"

using namespace bench;

namespace {

// A command-line argument as the system's code page spells it.
std::wstring Widen(const char* argument) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, argument, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(std::max(length, 1)), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, argument, -1, &wide[0], length);
    wide.pop_back();
    return wide;
}

// Whether the editor shows `note`: its length and its first (marker) line.
bool Shows(CTallyLeafDlg& dlg, const NoteFacts& note) {
    if (static_cast<size_t>(::GetWindowTextLengthW(dlg.Parts().editor)) != note.length)
        return false;
    wchar_t line[64] = {};
    *reinterpret_cast<WORD*>(line) = 63;
    const LRESULT n = dlg.Parts().editor.SendMessage(EM_GETLINE, 0, reinterpret_cast<LPARAM>(line));
    return std::wstring(line, static_cast<size_t>(n)) == note.marker;
}

// Removes the day's backups from the data folder.
void RemoveBackups(const std::wstring& dataFolder) {
    const std::wstring folder = dataFolder + L"Backups\\";
    WIN32_FIND_DATAW found;
    HANDLE find = ::FindFirstFileW((folder + L"*.db").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        ::DeleteFileW((folder + found.cFileName).c_str());
    } while (::FindNextFileW(find, &found));
    ::FindClose(find);
}

// Start-up: from just before Create (which returns after the initialisation)
// to the tree filled and note 1 in the editor, pending messages pumped.
// With `backupDue`, the day's backup is removed before each start, so that
// every start begins one (on its worker thread, beside the start-up).
Samples MeasureStartUp(const std::wstring& dataFolder, const TreeDatabase& db, int reps, bool backupDue = false) {
    Samples samples;
    Stopwatch figureTime;
    while (MoreReps(samples.Count(), reps, figureTime)) {
        TestSeams::SetDataFolder(dataFolder);
        if (backupDue)
            RemoveBackups(dataFolder);
        auto dlg = std::make_unique<CTallyLeafDlg>();
        Stopwatch watch;
        if (!dlg->Create())
            Fail("the main window could not be created");
        WaitUntil([&] { return dlg->Parts().tree.GetCount() == static_cast<UINT>(db.notes) && Shows(*dlg, db.first); },
                  "the tree and note 1 at start-up");
        const double ms = watch.ElapsedMs();
        samples.Add(ms);
        Progress("  start " + std::to_string(samples.Count()) + ": " + std::to_string(static_cast<int>(ms)) + " ms");
        CloseWindow(dlg);
    }
    return samples;
}

// Shows `note` outside any measurement, with no deferred save left waiting.
void ShowNote(CTallyLeafDlg& dlg, const NoteFacts& note) {
    dlg.Parts().tree.SelectItem(ItemOf(dlg, note.id));
    WaitUntil([&] { return Shows(dlg, note); }, "the note to show");
    MessageWatch timer{dlg.m_hWnd, WM_TIMER, WindowNotesHost::TimerId(NotesHost::Timer::DeferredSave)};
    WaitUntil([&] { return !dlg.Parts().notes.WaitingSaves().IsWaiting(); }, "the deferred save", &timer);
}

bool g_replaceSetsModified = true;

// A one-character edit on the second line, made as program edits are. `rep`
// counts the switches: each of the two notes is edited every other switch, to
// 'y' and 'x' in turn, so its text changes every time and its length never.
void EditOneCharacter(CTallyLeafDlg& dlg, const NoteFacts& note, int rep) {
    const int at = static_cast<int>(note.marker.size()) + 2;
    dlg.Parts().editor.SendMessage(EM_SETSEL, static_cast<WPARAM>(at), at + 1);
    dlg.Parts().editor.ReplaceSel((rep / 2) % 2 ? L"x" : L"y");
    if (!dlg.Parts().editor.GetModify()) {
        g_replaceSetsModified = false;
        dlg.Parts().editor.SetModify(true);
    }
    PumpPending();
}

// Switches between `a` and `b`, from the selection change to the other note in
// the editor, its paint included. With `edit`, the note left was changed first,
// and the deferred write that follows 200 ms later is timed into `writes`.
Samples MeasureSwitches(CTallyLeafDlg& dlg, const NoteFacts& a, const NoteFacts& b, int reps, bool edit,
                        Samples* writes) {
    ShowNote(dlg, a);
    Samples samples;
    const NoteFacts* shown = &a;
    Stopwatch figureTime;
    while (MoreReps(samples.Count(), reps, figureTime)) {
        const NoteFacts* next = shown == &a ? &b : &a;
        if (edit)
            EditOneCharacter(dlg, *shown, static_cast<int>(samples.Count()));
        MessageWatch timer{dlg.m_hWnd, WM_TIMER, WindowNotesHost::TimerId(NotesHost::Timer::DeferredSave)};
        HTREEITEM item = ItemOf(dlg, next->id);
        Stopwatch watch;
        dlg.Parts().tree.SelectItem(item);
        WaitUntil([&] { return Shows(dlg, *next); }, "the other note", &timer);
        double ms = watch.ElapsedMs();
        // A slow load lets the 200 ms timer come due inside the switch; its write is not the switch's.
        if (timer.seen)
            ms -= timer.lastMs;
        samples.Add(ms);
        if (edit) {
            WaitUntil([&] { return timer.seen > 0; }, "the deferred write", &timer);
            writes->Add(timer.lastMs);
            if (dlg.Parts().notes.WaitingSaves().IsWaiting())
                Fail("a deferred save still waits after its timer");
        }
        shown = next;
    }
    return samples;
}

// Hiding the called-up window with `note` shown: hiding saves it at once.
Samples MeasureHides(CTallyLeafDlg& dlg, const NoteFacts& note, int reps) {
    ShowNote(dlg, note);
    Samples samples;
    Stopwatch figureTime;
    while (MoreReps(samples.Count(), reps, figureTime)) {
        dlg.Parts().tray.CallUp();
        WaitUntil([&] { return dlg.IsWindowVisible(); }, "the window to show");
        PumpPending();
        Stopwatch watch;
        dlg.Parts().tray.Hide();
        samples.Add(watch.ElapsedMs());
        PumpPending();
        if (dlg.IsWindowVisible())
            Fail("the window is still visible after hiding");
    }
    return samples;
}

// A character typed in the middle of `note`, from the key's message to the
// editor drawn with it.
Samples MeasureTyping(CTallyLeafDlg& dlg, const NoteFacts& note, int reps) {
    ShowNote(dlg, note);
    dlg.Parts().editor.SetFocus();
    const int middle = static_cast<int>(note.length / 2);
    Samples samples;
    Stopwatch figureTime;
    while (MoreReps(samples.Count(), reps, figureTime)) {
        dlg.Parts().editor.SendMessage(EM_SETSEL, static_cast<WPARAM>(middle), middle);
        PumpPending();
        Stopwatch watch;
        dlg.Parts().editor.SendMessage(WM_CHAR, L'x', 1);
        ::UpdateWindow(dlg.Parts().editor);
        samples.Add(watch.ElapsedMs());
        // Taken out again, so the note keeps its length.
        dlg.Parts().editor.SendMessage(EM_SETSEL, static_cast<WPARAM>(middle), middle + 1);
        dlg.Parts().editor.ReplaceSel(L"");
        PumpPending();
    }
    return samples;
}

// The save of typing after a pause, in `note`: the dispatch of the pause's
// timer, which copies the editor's text and writes it. `dlg` saves after a
// short pause (StartWindow), so that the bench does not wait two seconds a
// repetition.
Samples MeasureIdleSaves(CTallyLeafDlg& dlg, const NoteFacts& note, int reps) {
    ShowNote(dlg, note);
    const int at = static_cast<int>(note.marker.size()) + 2;
    Samples samples;
    Stopwatch figureTime;
    while (MoreReps(samples.Count(), reps, figureTime)) {
        MessageWatch timer{dlg.m_hWnd, WM_TIMER, WindowNotesHost::TimerId(NotesHost::Timer::TypingPause)};
        dlg.Parts().editor.SendMessage(EM_SETSEL, static_cast<WPARAM>(at), at + 1);
        dlg.Parts().editor.SendMessage(WM_CHAR, samples.Count() % 2 ? L'x' : L'y', 1);
        WaitUntil([&] { return timer.seen > 0; }, "the save after the pause", &timer);
        if (dlg.Parts().editor.GetModify())
            Fail("the note is still modified after the save of the pause");
        samples.Add(timer.lastMs);
    }
    return samples;
}

// Everyday switching: notes of 200 B to 20 KB, visited in turn, each switch
// timed from the selection change to the new note drawn.
void RunEverydaySwitches(const ScratchFolder& scratch, std::vector<Figure>& figures) {
    constexpr int kNotes = 16;
    constexpr int kReps = 80;
    std::vector<size_t> lengths;
    for (int i = 0; i < kNotes; ++i)
        lengths.push_back(static_cast<size_t>(200.0 * std::pow(100.0, i / (kNotes - 1.0))));
    const std::wstring folder = scratch.SubFolder(L"everyday");
    Progress("generating everyday notes");
    const std::vector<NoteFacts> notes = WriteSizedNotes(folder + NotesStore::kDefaultFileName, lengths, 0xE7E7u);
    auto dlg = StartWindow(folder);
    WaitUntil([&] { return Shows(*dlg, notes[0]); }, "note 1");
    dlg->Parts().tray.CallUp();
    WaitUntil([&] { return dlg->IsWindowVisible(); }, "the window to show");
    PumpPending();

    Progress("switches, everyday notes");
    Samples samples;
    Stopwatch figureTime;
    // Odd steps through the list, so neighbours in the list are not always neighbours in time.
    size_t shown = 0;
    while (MoreReps(samples.Count(), kReps, figureTime) || samples.Count() < static_cast<size_t>(kReps / 2)) {
        const size_t next = (shown + 5) % notes.size();
        HTREEITEM item = ItemOf(*dlg, notes[next].id);
        Stopwatch watch;
        dlg->Parts().tree.SelectItem(item);
        WaitUntil([&] { return Shows(*dlg, notes[next]); }, "the next note");
        ::UpdateWindow(dlg->Parts().editor);
        samples.Add(watch.ElapsedMs());
        shown = next;
    }
    figures.push_back({"Note switch, everyday notes (drawn)", "200 B-20 KB", samples, 35, kReps, {}});
    CloseWindow(dlg);
}

// Refilling the tree of a shown window from a database of `db.notes` notes, as
// opening another database does: from the call to the tree filled and drawn.
void RunRefill(const std::wstring& folder, const TreeDatabase& db, std::vector<Figure>& figures) {
    constexpr int kReps = 5;
    auto dlg = StartWindow(folder);
    WaitUntil([&] { return dlg->Parts().tree.GetCount() == static_cast<UINT>(db.notes); }, "the tree at start-up");
    dlg->Parts().tray.CallUp();
    PumpPending();
    Progress("refills, " + Thousands(db.notes) + " notes, window shown");
    Samples samples;
    Stopwatch figureTime;
    while (MoreReps(samples.Count(), kReps, figureTime)) {
        Stopwatch watch;
        dlg->Parts().notes.Open();
        WaitUntil([&] { return dlg->Parts().tree.GetCount() == static_cast<UINT>(db.notes) && Shows(*dlg, db.first); },
                  "the refilled tree");
        ::UpdateWindow(dlg->Parts().tree);
        samples.Add(watch.ElapsedMs());
    }
    figures.push_back(
        {"Refill of the shown tree (another database)", Thousands(db.notes) + " notes", samples, 500, kReps, {}});
    CloseWindow(dlg);
}

// A note of one 300,000-character line (a pasted log), shown from a short
// note, with word wrap on and off: from the selection change to the note drawn.
void RunOneLongLine(const ScratchFolder& scratch, std::vector<Figure>& figures) {
    constexpr int kReps = 3;
    constexpr size_t kLength = 300000;
    std::wstring line;
    while (line.size() < kLength)
        line += L"entry " + std::to_wstring(line.size()) + L" ok; ";
    line.resize(kLength);
    for (const bool wrap : {true, false}) {
        const std::wstring folder = scratch.SubFolder(wrap ? L"line-wrapped" : L"line-unwrapped");
        SeedNotes(folder + NotesStore::kDefaultFileName, {{1, 0, L"Short", L"short"}, {2, 0, L"Log", line}});
        ::WritePrivateProfileStringW(L"Main", L"WordWrap", wrap ? L"1" : L"0", (folder + L"tallyleaf.cfg").c_str());
        auto dlg = StartWindow(folder);
        WaitUntil([&] { return ::GetWindowTextLengthW(dlg->Parts().editor) == 5; }, "the short note");
        dlg->Parts().tray.CallUp();
        PumpPending();
        Progress(std::string("one 300,000-character line, word wrap ") + (wrap ? "on" : "off"));
        Samples samples;
        Stopwatch figureTime;
        while (MoreReps(samples.Count(), kReps, figureTime)) {
            Stopwatch watch;
            dlg->Parts().tree.SelectItem(ItemOf(*dlg, 2));
            WaitUntil([&] { return static_cast<size_t>(::GetWindowTextLengthW(dlg->Parts().editor)) == kLength; },
                      "the long line");
            ::UpdateWindow(dlg->Parts().editor);
            samples.Add(watch.ElapsedMs());
            dlg->Parts().tree.SelectItem(ItemOf(*dlg, 1));
            WaitUntil([&] { return ::GetWindowTextLengthW(dlg->Parts().editor) == 5; }, "the short note");
            PumpPending();
        }
        figures.push_back(
            {"Note switch, one 300,000-char line (drawn)", wrap ? "wrap on" : "wrap off", samples, 2000, kReps, {}});
        CloseWindow(dlg);
    }
}

// The figures as comma-separated values, for tools that compare runs.
std::wstring WriteResultsFile(const std::vector<Figure>& figures) {
    std::wstring path = ModulePath();
    path = path.substr(0, path.find_last_of(L'\\') + 1) + L"bench-results.csv";
    FILE* file = _wfopen(path.c_str(), L"w");
    if (!file)
        return L"";
    std::fprintf(file, "scenario,size,reps,median_ms,max_ms,min_ms,target_ms\n");
    for (const Figure& f : figures) {
        if (!f.notRun.empty())
            continue;
        std::fprintf(file, "\"%s\",\"%s\",%u,%.2f,%.2f,%.2f,%.0f\n", f.scenario.c_str(), f.size.c_str(),
                     static_cast<unsigned>(f.samples.Count()), f.samples.Median(), f.samples.Max(), f.samples.Min(),
                     f.targetMs);
    }
    std::fclose(file);
    return path;
}

long long FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string Format(const char* format, double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

void PrintTable(const std::vector<Figure>& figures) {
    std::printf(
        "\nTallyleaf performance: milliseconds (QueryPerformanceCounter) over the repetitions; the\n"
        "minimum shows what is left when nothing else competes for the processor\n\n");
    std::printf("%-45s %-12s %5s %9s %9s %9s  %-7s %s\n", "Scenario", "Size", "Reps", "Median", "Max", "Min", "Target",
                "Median vs target");
    std::printf("%s\n", std::string(120, '-').c_str());
    std::string previous;
    bool shortened = false;
    for (const Figure& f : figures) {
        const std::string scenario = f.scenario == previous ? "" : f.scenario;
        previous = f.scenario;
        const std::string target = f.targetMs > 0 ? Format("< %.0f", f.targetMs) : "-";
        if (!f.notRun.empty()) {
            std::printf("%-45s %-12s %5s %9s %9s %9s  %-7s %s\n", scenario.c_str(), f.size.c_str(), "0", "not run", "",
                        "", target.c_str(), f.notRun.c_str());
            continue;
        }
        std::string verdict;
        if (f.targetMs > 0) {
            const double median = f.samples.Median();
            verdict = median < f.targetMs ? "met" : Format("MISSED (x%.1f)", median / f.targetMs);
        }
        const bool fewer = f.samples.Count() < static_cast<size_t>(f.plannedReps);
        shortened = shortened || fewer;
        std::printf("%-45s %-12s %4u%s %9.2f %9.2f %9.2f  %-7s %s\n", scenario.c_str(), f.size.c_str(),
                    static_cast<unsigned>(f.samples.Count()), fewer ? "*" : " ", f.samples.Median(), f.samples.Max(),
                    f.samples.Min(), target.c_str(), verdict.c_str());
    }
    if (shortened)
        std::printf(
            "\n* fewer repetitions than planned: the figure reached its time budget (%.0f s, at least %d "
            "repetitions; %.0f s at most).\n",
            kFigureBudgetMs / 1000, kMinReps, kFigureCapMs / 1000);
}

// Start-up on trees of growing size. A size whose start would take longer than
// a figure may (judged from the size before it, assuming time grows at least
// in proportion to the number of notes) is not run, and not even generated.
void RunStartUp(const ScratchFolder& scratch, std::vector<Figure>& figures, std::vector<std::string>& notes) {
    struct StartCase {
        int notes;
        int reps;
        double targetMs;
    };
    const StartCase cases[] = {{100, 20, 0}, {1000, 10, 300}, {10000, 5, 0}};
    const char* const scenario = "Start-up: Create to tree filled, note 1 shown";
    std::vector<Figure> refills;
    double previousMedian = 0;
    int previousNotes = 0;
    for (const StartCase& c : cases) {
        Figure figure{scenario, Thousands(c.notes) + " notes", {}, c.targetMs, c.reps, {}};
        const double projected = previousNotes ? previousMedian * c.notes / previousNotes : 0;
        if (projected > kFigureCapMs) {
            figure.notRun = Format("a start would take at least %.0f s", projected / 1000) + " (" +
                            Format("%.1f s", previousMedian / 1000) + " at " + Thousands(previousNotes) + " notes, x" +
                            std::to_string(c.notes / previousNotes) + ")";
            notes.push_back(Thousands(c.notes) + " notes: not generated, the start-up was not run");
            figures.push_back(figure);
            previousMedian = projected;
            previousNotes = c.notes;
            continue;
        }
        const std::wstring folder = scratch.SubFolder(L"start-" + std::to_wstring(c.notes));
        Progress("generating " + Thousands(c.notes) + " notes");
        Stopwatch generation;
        const TreeDatabase db =
            WriteTreeDatabase(folder + NotesStore::kDefaultFileName, c.notes, 0x5EED0000u + c.notes);
        char line[256];
        std::snprintf(line, sizeof line,
                      "%s notes: %d top-level, %d children, %d grandchildren; %.1f M characters of text; "
                      "file %.1f MB; generated in %.0f ms",
                      Thousands(c.notes).c_str(), db.topLevel, db.children, db.grandchildren, db.textChars / 1e6,
                      FileSize(folder + NotesStore::kDefaultFileName) / 1e6, generation.ElapsedMs());
        notes.push_back(line);
        if (!previousNotes) {
            // The first start of the process (class registration, fonts, DLLs) is left out.
            Progress("warm-up start");
            MeasureStartUp(folder, db, 1);
        }
        Progress("start-up, " + Thousands(c.notes) + " notes");
        figure.samples = MeasureStartUp(folder, db, c.reps);
        figures.push_back(figure);
        if (c.notes == 10000) {
            Progress("start-up with the day's backup due, " + Thousands(c.notes) + " notes");
            figures.push_back({"Start-up with the day's backup due",
                               Thousands(c.notes) + " notes",
                               MeasureStartUp(folder, db, c.reps, true),
                               1000,
                               c.reps,
                               {}});
        }
        previousMedian = figure.samples.Median();
        previousNotes = c.notes;
        if (c.notes == 10000)
            RunRefill(folder, db, refills);
    }
    figures.insert(figures.end(), refills.begin(), refills.end());
}

// Switches and hides on notes of 1 KB, 100 KB and 1 MB (characters), two of each size.
void RunSizes(const ScratchFolder& scratch, std::vector<Figure>& figures) {
    struct SizeCase {
        const char* label;
        size_t length;
        double targetMs;
    };
    const SizeCase sizes[] = {{"1 KB", 1024, 16}, {"100 KB", 100 * 1024, 16}, {"1 MB", 1024 * 1024, 50}};
    constexpr int kSwitchReps = 20;
    constexpr int kHideReps = 20;
    std::vector<size_t> lengths;
    for (const SizeCase& size : sizes)
        lengths.insert(lengths.end(), {size.length, size.length});
    const std::wstring folder = scratch.SubFolder(L"sizes");
    Progress("generating the sized notes");
    const std::vector<NoteFacts> sized = WriteSizedNotes(folder + NotesStore::kDefaultFileName, lengths, 0x512EDu);

    auto dlg = StartWindow(folder);
    WaitUntil([&] { return Shows(*dlg, sized[0]); }, "note 1");
    dlg->Parts().tray.CallUp();
    WaitUntil([&] { return dlg->IsWindowVisible(); }, "the window to show");

    constexpr int kTypingReps = 40;
    constexpr int kIdleSaveReps = 20;
    std::vector<Figure> plain, edited, writes, hides, typing, idleSaves;
    for (size_t i = 0; i < 3; ++i) {
        const SizeCase& size = sizes[i];
        const NoteFacts& a = sized[2 * i];
        const NoteFacts& b = sized[2 * i + 1];
        Progress(std::string("switches, ") + size.label);
        plain.push_back({"Note switch, note left unchanged",
                         size.label,
                         MeasureSwitches(*dlg, a, b, kSwitchReps, false, nullptr),
                         size.targetMs,
                         kSwitchReps,
                         {}});
        Progress(std::string("switches with an edit, ") + size.label);
        Samples writeSamples;
        edited.push_back({"Note switch, note left edited (1 character)",
                          size.label,
                          MeasureSwitches(*dlg, a, b, kSwitchReps, true, &writeSamples),
                          size.targetMs,
                          kSwitchReps,
                          {}});
        writes.push_back(
            {"Deferred write of the edited note (timer 12)", size.label, writeSamples, 0, kSwitchReps, {}});
        if (size.length == 100 * 1024) {
            Progress("typing into a 100 KB note");
            typing.push_back({"Typing: a key to its character drawn",
                              size.label,
                              MeasureTyping(*dlg, a, kTypingReps),
                              16,
                              kTypingReps,
                              {}});
        }
        Progress(std::string("hides, ") + size.label);
        hides.push_back({"Hide: TrayAndHotKey::Hide, saves the shown note",
                         size.label,
                         MeasureHides(*dlg, a, kHideReps),
                         size.targetMs,
                         kHideReps,
                         {}});
        dlg->Parts().tray.CallUp();
    }
    CloseWindow(dlg);

    // Typing is saved 50 ms after it pauses in a window of its own.
    dlg = StartWindow(folder, {50, 30000});
    WaitUntil([&] { return Shows(*dlg, sized[0]); }, "note 1");
    dlg->Parts().tray.CallUp();
    WaitUntil([&] { return dlg->IsWindowVisible(); }, "the window to show");
    for (size_t i = 0; i < 3; ++i) {
        if (sizes[i].length < 100 * 1024)
            continue;
        Progress(std::string("saves of typing after a pause, ") + sizes[i].label);
        idleSaves.push_back({"Typing saved after a pause (timer 20)",
                             sizes[i].label,
                             MeasureIdleSaves(*dlg, sized[2 * i], kIdleSaveReps),
                             0,
                             kIdleSaveReps,
                             {}});
    }
    CloseWindow(dlg);
    for (const std::vector<Figure>* group : {&plain, &edited, &writes, &hides, &typing, &idleSaves})
        figures.insert(figures.end(), group->begin(), group->end());
}

// `only` names one group of scenarios to run ("switch", "search", "import", "sharing"); empty runs them all.
int Run(const ScratchFolder& scratch, const ModalAnswer& modal, const std::string& only) {
    Stopwatch run;
    std::vector<Figure> figures;
    std::vector<std::string> notes;
    if (only.empty()) {
        RunStartUp(scratch, figures, notes);
        RunSizes(scratch, figures);
        RunEverydaySwitches(scratch, figures);
        RunOneLongLine(scratch, figures);
        RunFormatting(scratch, figures);
        RunFindAndInsert(scratch, figures);
        RunFiles(scratch, figures);
        RunMenus(scratch, figures);
    }
    if (only.empty() || only == "switch")
        RunSwitchByTreeSize(scratch, figures);
    if (only.empty() || only == "search")
        RunSearchAll(scratch, figures);
    if (only.empty() || only == "import")
        RunImport(scratch, figures);
    if (only.empty() || only == "sharing")
        RunSharing(scratch, figures);

    PrintTable(figures);
    const std::wstring results = WriteResultsFile(figures);
    if (!results.empty())
        std::printf("\nThe figures are also in %s\n", Narrow(results).c_str());
    std::printf("\nDatabases (generated once, outside the timings):\n");
    for (const std::string& line : notes)
        std::printf("  %s\n", line.c_str());
    std::printf("  sized notes: two each of 1,024, 102,400 and 1,048,576 characters, multi-line, with quotes\n");
    std::printf(
        "\nStart-up runs on the hidden window (the program starts hidden); switches and hides on the\n"
        "called-up window, paint included. Switches alternate between the two notes of a size. The\n"
        "deferred write is the dispatch of the 200 ms timer that writes the edited note; it is not part\n"
        "of the switch.\n");
    if (!g_replaceSetsModified)
        std::printf("Note: EM_REPLACESEL did not set the editor's modified flag; the bench set it itself.\n");
    if (modal.Boxes().size() > ExpectedBoxes()) {
        std::printf("\nWARNING: the program showed %u message box(es); the figures around them are suspect:\n",
                    static_cast<unsigned>(modal.Boxes().size()));
        for (const ModalAnswer::Box& box : modal.Boxes())
            std::printf("  %s\n", Narrow(box.text).c_str());
    }
    std::printf("\nWhole run: %.0f s\n", run.ElapsedMs() / 1000);
    return 0;
}

}  // namespace

// `tallyleaf_bench switch` runs the switches by the size of the tree alone,
// `tallyleaf_bench search` the Find in All Notes scenarios,
// `tallyleaf_bench import` the Import Folder scenario. `keys-database [nowrap] [sized]
// [count N] [floor-notes PATH]`, `keys-layout TITLE` and `keys-catcher` serve scripts/bench-keys (KeyPressTools.h).
int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "keys-catcher")
        return RunKeyCatcher();
    if (command == "keys-layout" && argc > 2)
        return PrintLayout(Widen(argv[2]));
    if (command == "keys-database") {
        try {
            KeyPressNotes notes;
            for (int i = 2; i < argc; ++i) {
                const std::string word = argv[i];
                if (word == "nowrap")
                    notes.wrap = false;
                else if (word == "sized")
                    notes.floorSizes = true;
                else if (word == "count" && i + 1 < argc)
                    notes.count = std::max(1000, std::atoi(argv[++i]));
                else if (word == "floor-notes" && i + 1 < argc)
                    notes.floorNotesPath = Widen(argv[++i]);
            }
            return WriteKeyPressDatabase(notes);
        } catch (const CppSQLite3Exception& e) {
            std::fprintf(stderr, "bench: database failure: %s\n", Narrow(e.Message()).c_str());
            return 1;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "bench: %s\n", e.what());
            return 1;
        }
    }
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    COleInit ole;
    int result = 0;
    {
        ::RegistrySandbox registry;
        // An unexpected box would otherwise stop the run; any box makes the figures suspect.
        ModalAnswer modal;
        SetAnswerer(&modal);
        ScratchFolder scratch;
        try {
            result = Run(scratch, modal, command);
        } catch (const CppSQLite3Exception& e) {
            std::fprintf(stderr, "bench: database failure: %s\n", Narrow(e.Message()).c_str());
            result = 1;
        } catch (const std::exception& e) {
            std::fprintf(stderr, "bench: %s\n", e.what());
            result = 1;
        }
        SetAnswerer(nullptr);
        // The files go with the scratch folder only once nothing holds them open.
        theDB.Close();
    }
    std::fflush(stdout);
    return result;
}
