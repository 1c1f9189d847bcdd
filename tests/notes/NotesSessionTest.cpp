// The notes session without windows: a tree, an editor and a host of the
// test's own over a real database file, so that what the table holds can be
// set beside what the tree shows.
#include "notes/NotesParts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <utility>
#include <string>
#include <vector>

#include "app/TestSeams.h"
#include "storage/CppSQLite3DB.h"
#include "storage/CppSQLite3Query.h"
#include "storage/DatabaseBackup.h"
#include "support/PostedMessages.h"
#include "support/Pump.h"
#include "support/SeededStore.h"
#include "support/TempDir.h"

namespace {

// A tree of items in a list: item k is the list's entry k - 1. Selection
// changes are reported to the session, as the tree control's notifications are.
class FakeTree : public NotesTreeView {
public:
    NotesSession* session = nullptr;
    // How often items were added, renamed or removed, or drawing was switched.
    int changes = 0;

    HTREEITEM InsertNote(const std::wstring& name, long long noteId, HTREEITEM parent) override {
        ++m_revision;
        ++changes;
        m_nodes.push_back({name, noteId, parent == TVI_ROOT ? nullptr : parent, true});
        return ItemAt(m_nodes.size() - 1);
    }
    HTREEITEM FindNote(long long noteId) const override {
        for (size_t i = 0; i < m_nodes.size(); ++i)
            if (m_nodes[i].alive && m_nodes[i].id == noteId)
                return ItemAt(i);
        return nullptr;
    }
    long long NoteId(HTREEITEM item) const override { return item ? Node(item).id : 0; }
    HTREEITEM Selected() const override { return m_selected; }
    void Select(HTREEITEM item) override {
        m_selected = item;
        session->OnSelectionChanged(item != nullptr, NoteId(item));
    }
    const std::wstring& Name(HTREEITEM item) const override { return Node(item).name; }
    void SetName(HTREEITEM item, const std::wstring& name) override {
        ++m_revision;
        ++changes;
        Node(item).name = name;
    }
    std::vector<long long> BranchNoteIds(HTREEITEM item) const override {
        std::vector<long long> ids{NoteId(item)};
        for (HTREEITEM child = FirstChild(item); child; child = NextSibling(child)) {
            const std::vector<long long> below = BranchNoteIds(child);
            ids.insert(ids.end(), below.begin(), below.end());
        }
        return ids;
    }
    void Remove(HTREEITEM item) override {
        ++changes;
        for (HTREEITEM child = FirstChild(item); child; child = FirstChild(item))
            Remove(child);
        ++m_revision;
        Node(item).alive = false;
        if (m_selected == item)
            Select(FirstItem());
    }
    void RemoveAll() override {
        ++m_revision;
        m_nodes.clear();
        Select(nullptr);
    }
    void SetRedraw(bool) override { ++changes; }
    HTREEITEM FirstItem() const override { return Following(nullptr, 0); }
    HTREEITEM NextSibling(HTREEITEM item) const override { return Following(Node(item).parent, Index(item) + 1); }
    HTREEITEM FirstChild(HTREEITEM item) const override { return Following(item, 0); }
    int Count() const override {
        int count = 0;
        for (const Entry& node : m_nodes)
            count += node.alive ? 1 : 0;
        return count;
    }
    unsigned Revision() const override { return m_revision; }

    // What a drag in the tree does before it reports the move: the item goes
    // under `parent` (null: the top level).
    void Move(HTREEITEM item, HTREEITEM parent) {
        ++m_revision;
        Node(item).parent = parent;
    }
    // Each note shown as "name < parent's name".
    std::set<std::wstring> Notes() const {
        std::set<std::wstring> notes;
        for (const Entry& node : m_nodes)
            if (node.alive)
                notes.insert(node.name + L" < " + (node.parent ? Node(node.parent).name : L""));
        return notes;
    }

private:
    struct Entry {
        std::wstring name;
        long long id;
        HTREEITEM parent;
        bool alive;
    };
    static HTREEITEM ItemAt(size_t index) { return reinterpret_cast<HTREEITEM>(static_cast<uintptr_t>(index + 1)); }
    static size_t Index(HTREEITEM item) { return reinterpret_cast<uintptr_t>(item) - 1; }
    Entry& Node(HTREEITEM item) { return m_nodes.at(Index(item)); }
    const Entry& Node(HTREEITEM item) const { return m_nodes.at(Index(item)); }
    HTREEITEM Following(HTREEITEM parent, size_t from) const {
        for (size_t i = from; i < m_nodes.size(); ++i)
            if (m_nodes[i].alive && m_nodes[i].parent == parent)
                return ItemAt(i);
        return nullptr;
    }

    std::vector<Entry> m_nodes;
    HTREEITEM m_selected = nullptr;
    unsigned m_revision = 0;
};

class FakeEditor : public NoteEditorView {
public:
    std::wstring text;
    bool modified = false;
    bool readOnly = true;
    std::pair<std::size_t, std::size_t> selection;

    std::wstring Text() const override { return text; }
    int Position() const override { return 0; }
    void ShowNote(const std::wstring& note, int) override { text = note; }
    void ShowOther(const std::wstring& other) override { text = other; }
    bool IsModified() const override { return modified; }
    void SetModified(bool on) override { modified = on; }
    bool IsReadOnly() const override { return readOnly; }
    void SetReadOnly(bool on) override { readOnly = on; }
    void SelectRange(std::size_t start, std::size_t end) override { selection = {start, end}; }
    void Focus() override {}
    void Type(const std::wstring& typed) {
        text = typed + text;
        modified = true;
    }
};

// A host whose timers run only when the test fires them, and whose user
// answers every box with `answer` and every name entry with `name`.
class FakeHost : public NotesHost {
public:
    std::map<Timer, UINT> timers;
    std::vector<std::wstring> boxes;
    int answer = IDYES;
    std::wstring name;

