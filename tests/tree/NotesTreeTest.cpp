// The notes tree as the user meets it: notes copied, and moved with the mouse,
// in a real tree control on a plain parent window that records what it is told.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "storage/CppSQLite3DB.h"
#include "support/MainWindowFixture.h"
#include "support/Pump.h"
#include "support/TreeShape.h"
#include "tree/MyCTreeCtr.h"

namespace {

constexpr UINT kTreeId = 1002;

// A selection change as the parent sees it: the notes of the old and new items.
struct SelectionChange {
    HTREEITEM oldItem;
    int oldNote;
    HTREEITEM newItem;
    int newNote;
};

// The tree's parent: records the notifications that reach it.
class TreeHost : public CWnd {
public:
    std::vector<UINT> codes;
    std::vector<SelectionChange> selectionChanges;
    std::vector<NMNOTEMOVED> moves;

    void Forget() {
        codes.clear();
        selectionChanges.clear();
        moves.clear();
    }

private:
    LRESULT OnNotifyMessage(WPARAM, LPARAM l) {
        const auto* hdr = reinterpret_cast<const NMHDR*>(l);
        codes.push_back(hdr->code);
        if (hdr->code == TVN_SELCHANGEDW) {
            const auto* info = reinterpret_cast<const NMTREEVIEWW*>(l);
            selectionChanges.push_back({info->itemOld.hItem, static_cast<int>(info->itemOld.lParam),
                                        info->itemNew.hItem, static_cast<int>(info->itemNew.lParam)});
        } else if (hdr->code == TVN_NOTEMOVED) {
            moves.push_back(*reinterpret_cast<const NMNOTEMOVED*>(l));
        }
        return 0;
    }

    DECLARE_MESSAGE_TABLE()
};

// clang-format off
DEFINE_MESSAGE_TABLE(TreeHost, CWnd, OnMessage(WM_NOTIFY, &TreeHost::OnNotifyMessage))
// clang-format on

LPARAM PointParam(POINT pt) {
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(pt.x)), static_cast<WORD>(static_cast<SHORT>(pt.y)));
}

// The middle of an item's label, where a user grabs it.
POINT OnLabel(const CTreeCtrl& tree, HTREEITEM item) {
    RECT r{};
    EXPECT_TRUE(tree.GetItemRect(item, &r, true)) << "item not shown";
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Presses the left button on an item's label and moves on beyond the drag
// distance. The tree's own drag detection reads the moves waiting in the queue
// once the button is down, so the move is posted first; the tree then reports
// the drag start as it does for a user.
void StartDrag(const CTreeCtrl& tree, HTREEITEM item) {
    const POINT at = OnLabel(tree, item);
    const POINT beyond{at.x + 3 * ::GetSystemMetrics(SM_CXDRAG) + 12, at.y};
    ::PostMessageW(tree, WM_MOUSEMOVE, MK_LBUTTON, PointParam(beyond));
    ::SendMessageW(tree, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(at));
}

// While dragging, the tree holds the mouse: moves and the release go to it.
void MoveTo(HWND tree, POINT pt) {
    ::SendMessageW(tree, WM_MOUSEMOVE, MK_LBUTTON, PointParam(pt));
}
void Release(HWND tree, POINT pt) {
    ::SendMessageW(tree, WM_LBUTTONUP, 0, PointParam(pt));
}

// A drag is under way: the tree holds the mouse and a drag image is shown.
bool Dragging(HWND tree) {
    return ::GetCapture() == tree && ::ImageList_GetDragImage(nullptr, nullptr) != nullptr;
}

}  // namespace

