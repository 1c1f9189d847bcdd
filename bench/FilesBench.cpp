// Text files: reading a 10 MB UTF-8 file into memory, the export of a tree of
// 10,000 notes of 2 KB each into a folder of text files, and the import of
// such a folder.
#include <windows.h>

#include <string>
#include <vector>

#include "BenchSupport.h"
#include "Scenarios.h"
#include "app/ImportProgressDlg.h"
#include "app/TallyLeafDlg.h"
#include "notes/ImportProgress.h"
#include "textfiles/TextFileRead.h"
#include "textfiles/TextFileWrite.h"
#include "storage/NotesStore.h"
#include "support/SeededStore.h"
#include "support/Pump.h"
#include "support/Stopwatch.h"

namespace bench {
namespace {

// About 10 MB of UTF-8 without a byte order mark (as most tools write it, so
// that the reader checks every byte before it reads them): mixed one- to
// four-byte characters in lines of about 70 characters.
std::wstring WriteTenMegabytes(const std::wstring& path) {
    const std::wstring line = L"Meeting notes: caf\u00E9, na\u00EFve, \u20AC 12.50, \xD83D\xDE00 done; next steps ";
    std::wstring text;
    for (int i = 0; text.size() < 9 * 1024 * 1024; ++i)
        text += line + std::to_wstring(i) + L"\r\n";
    {
        CTextFileWrite file(path, CTextFileBase::UTF8);
        file.Write(text);
        file.Close();
    }
    // Without its mark.
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER size{};
    ::GetFileSizeEx(h, &size);
    std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
    DWORD done = 0;
    ::ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr);
    ::SetFilePointer(h, 0, nullptr, FILE_BEGIN);
    ::WriteFile(h, bytes.data() + 3, static_cast<DWORD>(bytes.size() - 3), &done, nullptr);
    ::SetEndOfFile(h);
    ::CloseHandle(h);
    return text;
}

void RunReadTenMegabytes(const ScratchFolder& scratch, std::vector<Figure>& figures) {
    constexpr int kReps = 10;
    const std::wstring path = scratch.SubFolder(L"read") + L"ten.txt";
    Progress("writing a 10 MB UTF-8 file");
    const std::wstring written = WriteTenMegabytes(path);
    Progress("reading it");
    Samples samples;
    Stopwatch figureTime;
    while (MoreReps(samples.Count(), kReps, figureTime)) {
        Stopwatch watch;
        CTextFileRead file(path);
        std::wstring text;
        file.ReadAll(text, L"\r\n");
        samples.Add(watch.ElapsedMs());
        if (file.GetEncoding() != CTextFileBase::UTF8 || text != written)
            Fail("the 10 MB file did not read back as written");
    }
    figures.push_back({"Read a UTF-8 file to text (no mark)", "10 MB", samples, 300, kReps, {}});
}

// 100 top-level notes, each with 9 children, each of those with 10: 10,000
// notes, every text 2,048 characters.
void WriteExportDatabase(const std::wstring& path, int& notes) {
    SeededStore db(path);
    std::wstring text;
    for (int i = 0; text.size() < 2048; ++i)
        text += L"line " + std::to_wstring(i) + L" of a note, with caf\u00E9 and \u20AC\r\n";
    text.resize(2048);
    int id = 0;
    auto add = [&](int pid, const std::wstring& name) {
        ++id;
        db.Add({id, pid, name, text});
        return id;
    };
    for (int top = 0; top < 100; ++top) {
        const int topId = add(0, L"Topic " + std::to_wstring(top));
        for (int child = 0; child < 9; ++child) {
            const int childId = add(topId, L"Subject " + std::to_wstring(child));
            for (int leaf = 0; leaf < 10; ++leaf)
                add(childId, L"Note " + std::to_wstring(leaf));
        }
    }
    db.Commit();
    notes = id;
}

// The window started on a new database of 10,000 notes of 2 KB in `data`, its tree filled.
std::unique_ptr<CTallyLeafDlg> StartOnExportDatabase(const std::wstring& data, int& notes) {
    WriteExportDatabase(data + NotesStore::kDefaultFileName, notes);
    auto dlg = StartWindow(data);
    WaitUntil([&] { return dlg->Parts().tree.GetCount() == static_cast<UINT>(notes); }, "the tree at start-up");
    return dlg;
}

void RunExport(const ScratchFolder& scratch, std::vector<Figure>& figures) {
    constexpr int kReps = 3;
    const std::wstring data = scratch.SubFolder(L"export-data");
    Progress("generating 10,000 notes of 2 KB");
    int notes = 0;
    auto dlg = StartOnExportDatabase(data, notes);
    Progress("exports, " + Thousands(notes) + " notes");
    Samples samples;
    Stopwatch figureTime;
    while (MoreReps(samples.Count(), kReps, figureTime)) {
        const std::wstring folder =
            scratch.SubFolder(L"export-" + std::to_wstring(samples.Count())) + L"Tallyleaf export\\";
        int failed = 0;
        Stopwatch watch;
        const int written =
            dlg->Parts().notesParts.transfers.ExportLevel(folder, dlg->Parts().tree.GetRootItem(), failed);
        samples.Add(watch.ElapsedMs());
        if (written != notes || failed != 0)
            Fail("the export wrote " + std::to_string(written) + " notes, " + std::to_string(failed) + " failed");
        Progress("  export " + std::to_string(samples.Count()) + ": " + std::to_string(written) + " notes in " +
                 std::to_string(static_cast<int>(samples.Max())) + " ms");
    }
    figures.push_back({"Export of the tree to text files (" + Thousands(notes) + " written)",
                       "10,000 x 2 KB",
                       samples,
                       10000,
                       kReps,
                       {}});
    CloseWindow(dlg);
}

// Lets the messages through as often as the import's progress window does.
class PumpingSteps : public ImportProgress {
public:
    bool Going(int, int, int) override {
        if (m_sinceShown.ElapsedMs() >= CImportProgressDlg::kShowEveryMs) {
            PumpPending();
            m_sinceShown.Restart();
        }
        return true;
    }
    void Finished() override {}

private:
    Stopwatch m_sinceShown;
};
}  // namespace

