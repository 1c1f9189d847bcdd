// The main window's notes store: opening it, the tree filled from it, the
// editor's text going to and from the selected note, the deferred save, and
// the one report of storage failures. The SQL is NotesStore's.
#include <string>
#include <utility>

#include "app/AppConstants.h"
#include "app/AppFolders.h"
#include "app/TallyLeafDlg.h"
#include "framework/AppMessageBox.h"

namespace {
const wchar_t kOpenError[] = L"Tallyleaf: Can't open database.\n Error #1 - ";
}  // namespace

bool CTallyLeafDlg::TryStorage(const wchar_t* failurePrefix, const std::function<void()>& step) {
    try {
        step();
        return true;
    } catch (const CppSQLite3Exception& e) {
        AppMessageBox(std::wstring(failurePrefix) + e.Message(), nullptr, MB_OK | MB_ICONERROR, m_hWnd);
        return false;
    }
}

void CTallyLeafDlg::OpenNotesStore() {
    // A save still waiting belongs to the file that is open now: it goes there
    // before that file is closed, never into the next one.
    WritePendingSaveNow();
    m_store.Close();
    // A database of the previous release is carried over into a file not made yet.
    if (::GetFileAttributesW(m_strDbPath.c_str()) == INVALID_FILE_ATTRIBUTES) {
        const DWORD old = ::GetFileAttributesW((AppFolders::DataFolder() + L"notes.db").c_str());
        if (old != INVALID_FILE_ATTRIBUTES && !(old & FILE_ATTRIBUTE_DIRECTORY))
            ConvertOldDatabase();
    }
    bool opened = TryStorage(kOpenError, [this] {
        m_store.Open(m_strDbPath);
        if (!m_store.HasTable())
            CreateNotesTable();
    });
    opened = opened && m_store.IsOpen();
    // Nothing to show: later storage operations find the store closed and do nothing.
    if (!opened)
        m_store.CloseQuietly();

    // The tree is emptied and filled with its drawing off, then drawn once: a
    // tree view drawn item by item while it is shown takes about a millisecond
    // per note (seconds for thousands of notes).
    m_wndTree.SetRedraw(false);
    m_bClearingTree = true;
    m_wndTree.DeleteAllItems();
    m_bClearingTree = false;
    ShowNoNote();
    if (opened) {
        TryStorage(kOpenError, [this] {
            if (FillTree(0, TVI_ROOT) == 0) {
                CreateNotesTable();
                FillTree(0, TVI_ROOT);
            }
        });
    }
    m_wndTree.SetRedraw(true);
    ::InvalidateRect(m_wndTree, nullptr, TRUE);
    // The selection change shows the first note; a separate load before it
    // would only set the editor's text twice. With no item there is no note
    // to show, and the editor stays empty and read-only.
    if (HTREEITEM first = m_wndTree.GetRootItem())
        m_wndTree.SelectItem(first);
}

void CTallyLeafDlg::CreateNotesTable() {
    TryStorage(L"Tallyleaf: Can't create the main table.\n Error #1 - ", [this] { m_store.CreateTable(); });
}

int CTallyLeafDlg::FillTree(int parentId, HTREEITEM parent) {
    if (!m_store.IsOpen())
        return 0;
    NotesStore::RowsByParent rows = m_store.ReadTreeRows();
    return InsertChildren(rows, parentId, parent);
}

int CTallyLeafDlg::InsertChildren(NotesStore::RowsByParent& rows, int parentId, HTREEITEM parent) {
    auto level = rows.find(parentId);
    if (level == rows.end())
        return 0;
    // Taken out of the map, so a note that is its own ancestor cannot be reached twice.
    std::vector<NotesStore::TreeRow> notes = std::move(level->second);
    rows.erase(level);
    int count = 0;
    for (const NotesStore::TreeRow& note : notes) {
        HTREEITEM item = m_wndTree.InsertNoteItem(note.name, note.id, parent, TVI_LAST);
        count += InsertChildren(rows, note.id, item) + 1;
    }
    return count;
}