    void StartTimer(Timer timer, UINT ms) override { timers[timer] = ms; }
    void StopTimer(Timer timer) override { timers.erase(timer); }
    int Say(const std::wstring& text, UINT) override {
        boxes.push_back(text);
        return answer;
    }
    void SayUncaptioned(const std::wstring& text) override { boxes.push_back(text); }
    bool AskName(const wchar_t*, const wchar_t*, const std::wstring&, std::wstring& answered) override {
        answered = name;
        return !name.empty();
    }
    PostTarget BackupDoneTarget() const override { return backupDone; }
    PostTarget backupDone{nullptr, 0};
};

class NotesSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        TestSeams::SetDataFolder(dir.Path());
        tree.session = &session;
        session.SetDatabasePath(dir.File(L"notes2.db"));
    }
    void TearDown() override { TestSeams::SetDataFolder(L""); }

    // Runs statements on the file through a connection of its own.
    void Execute(const std::wstring& sql) {
        CppSQLite3DB own(2000);
        own.Open(dir.File(L"notes2.db"));
        own.ExecuteStatement(sql);
    }
    // Each note of the table as "name < parent's name", as FakeTree::Notes shows them
    // ("(missing)" for a parent that is not there).
    std::set<std::wstring> StoredNotes() {
        CppSQLite3DB own(2000);
        own.Open(dir.File(L"notes2.db"));
        CppSQLite3Query query = own.ExecuteQuery(
            L"SELECT n.name AS name, coalesce(p.name, iif(n.pid = 0, '', '(missing)')) AS parent FROM notes n "
            L"LEFT JOIN notes p ON p.id = n.pid");
        std::set<std::wstring> notes;
        for (; !query.AtEnd(); query.Advance())
            notes.insert(std::wstring(query.TextByName(L"name", L"")) + L" < " + query.TextByName(L"parent", L""));
        return notes;
    }
    // The notes the search reads, their stored texts read in full first when
    // the session asks for that, as the search's worker does.
    std::vector<NoteSearch::Note> NotesToSearch(bool& readInFull) {
        StoredTexts::FullRead read;
        std::vector<NoteSearch::Note> notes = parts.search.NotesToSearch(read);
        readInFull = !read.path.empty();
        if (readInFull) {
            StoredTexts::Snapshot texts = StoredTexts::ReadAll(read);
            StoredTexts::FillIn(notes, *texts);
            parts.search.AdoptStoredTexts(read, texts);
        }
        return notes;
    }
    // A file holding the notes table with these rows ("(id, pid, 'name', 'text', pos), ..."), opened.
    void OpenWithNotes(const std::wstring& rows) {
        Execute(NotesStore::kCreateTableSql);
        Execute(L"INSERT INTO notes VALUES" + rows + L";");
        session.Open();
    }
    std::wstring StoredText(int id) {
        CppSQLite3DB own(2000);
        own.Open(dir.File(L"notes2.db"));
        NotesStore store(own);
        return store.LoadNote(id).text;
    }

    TempDir dir;
    CppSQLite3DB db{2000};
    FakeTree tree;
    FakeEditor editor;
    FakeHost host;
    NotesParts parts{db, tree, editor, host};
    NotesSession& session = parts.session;
};

}  // namespace

TEST_F(NotesSessionTest, AddRenameMoveAndDeleteKeepTheTableAndTheTreeInStep) {
    session.Open();
    ASSERT_EQ(tree.Count(), 1);  // a new file starts with one note, shown
    EXPECT_FALSE(editor.readOnly);
    EXPECT_EQ(tree.Notes(), StoredNotes());

    ASSERT_TRUE(session.AddNote(0, L"Shopping"));
    const int shopping = tree.SelectedNoteId();
    ASSERT_TRUE(session.AddNote(shopping, L"Milk"));
    const HTREEITEM milk = tree.Selected();
    ASSERT_TRUE(session.AddNote(shopping, L"Bread"));
    host.name = L"Rye bread";
    session.RenameSelectedNote();
    EXPECT_EQ(tree.Notes(), StoredNotes());
    EXPECT_EQ(tree.Notes().count(L"Rye bread < Shopping"), 1u);

    tree.Move(milk, nullptr);
    session.OnNoteMoved(tree.NoteId(milk), 0);
    EXPECT_EQ(tree.Notes(), StoredNotes());
    EXPECT_EQ(tree.Notes().count(L"Milk < "), 1u);

    tree.Select(tree.FindNote(shopping));
    session.DeleteSelectedNote();
    EXPECT_EQ(tree.Notes(), StoredNotes());
    EXPECT_EQ(tree.Count(), 2);
    EXPECT_TRUE(session.NoteDeleted());
    EXPECT_TRUE(host.boxes.size() == 1 && host.boxes[0].find(L"Shopping") != std::wstring::npos);
}

TEST_F(NotesSessionTest, ATypedSaveThatFailsWaitsIsReportedOnceAndIsWrittenWhenTheLockGoes) {
    Execute(NotesStore::kCreateTableSql);
    Execute(L"INSERT INTO notes VALUES(1, 0, 'A', 'alpha', 0);");
    session.Open();
    ASSERT_EQ(editor.text, L"alpha");
    editor.Type(L"typed ");
    session.OnTyped();
    ASSERT_EQ(host.timers.count(NotesHost::Timer::TypingPause), 1u);

    CppSQLite3DB other(2000);
    other.Open(dir.File(L"notes2.db"));
    other.ExecuteStatement(L"BEGIN EXCLUSIVE;");
    session.OnTimer(NotesHost::Timer::TypingPause);
    ASSERT_NE(session.WaitingSaves().Find(1), nullptr);
    EXPECT_EQ(session.WaitingSaves().Find(1)->text, L"typed alpha");
    EXPECT_EQ(host.boxes.size(), 1u);
    ASSERT_EQ(host.timers.count(NotesHost::Timer::DeferredSave), 1u);
    const UINT firstRetry = host.timers[NotesHost::Timer::DeferredSave];

    // Still locked: tried again later, without another box.
    session.OnTimer(NotesHost::Timer::DeferredSave);
    EXPECT_TRUE(session.WaitingSaves().IsWaiting());
    EXPECT_EQ(host.boxes.size(), 1u);
    ASSERT_EQ(host.timers.count(NotesHost::Timer::DeferredSave), 1u);
    EXPECT_GT(host.timers[NotesHost::Timer::DeferredSave], firstRetry);

    other.ExecuteStatement(L"COMMIT;");
    session.OnTimer(NotesHost::Timer::DeferredSave);
    EXPECT_FALSE(session.WaitingSaves().IsWaiting());
    EXPECT_EQ(StoredText(1), L"typed alpha");
    EXPECT_EQ(host.boxes.size(), 1u);
}