void RunImport(const ScratchFolder& scratch, std::vector<Figure>& figures) {
    constexpr int kReps = 3;
    const std::wstring data = scratch.SubFolder(L"import-data");
    Progress("generating 10,000 notes of 2 KB and their export");
    int notes = 0;
    auto dlg = StartOnExportDatabase(data, notes);
    const std::wstring folder = scratch.SubFolder(L"import-files") + L"Tallyleaf export";
    int failed = 0;
    if (dlg->Parts().notesParts.transfers.ExportLevel(folder + L"\\", dlg->Parts().tree.GetRootItem(), failed) !=
            notes ||
        failed != 0)
        Fail("the export for the import failed");
    Progress("imports, " + Thousands(notes) + " files");
    Samples samples;
    Samples gaps;
    Stopwatch figureTime;
    while (MoreReps(samples.Count(), kReps, figureTime)) {
        const UINT before = dlg->Parts().tree.GetCount();
        Stopwatch watch;
        {
            // Until the report is up: its box lets the messages through while the user reads it.
            MessageGaps gapsNow;
            double longestGapMs = 0;
            ExpectBox([&](HWND) {
                longestGapMs = gapsNow.LongestMs();
                return IDOK;
            });
            PumpingSteps steps;
            dlg->Parts().notesParts.transfers.ImportFolder(folder, steps);
            gaps.Add(longestGapMs);
        }
        samples.Add(watch.ElapsedMs());
        if (dlg->Parts().tree.GetCount() != before + static_cast<UINT>(notes) + 1)
            Fail("the import added " + std::to_string(dlg->Parts().tree.GetCount() - before) + " notes");
        Progress("  import " + std::to_string(samples.Count()) + ": " + std::to_string(notes) + " files in " +
                 std::to_string(static_cast<int>(samples.Max())) + " ms");
    }
    figures.push_back({"Import Folder of text files", "10,000 x 2 KB", samples, 10000, kReps, {}});
    figures.push_back(
        {"Import Folder: longest time without a message, to the report", "10,000 x 2 KB", gaps, 50, kReps, {}});
    CloseWindow(dlg);
}

void RunFiles(const ScratchFolder& scratch, std::vector<Figure>& figures) {
    RunReadTenMegabytes(scratch, figures);
    RunExport(scratch, figures);
}

}  // namespace bench
