#include "notes/SearchedNotes.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "notes/StorageStep.h"

std::vector<NoteSearch::Note> SearchedNotes::NotesToSearch(StoredTexts::FullRead& fullRead) {
    std::vector<NoteSearch::Note> notes;
    fullRead = {};
    if (!m_session.Store().IsOpen())
        return notes;
    const StoredTexts::Snapshot stored = m_storedTexts.Current(m_session.DatabasePath(), fullRead);
    // What has not been written yet stands over what is stored.
    std::unordered_map<long long, NoteSearch::Text> unwritten;
    for (const DeferredSave::Waiting& save : m_session.WaitingSaves().All())
        unwritten[save.noteId] = NoteSearch::MakeText(save.text);
    if (const long long shown = m_session.ShownNoteId())
        unwritten[shown] = NoteSearch::MakeText(m_editor.Text());
    auto textOf = [&](long long id) -> NoteSearch::Text {
        auto text = unwritten.find(id);
        if (text != unwritten.end())
            return text->second;
        if (!stored)
            return nullptr;
        auto storedText = stored->find(id);
        return storedText != stored->end() ? storedText->second : nullptr;
    };

    const std::vector<NoteSearch::Note>& tree = TreeToSearch();
    notes.reserve(tree.size());
    for (const NoteSearch::Note& shown : tree) {
        notes.push_back(shown);
        notes.back().text = textOf(shown.id);
    }
    return notes;
}

bool SearchedNotes::StoredTextsToRead(StoredTexts::FullRead& fullRead) {
    fullRead = {};
    return m_session.Store().IsOpen() && !m_storedTexts.Current(m_session.DatabasePath(), fullRead) &&
           !fullRead.path.empty();
}

const std::vector<NoteSearch::Note>& SearchedNotes::TreeToSearch() {
    // Walking 10,000 items costs the window's thread a tenth of a second or
    // more: the walk is kept until the tree changes.
    const unsigned revision = m_tree.Revision();
    if (m_bTreeWalkValid && revision == m_nTreeWalkRevision)
        return m_treeWalk;
    m_treeWalk.clear();
    m_treeWalk.reserve(static_cast<std::size_t>(m_tree.Count()));
    // The tree in the order it shows its items, each with the path down to it.
    std::vector<std::pair<HTREEITEM, std::wstring>> pending;  // an item and its parent's path
    for (HTREEITEM top = m_tree.FirstItem(); top; top = m_tree.NextSibling(top))
        pending.emplace_back(top, std::wstring());
    std::reverse(pending.begin(), pending.end());
    while (!pending.empty()) {
        auto [item, parentPath] = std::move(pending.back());
        pending.pop_back();
        NoteSearch::Note note;
        note.id = m_tree.NoteId(item);
        std::wstring name = m_tree.Name(item);
        note.path = NoteSearch::MakeText(parentPath.empty() ? name : parentPath + L" > " + name);
        note.name = NoteSearch::MakeText(std::move(name));
        const std::size_t firstChild = pending.size();
        for (HTREEITEM child = m_tree.FirstChild(item); child; child = m_tree.NextSibling(child))
            pending.emplace_back(child, *note.path);
        std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(firstChild), pending.end());
        m_treeWalk.push_back(std::move(note));
    }
    m_nTreeWalkRevision = revision;
    m_bTreeWalkValid = true;
    return m_treeWalk;
}

bool SearchedNotes::ShowFound(const NoteSearch::Hit& hit) {
    HTREEITEM item = m_tree.FindNote(hit.noteId);
    if (!item)
        return false;
    // A list kept open while the notes change must not select a range in
    // another text than the one searched, nor in another note under that id.
    const auto holdsMatch = [&hit](const std::wstring& text) {
        return text.compare(std::min(hit.start, text.size()), hit.length, hit.matched) == 0;
    };
    if (hit.inName) {
        if (!holdsMatch(m_tree.Name(item)))
            return false;
    } else if (hit.noteId != m_session.ShownNoteId()) {
        std::wstring text;
        if (const DeferredSave::Waiting* save = m_session.WaitingSaves().Find(hit.noteId))
            text = save->text;
        else if (!TryStorageStep(m_host, L"Tallyleaf error: Can't load note.\n - ",
                                 [&] { m_session.Store().ReadText(hit.noteId, text); }))
            return false;
        if (!holdsMatch(text))
            return false;
    }
    // Selecting the item expands its parents and shows the note.
    if (m_tree.Selected() != item)
        m_tree.Select(item);
    if (m_session.ShownNoteId() != hit.noteId)
        return false;
    if (hit.inName)
        return true;
    if (!holdsMatch(m_editor.Text()))
        return false;
    m_editor.SelectRange(hit.start, hit.start + hit.length);
    return true;
}
