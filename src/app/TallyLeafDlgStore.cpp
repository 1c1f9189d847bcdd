// The main window's notes store: the table, the tree filled from it, and the
// editor's text going to and from the selected note.
#include <string>

#include "app/AppConstants.h"
#include "app/AppFolders.h"
#include "app/TallyLeafDlg.h"
#include "framework/AppMessageBox.h"
#include "storage/CppSQLite3DB.h"

namespace {
constexpr int SQLITE_NULL_TYPE = 5;

const wchar_t* const kCreateTableStatements[] = {
    L"begin transaction;",
    L"CREATE TABLE IF NOT EXISTS notes (id INTEGER PRIMARY KEY, pid INTEGER, name TEXT, note TEXT, pos INTEGER);",
    L"INSERT INTO notes VALUES(NULL,0,'Note',' This is a place for your quick notes...',0);",
    L"commit transaction;",
};

std::wstring UpdateNoteSql(const std::wstring& text, int pos, int noteId) {
    return L"UPDATE notes SET note='" + QuoteForSql(text) + L"', pos=" + std::to_wstring(pos) +
           L" WHERE id=" + std::to_wstring(noteId) + L";";
}
}  // namespace

bool CTallyLeafDlg::StoreIsOpen() const {
    return theDB.IsOpen();
}

void CTallyLeafDlg::ShowStorageError(const wchar_t* prefix, const CppSQLite3Exception& e) {
    AppMessageBox(std::wstring(prefix) + e.Message(), nullptr, MB_OK | MB_ICONERROR, m_hWnd);
}

