// The export writes the texts as stored, read in one pass. The import reads
// the files first (textfiles/FolderImport.h), then stores them in one
// transaction, putting each into the tree after the notes already there.
#include "notes/NotesImportExport.h"

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "framework/WorkBesideMessages.h"
#include "notes/StorageStep.h"
#include "notes/TreeExport.h"
#include "textfiles/ExportNames.h"
#include "textfiles/TextFileRead.h"

namespace {
const wchar_t kLoadError[] = L"Tallyleaf error: Can't load note.\n - ";
const wchar_t kImportError[] = L"Tallyleaf error: Can't import the folder; no note was added.\n - ";
const wchar_t kCancelled[] = L"The import was cancelled; no note was added.";
// How many of the files skipped for their size or a failed read the report names.
constexpr size_t kFilesNamed = 5;

// The user cancelled while the notes were stored: the transaction is rolled back.
struct ImportCancelled {};

void NameFiles(std::wstring& report, const std::wstring& heading, const std::vector<std::wstring>& files) {
    if (files.empty())
        return;
    report += L"\n\n" + std::to_wstring(files.size()) + heading;
    for (size_t i = 0; i < files.size() && i < kFilesNamed; ++i)
        report += L"\n - " + files[i];
    if (files.size() > kFilesNamed)
        report += L"\n - ...";
}
}  // namespace

void NotesImportExport::ExportTree(const std::wstring& chosen) {
    // What the files hold is what is stored: the shown note and a note left
    // just before are written first (and what can't be written yet is
    // exported as it waits).
    m_session.SaveShownNote();
    m_session.WriteWaitingSaves();
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    std::wstring folder = chosen;
    if (folder.back() != L'\\')
        folder += L'\\';
    folder += ExportFolderName(now) + L"\\";
    int failed = 0;
    std::vector<std::wstring> named;
    const int written = ExportLevel(folder, m_tree.FirstItem(), failed, &named);
    if (failed == 0) {
        m_host.Say(std::to_wstring(written) + L" notes were successfully exported.", MB_OK);
        return;
    }
    // One report for all of them, however many there are.
    std::wstring report = std::to_wstring(written) + L" notes were exported; " + std::to_wstring(failed) +
                          L" notes could not be written.";
    if (!named.empty())
        report += L"\n\nNot written:";
    for (const std::wstring& failure : named)
        report += L"\n - " + failure;
    if (failed > static_cast<int>(named.size()))
        report += L"\n - ...";
    m_host.Say(report, MB_OK | MB_ICONWARNING);
}

int NotesImportExport::ExportLevel(const std::wstring& folder, HTREEITEM item, int& failed,
                                   std::vector<std::wstring>* named) {
    // The texts are read in one pass: a query per note would take longer than
    // writing the files. Without them nothing can be written.
    std::unordered_map<long long, std::wstring> texts;
    if (!m_session.Store().IsOpen() ||
        !TryStorageStep(m_host, kLoadError, [&] { texts = m_session.Store().ReadAllTexts(); })) {
        failed += m_tree.Count();
        return 0;
    }
    for (const DeferredSave::Waiting& save : m_session.WaitingSaves().All())
        texts[save.noteId] = save.text;
    TreeExport exported(m_tree, texts);
    const int written = exported.Write(folder, item);
    failed += exported.Failed();
    if (named)
        named->insert(named->end(), exported.Named().begin(), exported.Named().end());
    return written;
}

void NotesImportExport::ImportFolder(const std::wstring& folder, ImportProgress& progress) {
    // What the editor holds is stored first, as at every other move away from it.
    m_session.SaveShownNote();
    m_session.WriteWaitingSaves();
    if (!m_session.Store().IsOpen())
        return;
    int filesRead = 0;
    FolderImport files([&](int read) {
        filesRead = read;
        return progress.Going(read, 0, 0);
    });
    if (!files.Read(folder)) {
        progress.Finished();
        m_host.Say(kCancelled, MB_OK | MB_ICONINFORMATION);
        return;
    }
    const int total = files.Notes() + 1;
    // Each note goes into the tree as it is stored, inside the transaction (no
    // look for other copies' changes comes between), with the drawing off; a
    // failure takes the new branch out again with the rows.
    int stored = 0;
    HTREEITEM importedRoot = nullptr;
    std::function<void(const ImportedNote&, long long, HTREEITEM)> store = [&](const ImportedNote& note,
                                                                               long long parentId, HTREEITEM parent) {
        const long long id = m_session.Store().InsertNote(0, parentId, note.name, note.text, 0);
        const HTREEITEM item = m_tree.InsertNote(note.name, id, parent);
        if (!importedRoot)
            importedRoot = item;
        if (!progress.Going(filesRead, ++stored, total))
            throw ImportCancelled{};
        for (const ImportedNote& child : note.children)
            store(child, id, item);
    };
    // Writing 20 MB to the disk takes a while: the window answers meanwhile.
    const NotesStore::CommitRunner commitBeside = [&](const std::function<void()>& commit) {
        RunBesideMessages(commit, [&] { progress.Going(filesRead, stored, total); });
    };
    const wchar_t* failed = nullptr;
    std::wstring failure;
    m_tree.SetRedraw(false);
    try {
        m_session.Store().InTransaction([&] { store(files.Root(), 0, TVI_ROOT); }, false, commitBeside);
    } catch (const ImportCancelled&) {
        failed = kCancelled;
    } catch (const CppSQLite3Exception& e) {
        failed = kImportError;
        failure = e.Message();
    }
    if (failed && importedRoot)
        m_tree.Remove(importedRoot);
    m_tree.SetRedraw(true);
    // Saves that arrived while the notes were stored waited for the end.
    if (m_session.WaitingSaves().IsWaiting())
        m_session.WriteWaitingSaves();
    progress.Finished();
    if (failed) {
        m_host.Say(failed + failure, MB_OK | (failure.empty() ? MB_ICONINFORMATION : MB_ICONERROR));
        return;
    }

    std::wstring report = std::to_wstring(total) + L" notes were imported from " + folder + L".";
    if (files.SkippedNotText() > 0)
        report += L"\n\n" + std::to_wstring(files.SkippedNotText()) + L" files were skipped: they are not text files.";
    NameFiles(report,
              L" files were skipped: they are larger than a note can take (" +
                  std::to_wstring(kLargestNoteFile / (1024 * 1024)) + L" MB):",
              files.TooLarge());
    NameFiles(report, L" files were skipped: they hold NUL characters, which a note can't hold:", files.HoldingNul());
    NameFiles(report, L" files could not be read:", files.Unreadable());
    NameFiles(report, L" folder links were not followed (a link can lead back into the folder):", files.Links());
    const bool skipped = files.SkippedNotText() > 0 || !files.TooLarge().empty() || !files.HoldingNul().empty() ||
                         !files.Unreadable().empty() || !files.Links().empty();
    m_host.Say(report, MB_OK | (skipped ? MB_ICONWARNING : MB_ICONINFORMATION));
}