TEST_F(NotesSessionTest, TheSearchReadsNotesAsTheyAreNowAndShowsAMatchSelected) {
    Execute(NotesStore::kCreateTableSql);
    Execute(
        L"INSERT INTO notes VALUES(1, 0, 'Projects', 'plans', 0), (2, 1, 'Work', 'work', 0),"
        L" (3, 0, 'Home', 'home', 0), (4, 2, 'Notes', 'a stored text', 0);");
    session.Open();
    ASSERT_EQ(tree.SelectedNoteId(), 1);
    editor.Type(L"unsaved ");

    bool readInFull = false;
    std::vector<NoteSearch::Note> notes = NotesToSearch(readInFull);
    EXPECT_TRUE(readInFull);
    ASSERT_EQ(notes.size(), 4u);
    std::vector<std::wstring> paths;
    for (const NoteSearch::Note& note : notes)
        paths.push_back(*note.path);
    EXPECT_EQ(paths, (std::vector<std::wstring>{L"Projects", L"Projects > Work", L"Projects > Work > Notes", L"Home"}));
    EXPECT_EQ(*notes[0].text, L"unsaved plans");
    EXPECT_EQ(*notes[2].text, L"a stored text");

    const auto hits = [&notes](const wchar_t* text) {
        NoteSearch::Query query;
        query.text = text;
        return NoteSearch::Search(notes, query, 10).hits;
    };
    const std::vector<NoteSearch::Hit> stored = hits(L"stored");
    const std::vector<NoteSearch::Hit> home = hits(L"home");
    ASSERT_TRUE(stored.size() == 1 && home.size() == 2 && !home[1].inName);
    ASSERT_TRUE(parts.search.ShowFound(stored[0]));
    EXPECT_EQ(tree.SelectedNoteId(), 4);
    EXPECT_EQ(editor.text, L"a stored text");
    EXPECT_EQ(editor.selection, (std::pair<std::size_t, std::size_t>(2, 8)));
    // A list kept while the texts change selects nothing where the match no longer is.
    editor.Type(L"new ");
    editor.selection = {};
    EXPECT_FALSE(parts.search.ShowFound(stored[0]));
    EXPECT_EQ(editor.selection, (std::pair<std::size_t, std::size_t>(0, 0)));

    // The texts read stay in memory; what the session itself writes meanwhile is seen.
    host.name = L"Renamed";
    session.RenameSelectedNote();
    session.OnTimer(NotesHost::Timer::DeferredSave);
    notes = NotesToSearch(readInFull);
    EXPECT_FALSE(readInFull);
    ASSERT_EQ(notes.size(), 4u);
    EXPECT_EQ(*notes[0].text, L"unsaved plans");
    EXPECT_EQ(*notes[2].name, L"Renamed");
    EXPECT_EQ(*notes[2].path, L"Projects > Work > Renamed");
    NoteSearch::Hit gone;
    gone.noteId = 99;
    EXPECT_FALSE(parts.search.ShowFound(gone));

    // Another program's commit is seen too, and a match it took away is not shown.
    Execute(L"UPDATE notes SET note='a hall' WHERE id=3;");
    notes = NotesToSearch(readInFull);
    EXPECT_TRUE(readInFull);
    EXPECT_EQ(*notes[3].text, L"a hall");
    EXPECT_FALSE(parts.search.ShowFound(home[1]));
    EXPECT_EQ(tree.SelectedNoteId(), 4);
}

// Import Folder and Undo Delete.
namespace {
// Goes on until `cancelAt` notes are stored (never when negative); counts the ends.
class ImportSteps : public ImportProgress {
public:
    int cancelAt = -1;
    int finished = 0;
    // What happens while the window lets messages through, after each step.
    std::function<void(int stored)> during = [](int) {};
    bool Going(int, int stored, int) override {
        during(stored);
        return stored != cancelAt;
    }
    void Finished() override { ++finished; }
};

// The notes from `item` on and below them, one line each: depth, name and stored text.
std::vector<std::wstring> Branches(const FakeTree& tree, HTREEITEM item, const std::function<std::wstring(int)>& text,
                                   int depth = 0) {
    std::vector<std::wstring> lines;
    for (; item; item = tree.NextSibling(item)) {
        lines.push_back(std::to_wstring(depth) + L" " + tree.Name(item) + L" = " + text(tree.NoteId(item)));
        const std::vector<std::wstring> below = Branches(tree, tree.FirstChild(item), text, depth + 1);
        lines.insert(lines.end(), below.begin(), below.end());
    }
    return lines;
}

// A symbolic link at `link` to the folder `target`: Windows' own where it can
// be made, else, under Wine (which shows a Unix link as a plain folder), one
// made by ln. False when neither can be.
bool MakeFolderLink(const std::wstring& link, const std::wstring& target) {
    if (::CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) &&
        ::GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    using UnixName = char*(CDECL*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName)
        return false;
    const auto unixPath = [unixName](const std::wstring& path) {
        char* name = unixName(path.c_str());
        std::wstring wide;
        for (const char* c = name; c && *c; ++c)
            wide += static_cast<wchar_t>(static_cast<unsigned char>(*c));  // the test's paths are ASCII
        ::HeapFree(::GetProcessHeap(), 0, name);
        return wide;
    };
    const size_t slash = link.find_last_of(L'\\');
    std::wstring command = L"start.exe /wait /unix /bin/ln -s \"" + unixPath(target) + L"\" \"" +
                           unixPath(link.substr(0, slash)) + L"/" + link.substr(slash + 1) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    ::WaitForSingleObject(process.hProcess, 30000);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return ::GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES;
}

HTREEITEM LastTopLevel(const FakeTree& tree) {
    HTREEITEM last = tree.FirstItem();
    while (HTREEITEM next = tree.NextSibling(last))
        last = next;
    return last;
}
}  // namespace