void CTallyLeafDlg::OpenNotesStore() {
    // A save still waiting belongs to the file that is open now: it goes there
    // before that file is closed, never into the next one.
    WritePendingSaveNow();
    theDB.Close();
    // An old-format database is converted here once that conversion exists.
    bool opened = false;
    try {
        theDB.Open(m_strDbPath);
        if (!theDB.HasTable(L"notes"))
            CreateNotesTable();
        opened = theDB.IsOpen();
    } catch (const CppSQLite3Exception& e) {
        ShowStorageError(L"Tallyleaf: Can't open database.\n Error #1 - ", e);
    }
    if (!opened) {
        // Nothing to show: later storage operations find the store closed and do nothing.
        try {
            theDB.Close();
        } catch (const CppSQLite3Exception&) {
        }
    }

    ::SendMessageW(m_wndTree, WM_SETREDRAW, FALSE, 0);
    m_bClearingTree = true;
    m_wndTree.DeleteAllItems();
    m_bClearingTree = false;
    ::SendMessageW(m_wndTree, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(m_wndTree, nullptr, TRUE);
    ShowNoNote();
    if (!opened)
        return;
    try {
        if (FillTree(0, TVI_ROOT) == 0) {
            CreateNotesTable();
            FillTree(0, TVI_ROOT);
        }
    } catch (const CppSQLite3Exception& e) {
        ShowStorageError(L"Tallyleaf: Can't open database.\n Error #1 - ", e);
    }
    // The selection change shows the first note; a separate load before it
    // would only set the editor's text twice. With no item there is no note
    // to show, and the editor stays empty and read-only.
    if (HTREEITEM first = m_wndTree.GetRootItem())
        m_wndTree.SelectItem(first);
}

void CTallyLeafDlg::CreateNotesTable() {
    try {
        for (const wchar_t* statement : kCreateTableStatements)
            theDB.ExecuteStatement(statement);
    } catch (const CppSQLite3Exception& e) {
        // Leave no transaction open behind the failure.
        try {
            theDB.ExecuteStatement(L"rollback transaction;");
        } catch (const CppSQLite3Exception&) {
        }
        ShowStorageError(L"Tallyleaf: Can't create the main table.\n Error #1 - ", e);
    }
}

int CTallyLeafDlg::FillTree(int parentId, HTREEITEM parent) {
    if (!StoreIsOpen())
        return 0;
    // One pass over the table, then the tree is built from memory: a query per
    // note would read the whole table (pid has no index) once for every note.
    NotesByParent children;
    CppSQLite3Query query = theDB.ExecuteQuery(L"SELECT id,pid,name FROM notes");
    for (; !query.AtEnd(); query.Advance()) {
        if (query.ColumnType(query.ColumnIndex(L"pid")) == SQLITE_NULL_TYPE)
            continue;  // a NULL parent is nobody's child
        children[query.IntByName(L"pid", 0)].push_back({query.IntByName(L"id", 0), query.TextByName(L"name", L"Note")});
    }
    query.Finish();
    return InsertChildren(children, parentId, parent);
}

int CTallyLeafDlg::InsertChildren(NotesByParent& children, int parentId, HTREEITEM parent) {
    auto level = children.find(parentId);
    if (level == children.end())
        return 0;
    // Taken out of the map, so a note that is its own ancestor cannot be reached twice.
    std::vector<NoteEntry> notes = std::move(level->second);
    children.erase(level);
    int count = 0;
    for (const NoteEntry& note : notes) {
        HTREEITEM item = m_wndTree.InsertNoteItem(note.name, note.id, parent, TVI_LAST);
        count += InsertChildren(children, note.id, item) + 1;
    }
    return count;
}

void CTallyLeafDlg::LoadNote(int noteId) {
    if (!StoreIsOpen())
        return;
    // No note has id 0: an item that stands for none shows nothing editable.
    if (noteId == 0) {
        ShowNoNote();
        return;
    }
    // Moving back to a note whose save still waits: write it first, so the
    // editor shows the latest text and nothing older overwrites it later.
    if (m_bPendingSave && m_nPendingId == noteId)
        WritePendingSaveNow();
    try {
        CppSQLite3Query query =
            theDB.ExecuteQuery(L"SELECT note, pos FROM notes WHERE id=" + std::to_wstring(noteId) + L";");
        m_strNoteText = query.TextByName(L"note", L"");
        const int pos = query.IntByName(L"pos", 0);
        query.Finish();
        m_wndEditor.ShowText(m_strNoteText, pos);
        if (m_wndEditor.IsReadOnly())
            m_wndEditor.SetReadOnly(false);
        m_nShownNoteId = noteId;
    } catch (const CppSQLite3Exception& e) {
        ShowStorageError(L"Tallyleaf error: Can't load note.\n - ", e);
        // Whatever the editor held belongs to another note: it must not stay
        // editable under this selection, nor be written into this note.
        ShowNoNote();
    }
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
    theDB.ExecuteStatement(UpdateNoteSql(m_strNoteText, m_wndEditor.PackedPosition(), noteId));
}

void CTallyLeafDlg::SaveNote(int noteId) {
    if (!StoreIsOpen())
        return;
    UpdateData(true);
    try {
        WriteNoteText(noteId);
    } catch (const CppSQLite3Exception& e) {
        ShowStorageError(L"Tallyleaf error: Can't save note.\n - ", e);
    }
    m_wndEditor.SetModify(false);
}

void CTallyLeafDlg::FlushPendingSave() {
    if (!StoreIsOpen() || m_nPendingId == 0)
        return;
    try {
        theDB.ExecuteStatement(UpdateNoteSql(m_strPendingText, m_nPendingPos, m_nPendingId));
    } catch (const CppSQLite3Exception& e) {
        ShowStorageError(L"Tallyleaf error 2: Can't save note.\n - ", e);
    }
}

void CTallyLeafDlg::StartDeferredSave(int noteId) {
    if (m_bPendingSave)
        FlushPendingSave();
    m_strPendingText = m_wndEditor.GetWindowText();
    m_nPendingId = noteId;
    m_nPendingPos = m_wndEditor.PackedPosition();
    m_bPendingSave = true;
    SetTimer(TIMER_DEFERRED_SAVE, kDeferredSaveMs);
}

void CTallyLeafDlg::ClearPendingSave() {
    m_bPendingSave = false;
    m_strPendingText.clear();
}

void CTallyLeafDlg::WritePendingSaveNow() {
    if (!m_bPendingSave)
        return;
    KillTimer(TIMER_DEFERRED_SAVE);
    FlushPendingSave();
    ClearPendingSave();
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
