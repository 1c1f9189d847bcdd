// NotesSession: what the search in all notes reads, and showing what it found.
#include <algorithm>
#include <utility>

#include "notes/NotesSession.h"

std::vector<NoteSearch::Note> NotesSession::NotesToSearch() {
    std::vector<NoteSearch::Note> notes;
    if (!m_store.IsOpen())
        return notes;
    // Every text in one query; then what has not been written yet over it.
    std::unordered_map<int, std::wstring> texts = m_store.ReadAllTexts();
    for (const DeferredSave::Waiting& save : m_deferredSave.All())
        texts[save.noteId] = save.text;
    if (m_nShownNoteId != 0)
        texts[m_nShownNoteId] = m_editor.Text();

    // The tree in the order it shows its items, each with the path down to it.
    notes.reserve(static_cast<std::size_t>(m_tree.Count()));
    std::vector<std::pair<HTREEITEM, std::wstring>> pending;  // an item and its parent's path
    for (HTREEITEM top = m_tree.FirstItem(); top; top = m_tree.NextSibling(top))
        pending.emplace_back(top, std::wstring());
    std::reverse(pending.begin(), pending.end());
    while (!pending.empty()) {
        auto [item, parentPath] = std::move(pending.back());
        pending.pop_back();
        NoteSearch::Note note;
        note.id = m_tree.NoteId(item);
        note.name = m_tree.Name(item);
        note.path = parentPath.empty() ? note.name : parentPath + L" > " + note.name;
        auto text = texts.find(note.id);
        if (text != texts.end())
            note.text = std::move(text->second);
        const std::size_t firstChild = pending.size();
        for (HTREEITEM child = m_tree.FirstChild(item); child; child = m_tree.NextSibling(child))
            pending.emplace_back(child, note.path);
        std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(firstChild), pending.end());
        notes.push_back(std::move(note));
    }
    return notes;
}

bool NotesSession::ShowFound(int noteId, std::size_t start, std::size_t length) {
    HTREEITEM item = m_tree.FindNote(noteId);
    if (!item)
        return false;
    // Selecting the item expands its parents and shows the note.
    if (m_tree.Selected() != item)
        m_tree.Select(item);
    if (m_nShownNoteId != noteId)
        return false;
    if (length > 0)
        m_editor.SelectRange(start, start + length);
    return true;
}
