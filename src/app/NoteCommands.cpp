#include "app/NoteCommands.h"

#include <string>

#include "res/resource.h"

void NoteCommands::Add() {
    m_notes.AddNote(0, std::wstring());
}

void NoteCommands::AddSubnote() {
    // With no note selected there is nothing to add under: the note goes to the top level.
    m_notes.AddNote(m_tree.SelectedNoteId(), std::wstring());
}

// The item is given back its text as a string before the menu takes its items
// over, which draws that text.
void NoteCommands::ShowUndoDeleteText(HMENU popup) {
    if (::GetMenuState(popup, ID_NOTES_UNDO_DELETE, MF_BYCOMMAND) == ~0u)
        return;
    std::wstring text = L"&Undo Delete";
    if (const std::wstring* name = m_notes.NoteToUndelete()) {
        // An ampersand of the name is shown, not taken for a mnemonic.
        text += L" '";
        for (wchar_t c : *name)
            text += c == L'&' ? std::wstring(L"&&") : std::wstring(1, c);
        text += L"'";
    }
    text += L"\tCtrl+Shift+Z";
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STRING;
    info.fType = MFT_STRING;
    info.dwTypeData = text.data();
    ::SetMenuItemInfoW(popup, ID_NOTES_UNDO_DELETE, FALSE, &info);
}