class ImportAndUndoDelete : public NotesSessionTest {
protected:
    std::vector<std::wstring> Tree(HTREEITEM item) {
        return Branches(tree, item, [this](int id) { return StoredText(id); });
    }
    // Every row of the table, in id order.
    std::vector<std::wstring> Rows() { return StoredRows(dir.File(L"notes2.db")); }
    ImportSteps steps;
};

TEST_F(ImportAndUndoDelete, AnExportImportedGivesBackTheTreeNoteByNote) {
    Execute(NotesStore::kCreateTableSql);
    // Three levels, in the order their exported names sort in; duplicates, a
    // device name, a final dot and blank, quotes, accents and an emoji.
    Execute(
        L"INSERT INTO notes VALUES(1, 0, 'Caf\u00E9 \u2018quoted\u2019 it''s', 'line one\r\nline \u00FC two', 0),"
        L" (2, 1, 'CON', 'a device name', 0), (3, 1, 'Dup', 'first', 0), (4, 1, 'Dup', 'second', 0),"
        L" (5, 4, 'Deep \xD83D\xDE00', 'third level \xD83D\xDE00', 0), (6, 4, 'ends with a blank ', '', 0),"
        L" (7, 4, 'ends with a dot.', 'x', 0), (8, 0, '\u65E5\u672C\u8A9E', '\u3042\r\n', 0);");
    session.Open();
    const std::vector<std::wstring> before = Tree(tree.FirstItem());
    int failed = 0;
    ASSERT_EQ(parts.transfers.ExportLevel(dir.File(L"export\\"), tree.FirstItem(), failed), 8);

    parts.transfers.ImportFolder(dir.File(L"export"), steps);
    const HTREEITEM imported = LastTopLevel(tree);
    EXPECT_EQ(tree.Name(imported), L"export");
    EXPECT_EQ(Tree(tree.FirstChild(imported)), before);
    EXPECT_EQ(tree.Notes(), StoredNotes());
    ASSERT_FALSE(host.boxes.empty());
    EXPECT_EQ(host.boxes.back().rfind(L"9 notes were imported from ", 0), 0u) << host.boxes.back();
    // The user's place stays: the first note is still the one shown.
    EXPECT_EQ(tree.SelectedNoteId(), 1);
}

