#include "tree/TreeItemModel.h"

#include <utility>
#include <vector>

namespace {
bool IsTopLevel(HTREEITEM parent) {
    return parent == nullptr || parent == TVI_ROOT;
}
}  // namespace

const TreeItemModel::Node* TreeItemModel::Get(HTREEITEM item) const {
    if (!item)
        return nullptr;
    auto found = m_nodes.find(item);
    return found == m_nodes.end() ? nullptr : &found->second;
}

HTREEITEM& TreeItemModel::FirstOf(HTREEITEM parent) {
    Node* node = IsTopLevel(parent) ? nullptr : Get(parent);
    return node ? node->firstChild : m_first;
}

HTREEITEM& TreeItemModel::LastOf(HTREEITEM parent) {
    Node* node = IsTopLevel(parent) ? nullptr : Get(parent);
    return node ? node->lastChild : m_last;
}

void TreeItemModel::Inserted(HTREEITEM item, HTREEITEM parent, HTREEITEM after, long long noteId, std::wstring name) {
    if (!item)
        return;
    Removed(item);
    if (IsTopLevel(parent) || !Get(parent))
        parent = nullptr;
    Node node;
    node.noteId = noteId;
    node.name = std::move(name);
    node.parent = parent;
    HTREEITEM& first = FirstOf(parent);
    HTREEITEM& last = LastOf(parent);
    if (after == TVI_FIRST) {
        node.next = first;
    } else if (Node* before = after == TVI_LAST ? nullptr : Get(after); before && before->parent == parent) {
        node.prev = after;
        node.next = before->next;
    } else {
        node.prev = last;
    }
    if (node.prev)
        Get(node.prev)->next = item;
    else
        first = item;
    if (node.next)
        Get(node.next)->prev = item;
    else
        last = item;
    m_nodes.emplace(item, std::move(node));
    if (noteId != 0)
        m_itemsByNote[noteId] = item;
}

void TreeItemModel::Unlink(const Node& node) {
    if (node.prev)
        Get(node.prev)->next = node.next;
    else
        FirstOf(node.parent) = node.next;
    if (node.next)
        Get(node.next)->prev = node.prev;
    else
        LastOf(node.parent) = node.prev;
}

void TreeItemModel::ForgetNote(HTREEITEM item, long long noteId) {
    auto found = m_itemsByNote.find(noteId);
    if (found != m_itemsByNote.end() && found->second == item)
        m_itemsByNote.erase(found);
}

void TreeItemModel::Removed(HTREEITEM item) {
    auto found = m_nodes.find(item);
    if (found == m_nodes.end())
        return;
    Unlink(found->second);
    // The control tells of the children first, so there are seldom any left;
    // those that are go without recursion, as a tree may be deep.
    std::vector<HTREEITEM> going;
    for (;;) {
        for (HTREEITEM child = found->second.firstChild; child; child = Get(child)->next)
            going.push_back(child);
        ForgetNote(found->first, found->second.noteId);
        m_nodes.erase(found);
        if (going.empty())
            return;
        found = m_nodes.find(going.back());
        going.pop_back();
    }
}

void TreeItemModel::Clear() {
    m_nodes.clear();
    m_itemsByNote.clear();
    m_first = m_last = nullptr;
}

void TreeItemModel::SetName(HTREEITEM item, std::wstring name) {
    if (Node* node = Get(item))
        node->name = std::move(name);
}

void TreeItemModel::SetNoteId(HTREEITEM item, long long noteId) {
    Node* node = Get(item);
    if (!node)
        return;
    ForgetNote(item, node->noteId);
    node->noteId = noteId;
    if (noteId != 0)
        m_itemsByNote[noteId] = item;
}

long long TreeItemModel::NoteId(HTREEITEM item) const {
    const Node* node = Get(item);
    return node ? node->noteId : 0;
}

const std::wstring& TreeItemModel::Name(HTREEITEM item) const {
    static const std::wstring kNone;
    const Node* node = Get(item);
    return node ? node->name : kNone;
}

HTREEITEM TreeItemModel::Parent(HTREEITEM item) const {
    const Node* node = Get(item);
    return node ? node->parent : nullptr;
}

HTREEITEM TreeItemModel::FirstChild(HTREEITEM item) const {
    if (IsTopLevel(item))
        return m_first;
    const Node* node = Get(item);
    return node ? node->firstChild : nullptr;
}

HTREEITEM TreeItemModel::NextSibling(HTREEITEM item) const {
    const Node* node = Get(item);
    return node ? node->next : nullptr;
}

HTREEITEM TreeItemModel::Find(long long noteId) const {
    if (noteId == 0)
        return nullptr;
    auto found = m_itemsByNote.find(noteId);
    return found == m_itemsByNote.end() ? nullptr : found->second;
}