class NotesTreeTest : public ::testing::Test {
protected:
    void SetUp() override {
        const wchar_t* hostClass =
            CWnd::RegisterClass(L"TallyleafTreeTestHost", 0, nullptr, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        ASSERT_NE(hostClass, nullptr);
        // Kept away from the middle of the screen, where the display's own pointer rests.
        ASSERT_TRUE(host.CreateEx(0, hostClass, L"Notes tree", WS_OVERLAPPED | WS_CAPTION | WS_VISIBLE,
                                  RECT{20, 20, 360, 400}, nullptr, 0));
        HWND hwnd = ::CreateWindowExW(0, WC_TREEVIEWW, L"",
                                      TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_BORDER |
                                          WS_TABSTOP | WS_CHILD | WS_VISIBLE,
                                      5, 5, 300, 320, host, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kTreeId)),
                                      ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(hwnd, nullptr);
        ASSERT_TRUE(tree.Attach(hwnd));

        // Alpha (1): Alpha 1 (2), Alpha 2 (3) with Alpha 2a (4), Alpha 3 (5); Beta (6); Gamma (7).
        HTREEITEM alpha = tree.InsertNoteItem(L"Alpha", 1, nullptr);
        tree.InsertNoteItem(L"Alpha 1", 2, alpha);
        HTREEITEM alpha2 = tree.InsertNoteItem(L"Alpha 2", 3, alpha);
        tree.InsertNoteItem(L"Alpha 2a", 4, alpha2);
        tree.InsertNoteItem(L"Alpha 3", 5, alpha);
        tree.InsertNoteItem(L"Beta", 6, nullptr);
        tree.InsertNoteItem(L"Gamma", 7, nullptr);
        tree.Expand(alpha, TVE_EXPAND);
        tree.Expand(alpha2, TVE_EXPAND);
        ASSERT_EQ(Shape(), kStartShape);

        ::UpdateWindow(host);
        PumpPending();
        // The pointer's cursor as it is over the tree before a drag.
        arrow = ::LoadCursorW(nullptr, IDC_ARROW);
        ::SetCursor(arrow);
        host.Forget();
    }

    void TearDown() override {
        if (::GetCapture())
            ::ReleaseCapture();
        host.DestroyWindow();
    }

    // The tree as text: label#note, children in brackets; the model the
    // program walks must hold the same.
    std::wstring Shape(HTREEITEM parent = TVI_ROOT) const {
        const std::wstring shown = ShownShape(tree, parent);
        EXPECT_EQ(ModelShape(tree, parent), shown);
        return shown;
    }

    HTREEITEM Find(const std::wstring& label, HTREEITEM parent = TVI_ROOT) const {
        for (HTREEITEM item = tree.GetChildItem(parent); item; item = tree.GetNextSiblingItem(item)) {
            if (tree.GetItemText(item) == label)
                return item;
            if (HTREEITEM below = Find(label, item))
                return below;
        }
        return nullptr;
    }

    // The labels of the items shown as the target of a drag.
    std::wstring Highlighted(HTREEITEM parent = TVI_ROOT) const {
        std::wstring labels;
        for (HTREEITEM item = tree.GetChildItem(parent); item; item = tree.GetNextSiblingItem(item)) {
            if (tree.GetItemState(item, TVIS_DROPHILITED) & TVIS_DROPHILITED)
                labels += (labels.empty() ? L"" : L" ") + tree.GetItemText(item);
            const std::wstring below = Highlighted(item);
            if (!below.empty())
                labels += (labels.empty() ? L"" : L" ") + below;
        }
        return labels;
    }

    bool IsExpanded(HTREEITEM item) const { return (tree.GetItemState(item, TVIS_EXPANDED) & TVIS_EXPANDED) != 0; }

    POINT OnLabel(HTREEITEM item) const { return ::OnLabel(tree, item); }
    // Far right on an item's row, beyond its label.
    POINT RightOfLabel(HTREEITEM item) const {
        RECT r{};
        EXPECT_TRUE(tree.GetItemRect(item, &r, false)) << "item not shown";
        return POINT{r.right - 6, (r.top + r.bottom) / 2};
    }
    POINT BelowLastItem() const {
        RECT r{};
        EXPECT_TRUE(tree.GetItemRect(Find(L"Gamma"), &r, false));
        return POINT{30, r.bottom + 40};
    }
    POINT LeftOfTree() const { return POINT{-25, 20}; }