TEST_F(ImportAndUndoDelete, TextInEveryEncodingIsReadAndOtherFilesAreSkippedAndReported) {
    session.Open();
    const std::wstring folder = dir.File(L"files\\");
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring text = L"caf\u00E9\r\nline";
    struct File {
        const wchar_t* name;
        std::string bytes;
    };
    const File files[] = {
        {L"1 ansi.txt", "caf\xE9\r\nline"},
        {L"2 utf-8.txt", "caf\xC3\xA9\r\nline"},
        {L"3 utf-8 marked.txt",
         "\xEF\xBB\xBF"
         "caf\xC3\xA9\r\nline"},
        {L"4 utf-16 le.txt", std::string("\xFF\xFE"
                                         "c\0a\0f\0\xE9\0\r\0\n\0l\0i\0n\0e\0",
                                         22)},
        {L"5 utf-16 be.txt", std::string("\xFE\xFF\0c\0a\0f\0\xE9\0\r\0\n\0l\0i\0n\0e", 22)},
        {L"binary.txt", std::string("GIF89a\0\0\x01", 9)},
        {L"picture.png", "\x89PNG"},
    };
    for (const File& file : files)
        WriteFileBytes(folder + file.name, file.bytes);
    // Larger than a note takes, without filling the disk: the file is sparse.
    HANDLE huge = ::CreateFileW((folder + L"huge.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(huge, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size{};
    size.QuadPart = 17ll * 1024 * 1024;
    ASSERT_TRUE(::SetFilePointerEx(huge, size, nullptr, FILE_BEGIN) && ::SetEndOfFile(huge));
    ::CloseHandle(huge);

    parts.transfers.ImportFolder(folder, steps);
    const HTREEITEM imported = LastTopLevel(tree);
    EXPECT_EQ(tree.Name(imported), L"files");
    std::vector<std::wstring> expected;
    for (size_t i = 0; i < 5; ++i) {
        const std::wstring name = files[i].name;
        expected.push_back(L"0 " + name.substr(0, name.size() - 4) + L" = " + text);
    }
    EXPECT_EQ(Tree(tree.FirstChild(imported)), expected);
    ASSERT_FALSE(host.boxes.empty());
    const std::wstring& report = host.boxes.back();
    EXPECT_EQ(report.rfind(L"6 notes were imported", 0), 0u) << report;
    EXPECT_NE(report.find(L"2 files were skipped: they are not text files."), std::wstring::npos) << report;
    EXPECT_NE(report.find(L"1 files were skipped: they are larger than a note can take (16 MB):\n - huge.txt"),
              std::wstring::npos)
        << report;
}

TEST_F(ImportAndUndoDelete, AFailurePartWayAtTheCommitOrACancelLeavesTheNotesAsTheyWere) {
    Execute(NotesStore::kCreateTableSql);
    Execute(L"INSERT INTO notes VALUES(1, 0, 'Kept', 'kept text', 0);");
    Execute(
        L"CREATE TRIGGER refuse BEFORE INSERT ON notes WHEN NEW.name = 'refused'"
        L" BEGIN SELECT RAISE(ABORT, 'not this one'); END;");
    session.Open();
    const std::wstring folder = dir.File(L"in\\");
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ::CreateDirectoryW((folder + L"sub").c_str(), nullptr);
    WriteFileBytes(folder + L"a.txt", "a");
    WriteFileBytes(folder + L"sub\\b.txt", "b");
    WriteFileBytes(folder + L"sub\\refused.txt", "c");
    const std::vector<std::wstring> rows = Rows();
    const std::set<std::wstring> shown = tree.Notes();

    parts.transfers.ImportFolder(folder, steps);
    EXPECT_EQ(Rows(), rows);
    EXPECT_EQ(tree.Notes(), shown);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_NE(host.boxes[0].find(L"not this one"), std::wstring::npos) << host.boxes[0];

    Execute(L"DROP TRIGGER refuse;");
    steps.cancelAt = 3;
    parts.transfers.ImportFolder(folder, steps);
    EXPECT_EQ(Rows(), rows);
    EXPECT_EQ(tree.Notes(), shown);
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_EQ(host.boxes[1], L"The import was cancelled; no note was added.");

    // Another program starts reading once the import runs and reads through
    // its commit, which waits for it and gives up; the window lets messages
    // through all the while.
    CppSQLite3DB reader(0);
    reader.Open(dir.File(L"notes2.db"));
    steps.cancelAt = -1;
    int whileCommitting = 0;
    steps.during = [&](int stored) {
        if (!reader.InTransaction()) {
            reader.ExecuteStatement(L"BEGIN;");
            reader.ExecuteScalar(L"SELECT count(*) FROM notes;");
        }
        whileCommitting += stored == 5 ? 1 : 0;
    };
    parts.transfers.ImportFolder(folder, steps);
    reader.ExecuteStatement(L"COMMIT;");
    reader.Close();
    EXPECT_GT(whileCommitting, 20);
    EXPECT_EQ(Rows(), rows);
    EXPECT_EQ(tree.Notes(), shown);
    ASSERT_EQ(host.boxes.size(), 3u);
    EXPECT_NE(host.boxes[2].find(L"SQLITE_BUSY"), std::wstring::npos) << host.boxes[2];

    steps.during = [](int) {};
    parts.transfers.ImportFolder(folder, steps);
    EXPECT_EQ(Rows().size(), rows.size() + 5);
    // Each time the progress went before the box.
    EXPECT_EQ(steps.finished, 4);
}

TEST_F(ImportAndUndoDelete, UndoDeleteBringsBackEachSubtreeAsItWasMostRecentFirst) {
    Execute(NotesStore::kCreateTableSql);
    Execute(
        L"INSERT INTO notes VALUES(1, 0, 'Shopping list', 'milk', 7), (2, 1, 'Monday', 'bread', 2),"
        L" (3, 1, 'Tuesday', 'eggs', 0), (4, 3, 'Morning', 'tea', 1), (5, 0, 'Work', 'plans', 3),"
        L" (6, 0, 'Home', 'keys', 0);");
    session.Open();
    EXPECT_EQ(session.NoteToUndelete(), nullptr);
    const std::vector<std::wstring> rows = Rows();

    tree.Select(tree.FindNote(5));
    session.DeleteSelectedNote();
    tree.Select(tree.FindNote(1));
    session.DeleteSelectedNote();
    ASSERT_NE(session.NoteToUndelete(), nullptr);
    EXPECT_EQ(*session.NoteToUndelete(), L"Shopping list");
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"6 0 Home = keys @0"}));

    session.UndoDelete();
    EXPECT_EQ(tree.SelectedNoteId(), 1);
    EXPECT_EQ(editor.text, L"milk");
    ASSERT_NE(session.NoteToUndelete(), nullptr);
    EXPECT_EQ(*session.NoteToUndelete(), L"Work");
    session.UndoDelete();
    EXPECT_EQ(tree.SelectedNoteId(), 5);
    EXPECT_EQ(session.NoteToUndelete(), nullptr);
    // Ids, parents, names, texts and positions, as they were.
    EXPECT_EQ(Rows(), rows);
    EXPECT_EQ(tree.Notes(), StoredNotes());
}

TEST_F(ImportAndUndoDelete, AnUndeletedNoteWhoseParentIsGoneComesBackAtTheTopUnderANewIdWhenItsOwnIsTaken) {
    Execute(NotesStore::kCreateTableSql);
    Execute(
        L"INSERT INTO notes VALUES(1, 0, 'Parent', '', 0), (2, 1, 'Child', 'child text', 0), (3, 2, 'Leaf', 'l', 0);");
    session.Open();
    tree.Select(tree.FindNote(2));
    session.DeleteSelectedNote();
    // Meanwhile another program deletes the parent, and a new note takes the id 2.
    Execute(L"DELETE FROM notes WHERE id = 1;");
    Execute(L"INSERT INTO notes VALUES(2, 0, 'Newcomer', '', 0);");

    session.UndoDelete();
    EXPECT_EQ(tree.Name(tree.Selected()), L"Child");
    EXPECT_EQ(editor.text, L"child text");
    const int child = tree.SelectedNoteId();
    EXPECT_GT(child, 2);
    EXPECT_EQ(StoredText(child), L"child text");
    EXPECT_EQ(StoredNotes().count(L"Child < "), 1u);
    EXPECT_EQ(StoredNotes().count(L"Leaf < Child"), 1u);
    EXPECT_EQ(tree.Notes().count(L"Child < "), 1u);
    EXPECT_EQ(tree.Notes().count(L"Leaf < Child"), 1u);
}

