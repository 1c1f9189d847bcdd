// Another copy of the program on the same file: what the check before each
// save costs (the same save with and without it), and the shown window
// following the other copy's changes at 10,000 notes, when nothing changed and
// when a note was renamed, one added and one deleted, beside a refill of the whole tree.
#include <windows.h>

#include <string>

#include "BenchSupport.h"
#include "Scenarios.h"
#include "app/TallyLeafDlg.h"
#include "storage/CppSQLite3DB.h"
#include "storage/NotesStore.h"
#include "support/Pump.h"
#include "support/SeededStore.h"

namespace bench {
namespace {
constexpr int kNotes = 10000;
constexpr int kTopLevel = 100;

// Lines of about 60 characters up to `length`, ending in `last`, so that two
// versions differ only at the end, as an edit often does.
std::wstring Text(std::size_t length, wchar_t last) {
    std::wstring text;
    while (text.size() + 64 < length)
        text += L"A line of a note that someone typed, with a few words in it.\r\n";
    text.resize(length - 1, L'.');
    return text + last;
}

enum class Save { Plain, Checked, CheckedAfterAnotherWrite };

// Saves of one note alternating between two texts: plain, checked when nobody
// else wrote since (the version alone tells), or checked when someone did (the
// stored text is read and compared).
Samples TimeSaves(NotesStore& store, std::size_t length, Save save, int reps) {
    const std::wstring texts[] = {Text(length, L'x'), Text(length, L'y')};
    store.SaveNote(1, texts[1], 0);
    Samples samples;
    Stopwatch figureTime;
    while (MoreReps(samples.Count(), reps, figureTime)) {
        const std::wstring& text = texts[samples.Count() % 2];
        const std::wstring& before = texts[(samples.Count() + 1) % 2];
        const NotesStore::StoredText stored{before, save == Save::Checked ? store.DataVersion() : -1};
        Stopwatch watch;
        if (save == Save::Plain)
            store.SaveNote(1, text, 0);
        else if (store.SaveNoteChecked(1, text, 0, stored, L" (conflict)", 1).outcome !=
                 NotesStore::CheckedSave::Outcome::Written)
            Fail("a checked save found a conflict that is not there");
        samples.Add(watch.ElapsedMs());
    }
    return samples;
}

void RunSaves(const ScratchFolder& scratch, std::vector<Figure>& figures) {
    constexpr int kReps = 20;
    const std::wstring path = scratch.SubFolder(L"sharing-saves") + NotesStore::kDefaultFileName;
    SeedNotes(path, {{1, 0, L"Saved", L""}});
    CppSQLite3DB db;
    db.Open(path);
    NotesStore store(db);
    for (const std::size_t length : {std::size_t{2000}, std::size_t{1024 * 1024}}) {
        const std::string size = length > 2000 ? "1 MB" : "2 KB";
        Progress("saves of a " + size + " note, plain and checked");
        figures.push_back(
            {"Save of a note, plain write", size, TimeSaves(store, length, Save::Plain, kReps), 0, kReps, {}});
        figures.push_back({"Save of a note, checked, nobody else wrote",
                           size,
                           TimeSaves(store, length, Save::Checked, kReps),
                           0,
                           kReps,
                           {}});
        figures.push_back({"Save of a note, checked after another's write",
                           size,
                           TimeSaves(store, length, Save::CheckedAfterAnotherWrite, kReps),
                           0,
                           kReps,
                           {}});
    }
}

void RunFollowing(const ScratchFolder& scratch, std::vector<Figure>& figures) {
    constexpr int kReps = 10;
    const std::wstring folder = scratch.SubFolder(L"sharing-tree");
    Progress("writing 10,000 notes");
    {
        SeededStore writer(folder + NotesStore::kDefaultFileName);
        for (int id = 1; id <= kNotes; ++id)
            writer.Add({id, id <= kTopLevel ? 0 : 1 + id % kTopLevel, L"Note " + std::to_wstring(id), L"text"});
        writer.Commit();
    }
    auto dlg = StartWindow(folder);
    WaitUntil([&] { return dlg->Parts().tree.GetCount() == static_cast<UINT>(kNotes); }, "the tree of 10,000 notes");
    dlg->Parts().tray.CallUp();
    PumpPending();
    const std::string size = Thousands(kNotes) + " notes";

    Progress("checks with nothing changed");
    Samples unchanged;
    Stopwatch figureTime;
    while (MoreReps(unchanged.Count(), 50, figureTime)) {
        Stopwatch watch;
        dlg->Parts().notes.CheckForChanges();
        unchanged.Add(watch.ElapsedMs());
    }
    figures.push_back({"Check for another copy's changes, none", size, unchanged, 5, 50, {}});

    Progress("the tree following a rename, an addition and a deletion");
    CppSQLite3DB other;
    other.Open(folder + NotesStore::kDefaultFileName);
    Samples changed;
    figureTime.Restart();
    long long added = 0;
    while (MoreReps(changed.Count(), kReps, figureTime)) {
        const std::wstring rep = std::to_wstring(changed.Count());
        other.ExecuteStatement(L"UPDATE notes SET name=? WHERE id=5000;", {L"Renamed " + rep});
        if (added)
            other.ExecuteStatement(L"DELETE FROM notes WHERE id=?;", {added});
        other.ExecuteStatement(L"INSERT INTO notes VALUES(NULL, 7, ?, '', 0);", {L"Added " + rep});
        added = other.ExecuteScalar(L"SELECT last_insert_rowid();");
        Stopwatch watch;
        dlg->Parts().notes.CheckForChanges();
        ::UpdateWindow(dlg->Parts().tree);
        changed.Add(watch.ElapsedMs());
        if (dlg->Parts().tree.GetCount() != static_cast<UINT>(kNotes + 1))
            Fail("the tree did not follow the other copy");
    }
    figures.push_back(
        {"Tree following another copy (1 renamed, 1 added, 1 deleted), drawn", size, changed, 30, kReps, {}});
    other.Close();

    // The refill it stays under, measured beside it: the same machine, the same load.
    Progress("refills of the same tree, for comparison");
    Samples refills;
    figureTime.Restart();
    while (MoreReps(refills.Count(), 3, figureTime)) {
        Stopwatch watch;
        dlg->Parts().notes.Open();
        ::UpdateWindow(dlg->Parts().tree);
        refills.Add(watch.ElapsedMs());
    }
    figures.push_back({"Refill of the same tree, drawn (for comparison)", size, refills, 0, 3, {}});
    CloseWindow(dlg);
}
}  // namespace

void RunSharing(const ScratchFolder& scratch, std::vector<Figure>& figures) {
    RunSaves(scratch, figures);
    RunFollowing(scratch, figures);
}

}  // namespace bench