    void StartDrag(HTREEITEM item) { ::StartDrag(tree, item); }
    void MoveTo(POINT pt) { ::MoveTo(tree, pt); }
    void Release(POINT pt) { ::Release(tree, pt); }
    void DragTo(const std::wstring& label, POINT target) {
        HTREEITEM item = Find(label);
        ASSERT_NE(item, nullptr) << "no item " << std::string(label.begin(), label.end());
        StartDrag(item);
        ASSERT_TRUE(Dragging()) << "the drag did not start";
        MoveTo(target);
        Release(target);
    }

    bool Dragging() const { return ::Dragging(tree); }

    // After a move: the moved note is selected and the parent was told of both.
    void ExpectMoved(const std::wstring& label, int note, int newParent) {
        HTREEITEM selected = tree.GetSelectedItem();
        ASSERT_NE(selected, nullptr);
        EXPECT_EQ(tree.GetItemText(selected), label);
        EXPECT_EQ(tree.NoteId(selected), note);
        ASSERT_FALSE(host.selectionChanges.empty());
        EXPECT_EQ(host.selectionChanges.back().newItem, selected);
        EXPECT_EQ(host.selectionChanges.back().newNote, note);
        ASSERT_EQ(host.moves.size(), 1u);
        const NMNOTEMOVED& moved = host.moves.front();
        EXPECT_EQ(moved.hdr.hwndFrom, tree.m_hWnd);
        EXPECT_EQ(moved.hdr.idFrom, kTreeId);
        EXPECT_EQ(moved.noteId, note);
        EXPECT_EQ(moved.newParentId, newParent);
        EXPECT_EQ(moved.hItem, selected);
        EXPECT_FALSE(Dragging());
        EXPECT_EQ(Highlighted(), L"");
    }

    void ExpectNothingMoved() {
        EXPECT_EQ(Shape(), kStartShape);
        EXPECT_TRUE(host.moves.empty());
        EXPECT_TRUE(host.selectionChanges.empty());
        EXPECT_FALSE(Dragging());
        EXPECT_EQ(Highlighted(), L"");
    }

    static constexpr const wchar_t* kStartShape = L"Alpha#1(Alpha 1#2 Alpha 2#3(Alpha 2a#4) Alpha 3#5) Beta#6 Gamma#7";

    TreeHost host;
    MyCTreeCtr tree;
    HCURSOR arrow = nullptr;
};

class NotesTreeItems : public NotesTreeTest {};
class NotesTreeDrag : public NotesTreeTest {};

TEST_F(NotesTreeItems, InsertedNotesCarryTheirNameAndIdWhereTheyAreAsked) {
    const std::wstring longName(700, L'x');
    HTREEITEM top = tree.InsertNoteItem(longName, 8, nullptr);
    HTREEITEM first = tree.InsertNoteItem(L"Beta first", 9, Find(L"Beta"), TVI_FIRST);
    HTREEITEM second = tree.InsertNoteItem(L"Beta second", 10, Find(L"Beta"));
    HTREEITEM between = tree.InsertNoteItem(L"Beta between", 11, Find(L"Beta"), first);
    ASSERT_TRUE(top && first && second && between);

    EXPECT_EQ(Shape(),
              L"Alpha#1(Alpha 1#2 Alpha 2#3(Alpha 2a#4) Alpha 3#5) "
              L"Beta#6(Beta first#9 Beta between#11 Beta second#10) Gamma#7 " +
                  longName + L"#8");
    TVITEMW item{};
    item.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    item.hItem = between;
    ASSERT_TRUE(tree.GetItem(item));
    EXPECT_EQ(item.iImage, 0);
    EXPECT_EQ(item.iSelectedImage, 0);
}

