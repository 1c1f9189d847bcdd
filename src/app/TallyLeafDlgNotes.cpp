// The main window's note operations: add, add as subnote, rename, delete with
// the subtree, and the store's part of a note moved in the tree. Each changes
// the table first and the tree after it.
#include <string>

#include "app/TallyLeafDlg.h"
#include "chrome/TextEntryDlg.h"
#include "framework/AppMessageBox.h"
#include "storage/CppSQLite3DB.h"

namespace {
const wchar_t kAddError[] = L"Tallyleaf error: Can't add new note.\n - ";
const wchar_t kDeleteError[] = L"Tallyleaf error: Can't delete subnote.\n - ";

// Asks for a name; false when the user did not answer OK.
bool AskName(HWND owner, const wchar_t* caption, const wchar_t* prompt, const std::wstring& initial,
             std::wstring& name) {
    CTextEntryDlg entry;
    if (entry.Show(owner, caption, prompt, initial) != 1)
        return false;
    name = entry.GetText();
    return true;
}

void DeleteRow(int noteId) {
    theDB.ExecuteStatement(L"DELETE FROM notes WHERE id=" + std::to_wstring(noteId) + L";");
}
}  // namespace

void CTallyLeafDlg::AddNote(int parentId, std::wstring name) {
    if (name.empty() && !AskName(m_hWnd, L"Add New Note", L"Enter Name:", L"New Note", name))
        return;
    if (!StoreIsOpen())
        return;
    try {
        theDB.ExecuteStatement(L"INSERT INTO notes VALUES(NULL," + std::to_wstring(parentId) + L",'" +
                               QuoteForSql(name) + L"','',0);");
        const int id = theDB.ExecuteScalar(L"SELECT max(id) FROM notes;");
        HTREEITEM parent = parentId <= 0 ? TVI_ROOT : m_wndTree.GetSelectedItem();
        HTREEITEM item = m_wndTree.InsertNoteItem(name, id, parent, TVI_LAST);
        m_wndTree.SelectItem(item);
        m_wndEditor.SetFocus();
    } catch (const CppSQLite3Exception& e) {
        ShowStorageError(kAddError, e);
    }
}

void CTallyLeafDlg::OnAddNewNote(UINT) {
    AddNote(0, std::wstring());
}

void CTallyLeafDlg::OnAddSubnote(UINT) {
    // With no note selected there is nothing to add under: the note goes to the top level.
    AddNote(m_wndTree.SelectedNoteId(), std::wstring());
}

void CTallyLeafDlg::OnRenameNote(UINT) {
    HTREEITEM item = m_wndTree.GetSelectedItem();
    if (!item)
        return;
    std::wstring name;
    if (!AskName(m_hWnd, L"Rename Note", L"Enter new name:", m_wndTree.GetItemText(item), name) || !StoreIsOpen())
        return;
    try {
        theDB.ExecuteStatement(L"UPDATE notes SET name='" + QuoteForSql(name) + L"' WHERE id=" +
                               std::to_wstring(m_wndTree.NoteId(item)) + L";");
        m_wndTree.SetItemText(item, name);
    } catch (const CppSQLite3Exception& e) {
        ShowStorageError(L"Tallyleaf error: Can't rename note.\n - ", e);
    }
}

void CTallyLeafDlg::OnDeleteNote(UINT) {
    HTREEITEM item = m_wndTree.GetSelectedItem();
    if (!item)
        return;
    const std::wstring question =
        L"Do you want to delete:" + m_wndTree.GetItemText(item) + L" and all its subnotes?";
    if (AppMessageBox(question, nullptr, MB_YESNO | MB_ICONEXCLAMATION, m_hWnd) != IDYES || !StoreIsOpen())
        return;
    // A failure below the note stops the whole delete, leaving table and tree in
    // step, and the shown note keeps its edits to be saved as usual.
    if (m_wndTree.ItemHasChildren(item) && !DeleteItemsFrom(m_wndTree.GetChildItem(item)))
        return;
    try {
        const int noteId = m_wndTree.NoteId(item);
        DeleteRow(noteId);
        // The shown note is gone now: its edits have nowhere to go.
        if (noteId == m_nShownNoteId)
            ShowNoNote();
        m_wndTree.DeleteItem(item);
        m_bNoteDeleted = true;
        if (!m_wndTree.GetRootItem()) {
            // The tree is never left empty.
            theDB.ExecuteStatement(L"INSERT INTO notes VALUES(NULL,0,'New Note','',0);");
            const int id = theDB.ExecuteScalar(L"SELECT max(id) FROM notes;");
            m_wndTree.SelectItem(m_wndTree.InsertNoteItem(L"New Note", id, TVI_ROOT, TVI_LAST));
            m_wndEditor.SetFocus();
        }
    } catch (const CppSQLite3Exception& e) {
        ShowStorageError(kDeleteError, e);
    }
}

bool CTallyLeafDlg::DeleteItemsFrom(HTREEITEM item) {
    while (item) {
        if (m_wndTree.ItemHasChildren(item) && !DeleteItemsFrom(m_wndTree.GetChildItem(item)))
            return false;
        try {
            DeleteRow(m_wndTree.NoteId(item));
        } catch (const CppSQLite3Exception& e) {
            ShowStorageError(kDeleteError, e);
            return false;
        }
        HTREEITEM next = m_wndTree.GetNextSiblingItem(item);
        m_wndTree.DeleteItem(item);
        m_bNoteDeleted = true;
        item = next;
    }
    return true;
}

LRESULT CTallyLeafDlg::OnNoteMoved(NMHDR* hdr) {
    // A note dragged in the tree keeps its new parent after the next start too.
    const auto* moved = reinterpret_cast<const NMNOTEMOVED*>(hdr);
    if (!StoreIsOpen() || moved->noteId == 0)
        return 0;
    try {
        theDB.ExecuteStatement(L"UPDATE notes SET pid=" + std::to_wstring(moved->newParentId) + L" WHERE id=" +
                               std::to_wstring(moved->noteId) + L";");
    } catch (const CppSQLite3Exception& e) {
        ShowStorageError(L"Tallyleaf error: Can't move note.\n - ", e);
    }
    return 0;
}
