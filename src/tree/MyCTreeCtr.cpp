#include "tree/MyCTreeCtr.h"

#include <windowsx.h>

#include <algorithm>

#include "framework/DC.h"
#include "framework/Gdi.h"

namespace {
COLORREF ColorOrSystem(COLORREF color, int systemIndex) {
    return color == CLR_NONE ? ::GetSysColor(systemIndex) : color;
}
}  // namespace

// clang-format off
DEFINE_MESSAGE_TABLE(MyCTreeCtr, CTreeCtrl,
    OnReflectedNotify(TVN_BEGINDRAGW, &MyCTreeCtr::OnBeginDrag),
    OnReflectedNotify(TVN_DELETEITEMW, &MyCTreeCtr::OnDeleteItem),
    OnMessage(WM_MOUSEMOVE, &MyCTreeCtr::OnMouseMove),
    OnMessage(WM_LBUTTONUP, &MyCTreeCtr::OnLButtonUp),
    OnMessage(WM_CAPTURECHANGED, &MyCTreeCtr::OnCaptureChanged),
    OnMessage(WM_DESTROY, &MyCTreeCtr::OnDestroy))
// clang-format on

MyCTreeCtr::MyCTreeCtr() : m_hNoDropCursor(::LoadCursorW(nullptr, IDC_NO)) {}

HTREEITEM MyCTreeCtr::InsertNoteItem(const std::wstring& name, long long noteId, HTREEITEM parent, HTREEITEM after) {
    TVINSERTSTRUCTW insert{};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = after;
    // The note id goes in with the item: one message per note instead of two,
    // which counts when thousands of notes fill the tree at start-up.
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    insert.item.pszText = const_cast<wchar_t*>(name.c_str());
    insert.item.lParam = static_cast<LPARAM>(noteId);
    HTREEITEM item = InsertItem(insert);
    m_items.Inserted(item, insert.hParent, after, noteId, name);
    return item;
}

bool MyCTreeCtr::DeleteItem(HTREEITEM item) {
    const bool deleted = CTreeCtrl::DeleteItem(item);
    // The control's notifications have told the model of each item by now;
    // this covers a control that sent none.
    if (item == TVI_ROOT)
        m_items.Clear();
    else if (deleted)
        m_items.Removed(item);
    return deleted;
}

bool MyCTreeCtr::SetItemText(HTREEITEM item, const std::wstring& text) {
    if (!CTreeCtrl::SetItemText(item, text))
        return false;
    m_items.SetName(item, text);
    return true;
}

void MyCTreeCtr::SetNoteOf(HTREEITEM item, long long noteId) {
    SetItemData(item, static_cast<DWORD_PTR>(noteId));
    m_items.SetNoteId(item, noteId);
}

HTREEITEM MyCTreeCtr::FindNoteItem(long long noteId) const {
    return m_items.Find(noteId);
}

std::vector<long long> MyCTreeCtr::BranchNoteIds(HTREEITEM item) const {
    std::vector<long long> ids;
    for (HTREEITEM child = m_items.FirstChild(item); child; child = m_items.NextSibling(child)) {
        std::vector<long long> below = BranchNoteIds(child);
        ids.insert(ids.end(), below.begin(), below.end());
    }
    ids.push_back(NoteId(item));
    return ids;
}

HTREEITEM MyCTreeCtr::CopyItem(HTREEITEM item, HTREEITEM newParent, HTREEITEM after) {
    TVITEMW source{};
    source.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    source.hItem = item;
    if (!GetItem(source))
        return nullptr;
    const std::wstring text = m_items.Name(item);

    TVINSERTSTRUCTW insert{};
    insert.hParent = newParent ? newParent : TVI_ROOT;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<wchar_t*>(text.c_str());
    insert.item.iImage = source.iImage;
    insert.item.iSelectedImage = source.iSelectedImage;
    HTREEITEM copy = InsertItem(insert);
    if (!copy)
        return nullptr;
    m_items.Inserted(copy, insert.hParent, after, 0, text);
    // The note goes with the copy: the source, left for deletion, stands for no note.
    SetNoteOf(copy, NoteId(item));
    SetNoteOf(item, 0);
    return copy;
}

HTREEITEM MyCTreeCtr::CopyBranch(HTREEITEM item, HTREEITEM newParent, HTREEITEM after) {
    std::vector<std::pair<HTREEITEM, HTREEITEM>> copied;
    HTREEITEM copy = CopyItem(item, newParent, after);
    if (!copy)
        return nullptr;
    copied.emplace_back(item, copy);
    if (CopyChildren(item, copy, copied))
        return copy;
    // A part of the branch could not be copied: the notes go back to the source
    // items and the partial copy goes, so the tree stands as it was.
    for (const auto& [source, itsCopy] : copied) {
        SetNoteOf(source, NoteId(itsCopy));
        SetNoteOf(itsCopy, 0);
    }
    DeleteItem(copy);
    return nullptr;
}

