#include "notes/TreeFollower.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {
// Where a note the tree should show belongs, and its name; sorted by note.
struct Place {
    long long noteId;
    long long parentId;
    const std::wstring* name;
};
using Places = std::vector<Place>;

const Place* Wanted(const Places& wanted, long long noteId) {
    auto found = std::lower_bound(wanted.begin(), wanted.end(), noteId,
                                  [](const Place& place, long long id) { return place.noteId < id; });
    return found != wanted.end() && found->noteId == noteId ? &*found : nullptr;
}

// Removes the items below `parentId` (from `first` on) whose note is gone or
// has another parent now, or that show a note another item shows, and renames
// those renamed. `changing` is called before the first change.
template <typename Changing>
void Prune(NotesTreeView& tree, HTREEITEM first, long long parentId, const Places& wanted, Changing& changing) {
    for (HTREEITEM item = first; item;) {
        const HTREEITEM next = tree.NextSibling(item);
        const long long id = tree.NoteId(item);
        const Place* place = Wanted(wanted, id);
        if (!place || place->parentId != parentId || tree.FindNote(id) != item) {
            // A moved note is inserted again at its new place, with its subnotes.
            changing();
            tree.Remove(item);
        } else {
            if (tree.Name(item) != *place->name) {
                changing();
                tree.SetName(item, *place->name);
            }
            Prune(tree, tree.FirstChild(item), id, wanted, changing);
        }
        item = next;
    }
}

// Inserts the notes below `parentId` that the tree does not show yet, in the table's order.
template <typename Changing>
void Graft(NotesTreeView& tree, NotesStore::RowsByParent& rows, long long parentId, HTREEITEM parent,
           Changing& changing) {
    auto level = rows.find(parentId);
    if (level == rows.end())
        return;
    // Taken out of the map, so a note that is its own ancestor cannot be reached twice.
    const std::vector<NotesStore::TreeRow> notes = std::move(level->second);
    rows.erase(level);
    for (const NotesStore::TreeRow& note : notes) {
        HTREEITEM item = tree.FindNote(note.id);
        if (!item) {
            changing();
            item = tree.InsertNote(note.name, note.id, parent);
        }
        Graft(tree, rows, note.id, item, changing);
    }
}
}  // namespace

void TreeFollower::UpdateTree(NotesStore::RowsByParent rows) {
    // The notes reachable from the top level. An id is a row's key, so each
    // comes once; a table without that key could make a loop, which ends when
    // more notes were reached than it has rows.
    std::size_t count = 0;
    for (const auto& level : rows)
        count += level.second.size();
    Places wanted;
    wanted.reserve(count);
    std::vector<long long> parents{0};
    for (std::size_t i = 0; i < parents.size() && wanted.size() < count; ++i) {
        auto level = rows.find(parents[i]);
        if (level == rows.end())
            continue;
        for (const NotesStore::TreeRow& note : level->second) {
            wanted.push_back({note.id, parents[i], &note.name});
            parents.push_back(note.id);
        }
    }
    std::sort(wanted.begin(), wanted.end(), [](const Place& a, const Place& b) { return a.noteId < b.noteId; });
    // Nothing is drawn unless something changes.
    bool changing = false;
    auto startChanging = [&] {
        if (changing)
            return;
        changing = true;
        m_tree.SetRedraw(false);
    };
    Prune(m_tree, m_tree.FirstItem(), 0, wanted, startChanging);
    Graft(m_tree, rows, 0, TVI_ROOT, startChanging);
    if (changing)
        m_tree.SetRedraw(true);
}
