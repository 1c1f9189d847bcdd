// NotesSession's import of a folder of text files: the files are read first
// (textfiles/FolderImport.h), then stored in one transaction and put into the
// tree after the notes already there; the selection and the note shown stay.
#include <functional>
#include <string>
#include <vector>

#include "notes/NotesSession.h"
#include "textfiles/TextFileRead.h"

namespace {
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

void NotesSession::ImportFolder(const std::wstring& folder, ImportProgress& progress) {
    // What the editor holds is stored first, as at every other move away from it.
    SaveShownNote();
    WriteWaitingSaves();
    if (!m_store.IsOpen())
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
    // The ids of the notes in the order they were stored: the root first, then
    // each note before its subnotes.
    std::vector<long long> ids;
    ids.reserve(static_cast<size_t>(total));
    std::function<void(const ImportedNote&, long long)> store = [&](const ImportedNote& note, long long parentId) {
        ids.push_back(m_store.InsertNote(0, parentId, note.name, note.text, 0));
        if (!progress.Going(filesRead, static_cast<int>(ids.size()), total))
            throw ImportCancelled{};
        const long long id = ids.back();
        for (const ImportedNote& child : note.children)
            store(child, id);
    };
    const wchar_t* failed = nullptr;
    std::wstring failure;
    try {
        m_store.InTransaction([&] { store(files.Root(), 0); });
    } catch (const ImportCancelled&) {
        failed = kCancelled;
    } catch (const CppSQLite3Exception& e) {
        failed = kImportError;
        failure = e.Message();
    }
    // Saves that arrived while the notes were stored waited for the end.
    if (m_saves.Waiting().IsWaiting())
        WriteWaitingSaves();
    if (failed) {
        progress.Finished();
        m_host.Say(failed + failure, MB_OK | (failure.empty() ? MB_ICONINFORMATION : MB_ICONERROR));
        return;
    }
    m_tree.SetRedraw(false);
    std::vector<long long>::const_iterator id = ids.begin();
    InsertImported(files.Root(), TVI_ROOT, id);
    m_tree.SetRedraw(true);
    progress.Finished();

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

void NotesSession::InsertImported(const ImportedNote& note, HTREEITEM parent,
                                  std::vector<long long>::const_iterator& id) {
    const HTREEITEM item = m_tree.InsertNote(note.name, *id++, parent);
    for (const ImportedNote& child : note.children)
        InsertImported(child, item, id);
}