TEST_F(NotesSessionTest, WhenTwoCopiesEditOneNoteNeitherTextIsLostAndTheUserIsToldOnce) {
    OpenWithNotes(L"(1, 0, 'Plans', 'plans', 0), (2, 1, 'Week', 'week', 0)");
    tree.Select(tree.FindNote(2));
    // The program's own saves are no conflict with themselves.
    editor.Type(L"mine ");
    session.SaveShownNote();
    editor.Type(L"more ");
    session.SaveShownNote();
    ASSERT_EQ(StoredText(2), L"more mine week");
    ASSERT_TRUE(host.boxes.empty());

    editor.Type(L"last ");
    Execute(L"UPDATE notes SET note='theirs' WHERE id=2;");
    session.SaveShownNote();
    EXPECT_EQ(StoredText(2), L"theirs");
    const int kept = session.ShownNoteId();
    ASSERT_NE(kept, 2);
    EXPECT_EQ(StoredText(kept), L"last more mine week");
    EXPECT_EQ(tree.SelectedNoteId(), kept);
    EXPECT_EQ(editor.text, L"last more mine week");
    const std::wstring name = tree.Name(tree.FindNote(kept));
    EXPECT_EQ(name.rfind(L"Week (conflict ", 0), 0u) << name;
    EXPECT_EQ(tree.Notes(), StoredNotes());
    EXPECT_EQ(tree.Notes().count(name + L" < Plans"), 1u);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_NE(host.boxes[0].find(L"\"Week\""), std::wstring::npos) << host.boxes[0];
    EXPECT_NE(host.boxes[0].find(L"\"" + name + L"\""), std::wstring::npos) << host.boxes[0];

    // Typing on goes into the conflict note, without a second conflict or box.
    editor.Type(L"again ");
    session.SaveShownNote();
    EXPECT_EQ(StoredText(kept), L"again last more mine week");
    EXPECT_EQ(StoredText(2), L"theirs");
    EXPECT_EQ(tree.Count(), 3);
    EXPECT_EQ(host.boxes.size(), 1u);
}

TEST_F(NotesSessionTest, NotesDeletedByAnotherCopyWhileEditedComeBackWithTheirTexts) {
    OpenWithNotes(
        L"(1, 0, 'Plans', 'plans', 0), (2, 1, 'Week', 'week', 0), (3, 0, 'Home', 'home', 0), (4, 3, 'Day', 'day', 0)");
    tree.Select(tree.FindNote(2));
    editor.Type(L"mine ");
    // Left with its save waiting; the note shown now is typed into too.
    tree.Select(tree.FindNote(4));
    editor.Type(L"today ");
    ASSERT_TRUE(session.WaitingSaves().IsWaiting());

    // The other copy deletes the note left, and the shown note with its parent.
    Execute(L"DELETE FROM notes WHERE id IN (2, 3, 4);");
    session.CheckForChanges();
    EXPECT_FALSE(session.WaitingSaves().IsWaiting());
    EXPECT_EQ(StoredNotes(), (std::set<std::wstring>{L"Plans < ", L"Week < Plans", L"Day < "}));
    EXPECT_EQ(tree.Notes(), StoredNotes());
    EXPECT_EQ(tree.Count(), 3);
    // The editor goes on with the typed text, which is the restored note's.
    EXPECT_EQ(editor.text, L"today day");
    EXPECT_EQ(tree.SelectedNoteId(), session.ShownNoteId());
    EXPECT_EQ(StoredText(session.ShownNoteId()), L"today day");
    EXPECT_EQ(tree.Name(tree.Selected()), L"Day");
    HTREEITEM week = tree.FirstChild(tree.FindNote(1));
    ASSERT_NE(week, nullptr);
    EXPECT_EQ(StoredText(tree.NoteId(week)), L"mine week");
    ASSERT_EQ(host.boxes.size(), 2u);
    EXPECT_NE(host.boxes[0].find(L"top level"), std::wstring::npos) << host.boxes[0];
    EXPECT_NE(host.boxes[1].find(L"\"Week\""), std::wstring::npos) << host.boxes[1];
}

TEST_F(NotesSessionTest, WhileShownTheTreeFollowsAnotherCopyKeepingTheUsersPlace) {
    OpenWithNotes(
        L"(1, 0, 'A', 'alpha', 0), (2, 0, 'B', 'beta', 0), (3, 1, 'C', 'gamma', 0), (4, 0, 'D', 'delta', 0), (5, 4, "
        L"'E', 'epsilon', 0)");
    session.OnWindowShown();
    ASSERT_EQ(host.timers.count(NotesHost::Timer::CheckForChanges), 1u);
    EXPECT_LE(host.timers[NotesHost::Timer::CheckForChanges], 5000u);
    ASSERT_EQ(tree.SelectedNoteId(), 1);
    editor.Type(L"typed ");

    Execute(L"INSERT INTO notes VALUES(6, 1, 'New', '', 0);");
    Execute(L"UPDATE notes SET name='B2' WHERE id=2;");
    Execute(L"UPDATE notes SET pid=2 WHERE id=3;");
    Execute(L"DELETE FROM notes WHERE id IN (4, 5);");
    session.OnTimer(NotesHost::Timer::CheckForChanges);
    EXPECT_EQ(tree.Notes(), StoredNotes());
    EXPECT_EQ(tree.Notes(), (std::set<std::wstring>{L"A < ", L"B2 < ", L"C < B2", L"New < A"}));
    EXPECT_EQ(tree.SelectedNoteId(), 1);
    EXPECT_EQ(session.ShownNoteId(), 1);
    EXPECT_EQ(editor.text, L"typed alpha");
    EXPECT_EQ(StoredText(1), L"typed alpha");
    EXPECT_TRUE(host.boxes.empty());

    // The shown note changed elsewhere while nothing is typed here: it shows as stored.
    Execute(L"UPDATE notes SET note='from the laptop' WHERE id=1;");
    session.OnTimer(NotesHost::Timer::CheckForChanges);
    EXPECT_EQ(editor.text, L"from the laptop");
    EXPECT_FALSE(editor.modified);

    // Nothing changed: nothing is written, and the tree is not touched.
    editor.Type(L"own ");
    session.SaveShownNote();
    CppSQLite3DB other(2000);
    other.Open(dir.File(L"notes2.db"));
    const int otherVersion = other.ExecuteScalar(L"PRAGMA data_version;");
    tree.changes = 0;
    session.CheckForChanges();
    EXPECT_EQ(tree.changes, 0);
    EXPECT_EQ(other.ExecuteScalar(L"PRAGMA data_version;"), otherVersion);
    EXPECT_EQ(editor.text, L"own from the laptop");

    session.OnWindowHidden();
    EXPECT_EQ(host.timers.count(NotesHost::Timer::CheckForChanges), 0u);
}