bool MyCTreeCtr::CopyChildren(HTREEITEM item, HTREEITEM copy, std::vector<std::pair<HTREEITEM, HTREEITEM>>& copied) {
    for (HTREEITEM child = m_items.FirstChild(item); child; child = m_items.NextSibling(child)) {
        HTREEITEM childCopy = CopyItem(child, copy, TVI_LAST);
        if (!childCopy)
            return false;
        copied.emplace_back(child, childCopy);
        if (!CopyChildren(child, childCopy, copied))
            return false;
    }
    return true;
}

bool MyCTreeCtr::IsInBranch(HTREEITEM item, HTREEITEM branch) const {
    for (HTREEITEM walk = item; walk; walk = m_items.Parent(walk)) {
        if (walk == branch)
            return true;
    }
    return false;
}

LRESULT MyCTreeCtr::OnBeginDrag(NMHDR* hdr) {
    const auto* info = reinterpret_cast<const NMTREEVIEWW*>(hdr);
    m_hDragItem = info->itemNew.hItem;
    m_hDropItem = nullptr;
    m_pDragImage = MakeDragImage(m_hDragItem);
    // The control ignores this notification's result; a non-zero one keeps the
    // drag start from the parent, which has nothing to do with it.
    if (!m_pDragImage)
        return 1;

    m_bDragging = true;
    m_pDragImage->BeginDrag(0, POINT{-15, -15});
    POINT pt = info->ptDrag;
    ::ClientToScreen(m_hWnd, &pt);
    // Locked to the desktop, so the image follows the pointer over the whole screen.
    CImageList::DragEnter(nullptr, pt);
    ::SetCapture(m_hWnd);
    m_hSavedCursor = ::GetCursor();
    return 1;
}

std::unique_ptr<CImageList> MyCTreeCtr::MakeDragImage(HTREEITEM item) {
    auto image = std::make_unique<CImageList>(CreateDragImage(item));
    if (image->GetSafeHandle())
        return image;

    // Without an image list of its own the control may make no picture (Wine's
    // never does): draw the label as the tree shows it, in a frame.
    CClientDC screen(nullptr);
    CMemoryDC dc(screen);
    if (!screen || !dc)
        return nullptr;
    const std::wstring label = m_items.Name(item);
    HFONT font = GetFont();
    CSelectObject fontSelection(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));

    constexpr int kPadding = 3;
    SIZE extent{};
    const std::wstring measured = label.empty() ? std::wstring(L" ") : label;
    ::GetTextExtentPoint32W(dc, measured.c_str(), static_cast<int>(measured.size()), &extent);
    // A very long label is cut short (with an ellipsis) at half the screen's width.
    const int widest = std::max(64, ::GetSystemMetrics(SM_CXSCREEN) / 2);
    const int width = std::min(static_cast<int>(extent.cx) + 2 * kPadding, widest);
    const int height = static_cast<int>(extent.cy) + 2 * kPadding;

    CGdiObject<HBITMAP> bitmap(::CreateCompatibleBitmap(screen, width, height));
    if (!bitmap)
        return nullptr;
    {
        CSelectObject bitmapSelection(dc, bitmap);
        RECT box{0, 0, width, height};
        const COLORREF back = ColorOrSystem(GetBkColor(), COLOR_WINDOW);
        const COLORREF fore = ColorOrSystem(GetTextColor(), COLOR_WINDOWTEXT);
        CBrush backBrush;
        CBrush frameBrush;
        if (!backBrush.CreateSolidBrush(back) || !frameBrush.CreateSolidBrush(fore))
            return nullptr;
        ::FillRect(dc, &box, backBrush);
        ::FrameRect(dc, &box, frameBrush);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, fore);
        RECT textBox{kPadding, kPadding, width - kPadding, height - kPadding};
        ::DrawTextW(dc, label.c_str(), static_cast<int>(label.size()), &textBox,
                    DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS);
    }
    // The bitmap is out of the memory DC again, so the list can copy it.
    if (!image->Create(width, height, ILC_COLOR24, 1, 0) || image->Add(bitmap, nullptr) < 0)
        return nullptr;
    return image;
}