TEST_F(NotesTreeItems, CopiedItemTakesTheNoteAndLeavesTheSourceWithNone) {
    const std::wstring longName = L"Long " + std::wstring(600, L'y');
    HTREEITEM source = tree.InsertNoteItem(longName, 8, Find(L"Beta"));
    HTREEITEM copy = tree.CopyItem(source, Find(L"Gamma"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(tree.GetItemText(copy), longName);
    EXPECT_EQ(tree.NoteId(copy), 8);
    EXPECT_EQ(tree.NoteId(source), 0);

    // An item alone: the children stay behind with their notes.
    HTREEITEM alpha2 = Find(L"Alpha 2");
    HTREEITEM copied = tree.CopyItem(alpha2, nullptr, TVI_FIRST);
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(Shape(),
              L"Alpha 2#3 Alpha#1(Alpha 1#2 Alpha 2#0(Alpha 2a#4) Alpha 3#5) "
              L"Beta#6(" +
                  longName + L"#0) Gamma#7(" + longName + L"#8)");
}

TEST_F(NotesTreeItems, CopiedBranchKeepsItsOrderAndStartsCollapsed) {
    HTREEITEM alpha = Find(L"Alpha");
    HTREEITEM copy = tree.CopyBranch(alpha, Find(L"Gamma"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(Shape(copy), L"Alpha 1#2 Alpha 2#3(Alpha 2a#4) Alpha 3#5");
    EXPECT_EQ(tree.NoteId(copy), 1);
    EXPECT_EQ(Shape(alpha), L"Alpha 1#0 Alpha 2#0(Alpha 2a#0) Alpha 3#0");
    EXPECT_EQ(tree.NoteId(alpha), 0);
    EXPECT_TRUE(IsExpanded(alpha));
    EXPECT_FALSE(IsExpanded(copy));
    EXPECT_FALSE(IsExpanded(tree.GetNextSiblingItem(tree.GetChildItem(copy))));

    // Without a place given, a branch copied to the top level goes last.
    HTREEITEM top = tree.CopyBranch(Find(L"Beta"), nullptr);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(tree.GetNextSiblingItem(top), nullptr);
    EXPECT_EQ(tree.GetParentItem(top), nullptr);
    EXPECT_EQ(tree.NoteId(top), 6);
}

TEST_F(NotesTreeDrag, LabelImageFollowsThePointerUntilTheDrop) {
    HTREEITEM beta = Find(L"Beta");
    StartDrag(beta);
    ASSERT_TRUE(Dragging());
    // The drag start is the tree's own business.
    EXPECT_EQ(std::count(host.codes.begin(), host.codes.end(), TVN_BEGINDRAGW), 0);

    const POINT target = OnLabel(Find(L"Gamma"));
    MoveTo(target);
    POINT at{};
    POINT hotspot{};
    HIMAGELIST image = ::ImageList_GetDragImage(&at, &hotspot);
    ASSERT_NE(image, nullptr);
    POINT expected = target;
    ::ClientToScreen(tree, &expected);
    EXPECT_EQ(at.x, expected.x);
    EXPECT_EQ(at.y, expected.y);
    // Below and right of the pointer.
    EXPECT_EQ(hotspot.x, -15);
    EXPECT_EQ(hotspot.y, -15);
    EXPECT_EQ(Highlighted(), L"Gamma");

    // The picture holds the whole label: as wide as its text, and drawn (not one flat colour).
    int cx = 0;
    int cy = 0;
    ASSERT_TRUE(::ImageList_GetIconSize(image, &cx, &cy));
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HFONT font = tree.GetFont();
    HGDIOBJ oldFont = ::SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
    SIZE text{};
    ::GetTextExtentPoint32W(dc, L"Beta", 4, &text);
    ::SelectObject(dc, oldFont);
    EXPECT_GE(cx, text.cx);
    EXPECT_GE(cy, text.cy);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, cx, cy);
    HGDIOBJ oldBitmap = ::SelectObject(dc, bitmap);
    RECT all{0, 0, cx, cy};
    HBRUSH fill = ::CreateSolidBrush(RGB(255, 0, 255));
    ::FillRect(dc, &all, fill);
    ::DeleteObject(fill);
    EXPECT_TRUE(::ImageList_Draw(image, 0, dc, 0, 0, ILD_NORMAL));
    std::set<COLORREF> colours;
    for (int y = 0; y < cy; ++y)
        for (int x = 0; x < cx; ++x)
            colours.insert(::GetPixel(dc, x, y));
    ::SelectObject(dc, oldBitmap);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
    EXPECT_GE(colours.size(), 2u);

    // Over empty space the highlight stays where it was.
    MoveTo(BelowLastItem());
    EXPECT_EQ(Highlighted(), L"Gamma");

    MoveTo(target);
    Release(target);
    EXPECT_EQ(::ImageList_GetDragImage(nullptr, nullptr), nullptr);
    EXPECT_NE(::GetCapture(), tree.m_hWnd);
    EXPECT_EQ(Highlighted(), L"");
    EXPECT_EQ(::GetCursor(), arrow);
}

TEST_F(NotesTreeDrag, DropOnItsParentMakesTheNoteTheLastChild) {
    DragTo(L"Alpha 1", OnLabel(Find(L"Alpha")));
    EXPECT_EQ(Shape(), L"Alpha#1(Alpha 2#3(Alpha 2a#4) Alpha 3#5 Alpha 1#2) Beta#6 Gamma#7");
    ExpectMoved(L"Alpha 1", 2, 1);
}

TEST_F(NotesTreeDrag, DropOnASiblingMakesTheNoteItsLastChildShownExpanded) {
    // Anywhere on the row counts, and a note without children opens to show the new one.
    DragTo(L"Beta", RightOfLabel(Find(L"Gamma")));
    EXPECT_EQ(Shape(), L"Alpha#1(Alpha 1#2 Alpha 2#3(Alpha 2a#4) Alpha 3#5) Gamma#7(Beta#6)");
    EXPECT_TRUE(IsExpanded(Find(L"Gamma")));
    ExpectMoved(L"Beta", 6, 7);

    // A collapsed note with children opens too, the moved note after them.
    host.Forget();
    tree.Expand(Find(L"Alpha 2"), TVE_COLLAPSE);
    DragTo(L"Alpha 3", OnLabel(Find(L"Alpha 2")));
    EXPECT_EQ(Shape(), L"Alpha#1(Alpha 1#2 Alpha 2#3(Alpha 2a#4 Alpha 3#5)) Gamma#7(Beta#6)");
    EXPECT_TRUE(IsExpanded(Find(L"Alpha 2")));
    ExpectMoved(L"Alpha 3", 5, 3);
}

TEST_F(NotesTreeDrag, DropOnItselfOrBelowItselfChangesNothing) {
    DragTo(L"Alpha", OnLabel(Find(L"Alpha")));
    ExpectNothingMoved();
    DragTo(L"Alpha", RightOfLabel(Find(L"Alpha 1")));
    ExpectNothingMoved();
    DragTo(L"Alpha", OnLabel(Find(L"Alpha 2a")));
    ExpectNothingMoved();
}

TEST_F(NotesTreeDrag, DropOnEmptySpaceMovesTheBranchToTheEndOfTheTopLevel) {
    DragTo(L"Alpha 2", BelowLastItem());
    EXPECT_EQ(Shape(), L"Alpha#1(Alpha 1#2 Alpha 3#5) Beta#6 Gamma#7 Alpha 2#3(Alpha 2a#4)");
    EXPECT_FALSE(IsExpanded(Find(L"Alpha 2")));
    ExpectMoved(L"Alpha 2", 3, 0);
}

TEST_F(NotesTreeDrag, ReleaseOutsideTheTreeChangesNothingAndShowsTheNoDropCursorMeanwhile) {
    const HCURSOR noDrop = ::LoadCursorW(nullptr, IDC_NO);
    StartDrag(Find(L"Beta"));
    ASSERT_TRUE(Dragging());
    MoveTo(OnLabel(Find(L"Gamma")));
    EXPECT_EQ(::GetCursor(), arrow);

    MoveTo(LeftOfTree());
    EXPECT_EQ(::GetCursor(), noDrop);
    MoveTo(OnLabel(Find(L"Gamma")));
    EXPECT_EQ(::GetCursor(), arrow);

    RECT client{};
    ::GetClientRect(tree, &client);
    const POINT right{client.right + 30, client.bottom / 2};
    MoveTo(right);
    EXPECT_EQ(::GetCursor(), noDrop);
    Release(right);

    ExpectNothingMoved();
    EXPECT_EQ(::GetCursor(), arrow);
}

TEST_F(NotesTreeDrag, MovingTheShownNoteReportsEveryLeftNoteByItsId) {
    // The parent saves the note it leaves by the id the tree reports: a note
    // moved while it (or a note below it) is shown must never be left as "no note".
    ASSERT_TRUE(tree.SelectItem(Find(L"Alpha 2a")));
    host.Forget();
    DragTo(L"Alpha 2", OnLabel(Find(L"Beta")));
    EXPECT_EQ(Shape(), L"Alpha#1(Alpha 1#2 Alpha 3#5) Beta#6(Alpha 2#3(Alpha 2a#4)) Gamma#7");
    ASSERT_FALSE(host.selectionChanges.empty());
    EXPECT_EQ(host.selectionChanges.front().oldNote, 4);
    for (const SelectionChange& change : host.selectionChanges) {
        if (change.oldItem) {
            EXPECT_NE(change.oldNote, 0);
        }
    }
    ExpectMoved(L"Alpha 2", 3, 6);

    // The same for the dragged note itself.
    host.Forget();
    DragTo(L"Alpha 2", BelowLastItem());
    EXPECT_EQ(host.selectionChanges.front().oldNote, 3);
    for (const SelectionChange& change : host.selectionChanges) {
        if (change.oldItem) {
            EXPECT_NE(change.oldNote, 0);
        }
    }
    ExpectMoved(L"Alpha 2", 3, 0);
}

// The tree control refuses one item insertion, as it does when it runs out of memory.
class InsertionRefusal {
public:
    InsertionRefusal(HWND tree, int refusedInsertion) : m_hTree(tree), m_nLeft(refusedInsertion) {
        ::SetWindowSubclass(m_hTree, &Proc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    ~InsertionRefusal() { ::RemoveWindowSubclass(m_hTree, &Proc, 1); }
    InsertionRefusal(const InsertionRefusal&) = delete;
    InsertionRefusal& operator=(const InsertionRefusal&) = delete;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR data) {
        auto* self = reinterpret_cast<InsertionRefusal*>(data);
        if (msg == TVM_INSERTITEMW && --self->m_nLeft == 0)
            return 0;
        return ::DefSubclassProc(hwnd, msg, w, l);
    }
    HWND m_hTree;
    int m_nLeft;
};

TEST_F(NotesTreeDrag, ABranchThatCannotBeCopiedWholeStaysWhereItWas) {
    // Alpha's copy gets Alpha, Alpha 1 and Alpha 2; Alpha 2a is refused.
    InsertionRefusal refusal(tree, 4);
    DragTo(L"Alpha", OnLabel(Find(L"Gamma")));
    ExpectNothingMoved();
}

TEST_F(NotesTreeDrag, LosingTheMouseToAnotherWindowAbandonsTheDrag) {
    StartDrag(Find(L"Beta"));
    ASSERT_TRUE(Dragging());
    MoveTo(OnLabel(Find(L"Gamma")));
    ::SetCapture(host);
    EXPECT_EQ(::ImageList_GetDragImage(nullptr, nullptr), nullptr);
    EXPECT_EQ(Highlighted(), L"");
    ::ReleaseCapture();

    // A later release over a note moves nothing.
    Release(OnLabel(Find(L"Gamma")));
    ExpectNothingMoved();
}

// In the main window: a note moved while it is being edited keeps the edit.
class NotesTreeInMainWindow : public MainWindowTest {
protected:
    // Drags the note labelled `from` onto the note labelled `to` with real mouse messages.
    void DragOnto(const std::wstring& from, const std::wstring& to) {
        MyCTreeCtr& tree = dlg->Parts().tree;
        StartDrag(tree, FindItem(from));
        ASSERT_TRUE(Dragging(tree)) << "the drag did not start";
        const POINT target = OnLabel(tree, FindItem(to));
        MoveTo(tree, target);
        Release(tree, target);
    }
};

TEST_F(NotesTreeInMainWindow, MovingTheEditedNoteKeepsTheEditShownAndStored) {
    SeedNotes({{1, 0, L"A", L"alpha"}, {2, 1, L"A child", L"child"}, {3, 0, L"B", L"beta"}});
    Start();
    MyCTreeCtr& tree = dlg->Parts().tree;
    tree.Expand(FindItem(L"A"), TVE_EXPAND);
    Select(L"A child");
    ASSERT_EQ(EditorText(), L"child");
    Type(L"edited ");

    // The note's parent is dragged: the edited note moves with it.
    StartDrag(tree, FindItem(L"A"));
    ASSERT_TRUE(Dragging(tree)) << "the drag did not start";
    const POINT target = OnLabel(tree, FindItem(L"B"));
    MoveTo(tree, target);
    Release(tree, target);

    EXPECT_EQ(tree.GetItemText(tree.GetParentItem(FindItem(L"A"))), L"B");
    EXPECT_EQ(SelectedLabel(), L"A");
    EXPECT_EQ(EditorText(), L"alpha");
    EXPECT_TRUE(PumpUntil([&] { return StoredText(2) == L"edited child"; }));
    Select(L"A child");
    EXPECT_EQ(EditorText(), L"edited child");
    EXPECT_EQ(StoredText(1), L"alpha");
    EXPECT_EQ(StoredText(3), L"beta");
}

TEST_F(NotesTreeInMainWindow, AMovedNoteStaysUnderItsNewParentAfterARestart) {
    SeedNotes(
        {{1, 0, L"A", L"alpha"}, {2, 1, L"A child", L"child"}, {3, 0, L"B", L"beta"}, {4, 3, L"B child", L"b child"}});
    Start();
    DragOnto(L"A", L"B");
    // Only the moved note's row changes; its subnote keeps its parent.
    EXPECT_EQ(StoredCount(L"id=1 AND pid=3"), 1);
    EXPECT_EQ(StoredCount(L"id=2 AND pid=1"), 1);
    EXPECT_TRUE(modal.Boxes().empty());

    Finish();
    theDB.Close();
    Start();
    HTREEITEM b = FindItem(L"B");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(dlg->Parts().tree.GetRootItem(), b);
    EXPECT_EQ(dlg->Parts().tree.GetNextSiblingItem(b), nullptr);
    // Among B's children in id order: A (1) comes before B child (4).
    HTREEITEM first = dlg->Parts().tree.GetChildItem(b);
    EXPECT_EQ(dlg->Parts().tree.GetItemText(first), L"A");
    EXPECT_EQ(dlg->Parts().tree.GetItemText(dlg->Parts().tree.GetNextSiblingItem(first)), L"B child");
    EXPECT_EQ(dlg->Parts().tree.GetItemText(dlg->Parts().tree.GetChildItem(first)), L"A child");
}

TEST_F(NotesTreeInMainWindow, AMoveThatCannotBeStoredIsReportedAndStandsForThisRun) {
    SeedNotes({{1, 0, L"A", L"alpha"}, {2, 0, L"B", L"beta"}});
    Execute(L"CREATE TRIGGER frozen BEFORE UPDATE OF pid ON notes BEGIN SELECT RAISE(ABORT, 'frozen'); END;");
    Start();
    MyCTreeCtr& tree = dlg->Parts().tree;
    DragOnto(L"A", L"B");
    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_EQ(modal.Boxes()[0].text.rfind(L"Tallyleaf error: Can't move note.\n - ", 0), 0u);
    EXPECT_EQ(tree.GetItemText(tree.GetParentItem(FindItem(L"A"))), L"B");
    EXPECT_EQ(StoredCount(L"id=1 AND pid=0"), 1);
}