TEST_F(NotesSessionTest, TreeChangesThatMeetAnotherCopysChangesLoseNoNoteAndTheTreeFollowsTheFile) {
    OpenWithNotes(
        L"(1, 0, 'P', '', 0), (2, 0, 'N', '', 0), (3, 2, 'Child', '', 0), (4, 0, 'M', '', 0), "
        L"(5, 0, 'Keep', '', 0)");
    // The other copy runs `theirs`, then `note` is dropped onto `parent` here:
    // refused, with one box, and the tree shows the file as it is.
    const auto dropAfter = [&](const wchar_t* theirs, long long note, long long parent,
                               const std::set<std::wstring>& stored) {
        const size_t boxes = host.boxes.size();
        Execute(theirs);
        tree.Move(tree.FindNote(note), tree.FindNote(parent));
        session.OnNoteMoved(note, parent);
        EXPECT_EQ(StoredNotes(), stored);
        EXPECT_EQ(tree.Notes(), StoredNotes());
        ASSERT_EQ(host.boxes.size(), boxes + 1);
        EXPECT_NE(host.boxes.back().find(L"another copy"), std::wstring::npos) << host.boxes.back();
    };
    // The other copy deletes P while N is dropped onto it here.
    dropAfter(L"DELETE FROM notes WHERE id=1;", 2, 1, {L"N < ", L"Child < N", L"M < ", L"Keep < "});
    EXPECT_FALSE(session.AddNote(1, L"Under P"));
    // Crossed drags: M into N there, N into M here.
    dropAfter(L"UPDATE notes SET pid=2 WHERE id=4;", 2, 4, {L"N < ", L"Child < N", L"M < N", L"Keep < "});

    // The other copy adds a note below N, which is deleted here: it goes with
    // N, and comes back with it.
    Execute(L"INSERT INTO notes VALUES(9, 4, 'Unseen', 'unseen text', 0);");
    tree.Select(tree.FindNote(2));
    session.DeleteSelectedNote();
    EXPECT_EQ(StoredNotes(), (std::set<std::wstring>{L"Keep < "}));
    EXPECT_EQ(tree.Notes(), StoredNotes());
    session.UndoDelete();
    EXPECT_EQ(StoredNotes(), (std::set<std::wstring>{L"N < ", L"Child < N", L"M < N", L"Unseen < M", L"Keep < "}));
    EXPECT_EQ(tree.Notes(), StoredNotes());
    EXPECT_EQ(StoredText(9), L"unseen text");
}

