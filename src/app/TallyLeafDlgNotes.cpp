// The main window's note operations: add, add as subnote, rename, delete with
// the subtree, and the store's part of a note moved in the tree. Each changes
// the table first and the tree after it.
#include <string>
#include <vector>

#include "app/TallyLeafDlg.h"
#include "dialogs/TextEntryDlg.h"
#include "framework/AppMessageBox.h"

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
}  // namespace

bool CTallyLeafDlg::AddNote(int parentId, std::wstring name) {
    HTREEITEM parent = parentId <= 0 ? TVI_ROOT : m_wndTree.FindNoteItem(parentId);
    // A parent the tree does not show would leave the new note out of sight.
    if (!parent)
        return false;
    if (name.empty() && !AskName(m_hWnd, L"Add New Note", L"Enter Name:", L"New Note", name))
        return false;
    int id = 0;
    if (!m_store.IsOpen() || !TryStorage(kAddError, [&] { id = m_store.AddNote(parentId, name); }))
        return false;
    m_wndTree.SelectItem(m_wndTree.InsertNoteItem(name, id, parent, TVI_LAST));
    m_wndEditor.SetFocus();
    return true;
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
    if (!AskName(m_hWnd, L"Rename Note", L"Enter new name:", m_wndTree.GetItemText(item), name) || !m_store.IsOpen())
        return;
    if (TryStorage(L"Tallyleaf error: Can't rename note.\n - ",
                   [&] { m_store.RenameNote(m_wndTree.NoteId(item), name); }))
        m_wndTree.SetItemText(item, name);
}

void CTallyLeafDlg::OnDeleteNote(UINT) {
    HTREEITEM item = m_wndTree.GetSelectedItem();
    if (!item)
        return;
    const std::wstring question = L"Do you want to delete:" + m_wndTree.GetItemText(item) + L" and all its subnotes?";
    if (AppMessageBox(question, nullptr, MB_YESNO | MB_ICONEXCLAMATION, m_hWnd) != IDYES || !m_store.IsOpen())
        return;
    // The rows of the whole subtree go in one transaction: a failure part-way
    // leaves every note in place, in the table and in the tree.
    const std::vector<int> noteIds = m_wndTree.BranchNoteIds(item);
    if (!TryStorage(kDeleteError, [&] { m_store.DeleteNotes(noteIds); }))
        return;
    for (int noteId : noteIds) {
        // Nothing waits to be written into a note that is gone, and the shown
        // note's edits have nowhere to go.
        m_deferredSave.Forget(noteId);
        if (noteId == m_nShownNoteId)
            ShowNoNote();
    }
    m_wndTree.DeleteItem(item);
    m_bNoteDeleted = true;
    if (m_wndTree.GetRootItem())
        return;
    // The tree is never left empty.
    int id = 0;
    if (!TryStorage(kDeleteError, [&] { id = m_store.AddNote(0, L"New Note"); }))
        return;
    m_wndTree.SelectItem(m_wndTree.InsertNoteItem(L"New Note", id, TVI_ROOT, TVI_LAST));
    m_wndEditor.SetFocus();
}

LRESULT CTallyLeafDlg::OnNoteMoved(NMHDR* hdr) {
    // A note dragged in the tree keeps its new parent after the next start too.
    const auto* moved = reinterpret_cast<const NMNOTEMOVED*>(hdr);
    if (!m_store.IsOpen() || moved->noteId == 0)
        return 0;
    TryStorage(L"Tallyleaf error: Can't move note.\n - ", [&] { m_store.MoveNote(moved->noteId, moved->newParentId); });
    return 0;
}
