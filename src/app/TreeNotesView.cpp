#include "app/TreeNotesView.h"

void TreeNotesView::SetRedraw(bool on) {
    m_tree.SetRedraw(on);
    // Drawing turned back on does not draw what changed meanwhile.
    if (on)
        ::InvalidateRect(m_tree, nullptr, TRUE);
}