LRESULT MyCTreeCtr::OnMouseMove(WPARAM, LPARAM l) {
    if (m_bDragging) {
        const POINT pt{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
        POINT onScreen = pt;
        ::ClientToScreen(m_hWnd, &onScreen);
        CImageList::DragMove(onScreen);

        // Anywhere on an item's row counts as that item.
        if (HTREEITEM hit = HitTest(pt)) {
            // The image is hidden while the tree repaints the highlight under it.
            CImageList::DragShowNolock(false);
            SelectDropTarget(hit);
            m_hDropItem = hit;
            CImageList::DragShowNolock(true);
        } else {
            m_hDropItem = nullptr;
        }

        RECT client{};
        ::GetClientRect(m_hWnd, &client);
        ::SetCursor(::PtInRect(&client, pt) ? m_hSavedCursor : m_hNoDropCursor);
    }
    return Default();
}

LRESULT MyCTreeCtr::OnLButtonUp(WPARAM, LPARAM) {
    const LRESULT result = Default();
    if (!m_bDragging)
        return result;

    StopDragging();
    // The no-drop cursor means the pointer was outside the tree at the last move.
    const bool outside = ::GetCursor() == m_hNoDropCursor;
    ::SetCursor(m_hSavedCursor);
    if (outside || !m_hDragItem)
        return result;
    // A note cannot go into its own branch.
    if (m_hDropItem && IsInBranch(m_hDropItem, m_hDragItem))
        return result;
    MoveDraggedNote(m_hDropItem);
    return result;
}

void MyCTreeCtr::StopDragging() {
    m_bDragging = false;
    CImageList::DragLeave(nullptr);
    CImageList::EndDrag();
    // Only our own capture: ReleaseCapture would end any window's of this thread.
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    m_pDragImage.reset();
    SelectDropTarget(nullptr);
    // Wine's tree ignores that while no item is selected and keeps the item
    // highlighted: take the highlight off the item itself.
    if (HTREEITEM stillHighlighted = GetDropHilightItem())
        SetItemState(stillHighlighted, 0, TVIS_DROPHILITED);
}

void MyCTreeCtr::MoveDraggedNote(HTREEITEM dropItem) {
    // With the selection inside the moved branch, deleting the branch would make
    // the tree report a change of selection away from an item whose note has
    // already gone to its copy (data 0), so the parent could not tell which
    // note it leaves. Take the selection off the branch while the items still
    // carry their notes; the copy is selected below.
    HTREEITEM selected = GetSelectedItem();
    const bool selectionInBranch = selected && IsInBranch(selected, m_hDragItem);
    if (selectionInBranch)
        SelectItem(nullptr);

    if (dropItem)
        Expand(dropItem, TVE_EXPAND);
    HTREEITEM copy = CopyBranch(m_hDragItem, dropItem ? dropItem : TVI_ROOT, TVI_LAST);
    if (!copy) {
        if (selectionInBranch)
            SelectItem(selected);
        return;
    }
    DeleteItem(m_hDragItem);
    m_hDragItem = nullptr;
    // Selecting it also opens its new parent and brings it into view.
    SelectItem(copy);

    NMNOTEMOVED moved{};
    moved.hdr.hwndFrom = m_hWnd;
    moved.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    moved.hdr.code = TVN_NOTEMOVED;
    moved.noteId = NoteId(copy);
    moved.newParentId = NoteId(dropItem);
    moved.hItem = copy;
    ::SendMessageW(::GetParent(m_hWnd), WM_NOTIFY, moved.hdr.idFrom, reinterpret_cast<LPARAM>(&moved));
}

LRESULT MyCTreeCtr::OnDeleteItem(NMHDR* hdr) {
    // The control tells of each item that goes, children first. A drag under
    // way forgets the items that go, so that its drop never uses a removed item.
    const auto* info = reinterpret_cast<const NMTREEVIEWW*>(hdr);
    m_items.Removed(info->itemOld.hItem);
    if (m_bDragging) {
        if (info->itemOld.hItem == m_hDragItem)
            m_hDragItem = nullptr;
        if (info->itemOld.hItem == m_hDropItem)
            m_hDropItem = nullptr;
    }
    // The control ignores the result; non-zero keeps the notification from the parent.
    return 1;
}

LRESULT MyCTreeCtr::OnCaptureChanged(WPARAM, LPARAM l) {
    // Another window took the mouse: the release will never reach the tree, so
    // the drag is abandoned as if released outside.
    if (m_bDragging && reinterpret_cast<HWND>(l) != m_hWnd) {
        StopDragging();
        ::SetCursor(m_hSavedCursor);
    }
    return Default();
}

LRESULT MyCTreeCtr::OnDestroy(WPARAM, LPARAM) {
    const LRESULT result = Default();
    if (m_bDragging) {
        StopDragging();
        ::SetCursor(m_hSavedCursor);
    }
    m_pDragImage.reset();
    m_items.Clear();
    return result;
}