void CTallyLeafDlg::LoadNote(int noteId) {
    if (!m_store.IsOpen())
        return;
    // No note has id 0: an item that stands for none shows nothing editable.
    if (noteId == 0) {
        ShowNoNote();
        return;
    }
    // Moving back to a note whose save still waits: write it first, so the
    // editor shows the latest text and nothing older overwrites it later.
    if (m_deferredSave.IsWaitingFor(noteId))
        WritePendingSaveNow();
    NotesStore::NoteContent note;
    if (!TryStorage(L"Tallyleaf error: Can't load note.\n - ", [&] { note = m_store.LoadNote(noteId); })) {
        // Whatever the editor held belongs to another note: it must not stay
        // editable under this selection, nor be written into this note.
        ShowNoNote();
        return;
    }
    m_strNoteText = std::move(note.text);
    WrapEditorFor(m_strNoteText);
    m_wndEditor.ShowText(m_strNoteText, note.pos);
    if (m_wndEditor.IsReadOnly())
        m_wndEditor.SetReadOnly(false);
    m_nShownNoteId = noteId;
}

void CTallyLeafDlg::ShowNoNote() {
    m_nShownNoteId = 0;
    m_strNoteText.clear();
    m_wndEditor.ShowText(m_strNoteText, 0);
    m_wndEditor.SetReadOnly(true);
    m_wndEditor.SetModify(false);
}

void CTallyLeafDlg::WriteNoteText(int noteId) {
    // The editor's text belongs to the note it was loaded from, and to no other:
    // with no note shown (or another one) there is nothing to write.
    if (noteId == 0 || noteId != m_nShownNoteId)
        return;
    m_store.SaveNote(noteId, m_strNoteText, m_wndEditor.PackedPosition());
}

void CTallyLeafDlg::SaveNote(int noteId) {
    if (!m_store.IsOpen())
        return;
    UpdateData(true);
    TryStorage(L"Tallyleaf error: Can't save note.\n - ", [&] { WriteNoteText(noteId); });
    m_wndEditor.SetModify(false);
}

void CTallyLeafDlg::SaveNotesOnExit() {
    UpdateData(true);
    // A deferred save still waiting (a note left just before the end) goes first.
    WritePendingSaveNow();
    if (!m_store.IsOpen())
        return;
    TryStorage(L"Tallyleaf destroy error.\n - ", [this] {
        WriteNoteText(m_wndTree.SelectedNoteId());
        m_wndEditor.SetModify(false);
        if (m_bNoteDeleted)
            m_store.Vacuum();
    });
}

void CTallyLeafDlg::FlushPendingSave() {
    if (!m_store.IsOpen())
        return;
    TryStorage(L"Tallyleaf error 2: Can't save note.\n - ", [this] { m_deferredSave.WriteTo(m_store); });
}

void CTallyLeafDlg::StartDeferredSave(int noteId) {
    if (m_deferredSave.IsWaiting())
        FlushPendingSave();
    m_deferredSave.Record(noteId, m_wndEditor.GetWindowText(), m_wndEditor.PackedPosition());
    SetTimer(TIMER_DEFERRED_SAVE, kDeferredSaveMs);
}

void CTallyLeafDlg::WritePendingSaveNow() {
    if (!m_deferredSave.IsWaiting())
        return;
    KillTimer(TIMER_DEFERRED_SAVE);
    FlushPendingSave();
    m_deferredSave.Clear();
}

LRESULT CTallyLeafDlg::OnNoteSelChanged(NMHDR* hdr) {
    if (m_bClearingTree)
        return 0;
    const auto* change = reinterpret_cast<const NMTREEVIEWW*>(hdr);
    // The note left is the one the editor shows (the item may be gone already:
    // deleted or moved). Only a modified note needs its text: an unchanged one
    // is not copied at all (the switch is a hot path, and notes can be megabytes long).
    if (m_nShownNoteId != 0 && m_wndEditor.GetModify())
        StartDeferredSave(m_nShownNoteId);
    // A change to no item at all (the last one deleted) shows no note.
    if (change->itemNew.hItem)
        LoadNote(static_cast<int>(change->itemNew.lParam));
    else
        ShowNoNote();
    m_wndEditor.SetModify(false);
    return 0;
}
