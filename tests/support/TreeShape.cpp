#include "support/TreeShape.h"

namespace {
// The walk is the same for both readers; only where a field comes from differs.
template <typename FirstChild, typename Next, typename Label>
std::wstring Shape(HTREEITEM parent, const FirstChild& firstChild, const Next& next, const Label& label) {
    std::wstring text;
    for (HTREEITEM item = firstChild(parent); item; item = next(item)) {
        if (!text.empty())
            text += L' ';
        text += label(item);
        if (firstChild(item))
            text += L'(' + Shape(item, firstChild, next, label) + L')';
    }
    return text;
}
}  // namespace

std::wstring ShownShape(const MyCTreeCtr& tree, HTREEITEM parent) {
    return Shape(
        parent, [&](HTREEITEM item) { return tree.GetChildItem(item); },
        [&](HTREEITEM item) { return tree.GetNextSiblingItem(item); },
        [&](HTREEITEM item) {
            // The note as the item's data holds it, so that data and model are compared too.
            return tree.GetItemText(item) + L'#' + std::to_wstring(static_cast<long long>(tree.GetItemData(item)));
        });
}

std::wstring ModelShape(const MyCTreeCtr& tree, HTREEITEM parent) {
    const TreeItemModel& items = tree.Items();
    return Shape(
        parent, [&](HTREEITEM item) { return items.FirstChild(item); },
        [&](HTREEITEM item) { return items.NextSibling(item); },
        [&](HTREEITEM item) { return items.Name(item) + L'#' + std::to_wstring(items.NoteId(item)); });
}