TEST_F(NotesSessionTest, ANoteOnlyReadHereTakesAnotherCopysTextAtHideAndAtExitWithoutAConflict) {
    OpenWithNotes(L"(1, 0, 'A', 'alpha', 0), (2, 0, 'B', 'beta', 0)");
    Execute(L"UPDATE notes SET note='from the laptop' WHERE id=1;");
    session.SaveShownNote();  // the window hides
    EXPECT_EQ(StoredText(1), L"from the laptop");
    EXPECT_EQ(editor.text, L"from the laptop");
    EXPECT_EQ(tree.SelectedNoteId(), 1);

    Execute(L"UPDATE notes SET note='from the laptop again' WHERE id=1;");
    session.SaveOnExit();
    EXPECT_EQ(StoredText(1), L"from the laptop again");
    EXPECT_EQ(StoredNotes(), (std::set<std::wstring>{L"A < ", L"B < "}));
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(NotesSessionTest, AConflictMetOnTheWayBackToANoteLosesNoTypingAndTheSelectionStaysWithTheEditor) {
    OpenWithNotes(L"(1, 0, 'A', 'alpha', 0), (2, 0, 'B', 'beta', 0)");
    editor.Type(L"a1 ");
    tree.Select(tree.FindNote(2));
    // A's save meets a lock and waits for its retry.
    CppSQLite3DB other(2000);
    other.Open(dir.File(L"notes2.db"));
    other.ExecuteStatement(L"BEGIN EXCLUSIVE;");
    session.OnTimer(NotesHost::Timer::DeferredSave);
    ASSERT_NE(session.WaitingSaves().Find(1), nullptr);
    other.ExecuteStatement(L"UPDATE notes SET note='their beta' WHERE id=2;");
    other.ExecuteStatement(L"COMMIT;");

    // Back to A: the saves that wait are written, and B's meets the other copy's text.
    editor.Type(L"b1 ");
    tree.Select(tree.FindNote(1));
    EXPECT_EQ(tree.SelectedNoteId(), 1);
    EXPECT_EQ(session.ShownNoteId(), 1);
    EXPECT_EQ(editor.text, L"a1 alpha");
    editor.Type(L"a2 ");
    session.SaveShownNote();
    EXPECT_EQ(StoredText(1), L"a2 a1 alpha");
    EXPECT_EQ(StoredText(2), L"their beta");
    const HTREEITEM kept = LastTopLevel(tree);
    EXPECT_EQ(tree.Name(kept).rfind(L"B (conflict ", 0), 0u);
    EXPECT_EQ(StoredText(tree.NoteId(kept)), L"b1 beta");
    EXPECT_EQ(tree.Notes(), StoredNotes());
}

TEST_F(ImportAndUndoDelete, ARetryAndALogOffQueryDuringAnImportWaitForItAndTheImportIsAllOrNothing) {
    OpenWithNotes(L"(1, 0, 'A', 'alpha', 0)");
    const std::wstring folder = dir.File(L"in\\");
    ::CreateDirectoryW(folder.c_str(), nullptr);
    WriteFileBytes(folder + L"a.txt", "a");
    WriteFileBytes(folder + L"b.txt", "b");
    // A typed save refused for now waits for its retry; the refusal ends
    // before the notes are stored.
    Execute(L"CREATE TRIGGER refuse BEFORE UPDATE ON notes BEGIN SELECT RAISE(ABORT, 'not yet'); END;");
    editor.Type(L"typed ");
    session.OnTimer(NotesHost::Timer::TypingPause);
    ASSERT_NE(session.WaitingSaves().Find(1), nullptr);
    const std::vector<std::wstring> rows = Rows();
    steps.during = [&](int stored) {
        if (stored == 0)
            Execute(L"DROP TRIGGER IF EXISTS refuse;");
        if (stored == 2)
            session.OnTimer(NotesHost::Timer::DeferredSave);
    };
    steps.cancelAt = 3;
    parts.transfers.ImportFolder(folder, steps);
    EXPECT_EQ(Rows(), (std::vector<std::wstring>{L"1 0 A = typed alpha @0"}));
    EXPECT_FALSE(session.WaitingSaves().IsWaiting());
    ASSERT_EQ(host.boxes.size(), 2u);  // the refusal, then the cancel
    EXPECT_EQ(host.boxes[1], L"The import was cancelled; no note was added.");

    // The end of the session is asked for while the notes are stored: what
    // the editor holds goes into a recovery file, the import into the file.
    editor.Type(L"more ");
    steps.cancelAt = -1;
    steps.during = [&](int stored) {
        if (stored == 2)
            session.SaveOnExit();
    };
    parts.transfers.ImportFolder(folder, steps);
    EXPECT_EQ(Rows().size(), 4u);
    EXPECT_EQ(tree.Notes(), StoredNotes());
    ASSERT_EQ(host.boxes.size(), 4u);
    EXPECT_NE(host.boxes[2].find(L"is kept in these files"), std::wstring::npos) << host.boxes[2];
    EXPECT_EQ(host.boxes[3].rfind(L"3 notes were imported", 0), 0u) << host.boxes[3];
}

TEST_F(ImportAndUndoDelete, AFolderLinkIsNotFollowedAndIsNamedInTheReport) {
    session.Open();
    const std::wstring folder = dir.File(L"linked\\");
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ::CreateDirectoryW((folder + L"sub").c_str(), nullptr);
    WriteFileBytes(folder + L"sub\\a.txt", "a");
    if (!MakeFolderLink(folder + L"sub\\back", dir.File(L"linked")))
        GTEST_SKIP() << "no folder link can be made here";

    parts.transfers.ImportFolder(folder, steps);
    EXPECT_EQ(Tree(tree.FirstChild(LastTopLevel(tree))), (std::vector<std::wstring>{L"0 sub = ", L"1 a = a"}));
    ASSERT_FALSE(host.boxes.empty());
    EXPECT_NE(host.boxes.back().find(L"1 folder links were not followed (a link can lead back into the folder):\n"
                                     L" - sub\\back"),
              std::wstring::npos)
        << host.boxes.back();
}

TEST_F(NotesSessionTest, FilesOfOneNameInTwoFoldersGetTwoSeriesOfBackupsBesideTheDefaultDatabasesOwn) {
    const std::vector<std::wstring> files = {dir.File(L"notes2.db"), dir.File(L"a\\notes2.db"),
                                             dir.File(L"b\\notes2.db")};
    for (const wchar_t* folder : {L"a", L"b"})
        ASSERT_TRUE(::CreateDirectoryW(dir.File(folder).c_str(), nullptr));
    for (const std::wstring& file : files) {
        ::SeedNotes(file, {{1, 0, L"Where", file}});
        session.SwitchTo(file);
        parts.backups.BackUpBeforeLeaving(std::wstring());
    }
    const std::vector<std::wstring> copies = NamesIn(dir.File(L"Backups"));
    ASSERT_EQ(copies.size(), 3u);
    const std::wstring today = DateText(DatabaseBackup::Today()) + L".db";
    // The default database's copies keep the names they always had.
    EXPECT_EQ(std::count(copies.begin(), copies.end(), L"notes2 " + today), 1);
    for (const std::wstring& file : files) {
        const auto copy = std::find_if(copies.begin(), copies.end(), [&](const std::wstring& name) {
            return StoredRows(dir.File(L"Backups\\") + name) == StoredRows(file);
        });
        EXPECT_NE(copy, copies.end()) << "no copy holds the notes of file " << files.size();
    }
    EXPECT_TRUE(host.boxes.empty());
}

TEST_F(NotesSessionTest, ABackupThatEndsAfterASwitchIsReportedForTheFileItCopiedAndOnceADay) {
    // A file where the backup folder should be: no copy can be made.
    WriteFileBytes(dir.File(L"Backups"), "not a folder");
    PostedMessages done(WM_APP + 20);
    host.backupDone = {done.Handle(), done.Message()};
    session.Open();
    parts.backups.BackUpIfDue();
    session.SwitchTo(dir.File(L"second.db"));
    ASSERT_TRUE(PumpUntil([&] { return done.Received().size() == 1; }, 30000));
    parts.backups.OnDone(done.Received()[0]);
    ASSERT_EQ(host.boxes.size(), 1u);
    EXPECT_NE(host.boxes[0].find(dir.File(L"notes2.db")), std::wstring::npos) << host.boxes[0].size();
    EXPECT_EQ(host.boxes[0].find(L"second.db"), std::wstring::npos);

    // The same failure again the same day is not said again.
    parts.backups.BackUpBeforeLeaving(std::wstring());
    EXPECT_EQ(host.boxes.size(), 1u);
}
