#include "notes/TreeFollower.h"

#include <unordered_map>
#include <utility>
#include <vector>

namespace {
using Items = std::unordered_map<long long, HTREEITEM>;

// Where each note the tree should show belongs, and its name.
struct Place {
    long long parentId;
    const std::wstring* name;
};

// Removes the items below `parentId` (from `first` on) whose note is gone or
// has another parent now, renames those renamed, and lists the rest in `items`.
// `changing` is called before the first change.
template <typename Changing>
void Prune(NotesTreeView& tree, HTREEITEM first, long long parentId, const std::unordered_map<long long, Place>& wanted,
           Items& items, Changing& changing) {
    for (HTREEITEM item = first; item;) {
        const HTREEITEM next = tree.NextSibling(item);
        const long long id = tree.NoteId(item);
        auto place = wanted.find(id);
        if (place == wanted.end() || place->second.parentId != parentId || items.count(id)) {
            // A moved note is inserted again at its new place, with its subnotes.
            changing();
            tree.Remove(item);
        } else {
            items[id] = item;
            if (tree.Name(item) != *place->second.name) {
                changing();
                tree.SetName(item, *place->second.name);
            }
            Prune(tree, tree.FirstChild(item), id, wanted, items, changing);
        }
        item = next;
    }
}

// Inserts the notes below `parentId` that the tree does not show yet, in the table's order.
template <typename Changing>
void Graft(NotesTreeView& tree, NotesStore::RowsByParent& rows, long long parentId, HTREEITEM parent, Items& items,
           Changing& changing) {
    auto level = rows.find(parentId);
    if (level == rows.end())
        return;
    // Taken out of the map, so a note that is its own ancestor cannot be reached twice.
    const std::vector<NotesStore::TreeRow> notes = std::move(level->second);
    rows.erase(level);
    for (const NotesStore::TreeRow& note : notes) {
        HTREEITEM item = nullptr;
        if (auto shown = items.find(note.id); shown != items.end()) {
            item = shown->second;
        } else {
            changing();
            item = tree.InsertNote(note.name, note.id, parent);
        }
        Graft(tree, rows, note.id, item, items, changing);
    }
}
}  // namespace

void TreeFollower::UpdateTree(NotesStore::RowsByParent rows) {
    std::unordered_map<long long, Place> wanted;
    std::vector<long long> parents{0};
    for (std::size_t i = 0; i < parents.size(); ++i) {
        auto level = rows.find(parents[i]);
        if (level == rows.end())
            continue;
        for (const NotesStore::TreeRow& note : level->second) {
            if (wanted.emplace(note.id, Place{parents[i], &note.name}).second)
                parents.push_back(note.id);
        }
    }
    // Nothing is drawn unless something changes.
    bool changing = false;
    auto startChanging = [&] {
        if (changing)
            return;
        changing = true;
        m_tree.SetRedraw(false);
    };
    Items items;
    Prune(m_tree, m_tree.FirstItem(), 0, wanted, items, startChanging);
    Graft(m_tree, rows, 0, TVI_ROOT, items, startChanging);
    if (changing)
        m_tree.SetRedraw(true);
}
