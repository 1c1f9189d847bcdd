// The note editor's own behaviour: the modified flag, typing in long notes, the
// pointer over the selection, drag and drop set-up, scrolling while something is
// dragged over it, and drag and drop in notes past 65,536 characters.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "editor/EditorFixture.h"
#include "support/Pump.h"

namespace {

using EditorTyping = EditorTest;

TEST_F(EditorTyping, AnArrowKeyAloneMarksTheNoteModified) {
    SetText(L"some text");
    ASSERT_FALSE(editor.GetModify());
    editor.SendMessage(WM_KEYDOWN, VK_RIGHT, 1);
    EXPECT_TRUE(editor.GetModify());
    EXPECT_EQ(Text(), L"some text");
}

TEST_F(EditorTyping, APressOutsideTheSelectionMarksTheNoteModifiedAndPlacesTheCaret) {
    SetText(L"some text");
    Select(0, 4);
    const POINT at = At(7);
    editor.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, PointParam(at));
    editor.SendMessage(WM_LBUTTONUP, 0, PointParam(at));
    EXPECT_TRUE(editor.GetModify());
    EXPECT_EQ(Selection(), std::make_pair(7, 7));
}

TEST_F(EditorTyping, TypingAtTheEndOfALongNoteAddsTheCharacter) {
    std::wstring text;
    while (text.size() < 40000)
        text += L"A line of a long note that goes on.\r\n";
    SetText(text);
    const int end = static_cast<int>(text.size());
    Select(end, end);
    editor.SendMessage(WM_CHAR, L'z', 1);
    EXPECT_EQ(Text(), text + L"z");
}

using EditorPointer = EditorTest;

TEST_F(EditorPointer, OverTheSelectionThePointerIsTheArrow) {
    SetText(L"alpha beta gamma delta");
    Select(6, 16);
    HCURSOR arrow = ::LoadCursorW(nullptr, IDC_ARROW);
    const POINT inside = ToScreen(At(8));
    ::SetCursorPos(inside.x, inside.y);
    EXPECT_TRUE(
        editor.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(editor.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(::GetCursor(), arrow);

    // Elsewhere the control's own text cursor stays.
    const POINT outside = ToScreen(At(2));
    ::SetCursorPos(outside.x, outside.y);
    editor.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(editor.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_IBEAM));
}

using EditorDragDropSetUp = EditorTest;

TEST_F(EditorDragDropSetUp, SetsUpOnceAndAgainAfterTheWindowIsRecreated) {
    // Set up already by the fixture.
    EXPECT_FALSE(editor.EnableDragDrop(3));
    // The window is registered with OLE: nobody else can register it.
    COleDropTarget other;
    EXPECT_FALSE(other.Register(editor));

    // The Word Wrap command replaces the window; drops work on the new one.
    ASSERT_NE(RecreateEditor(true), nullptr);
    EXPECT_TRUE(editor.EnableDragDrop(3));
    SetText(L"wrapped");
    OfferedData data;
    data.Unicode(L"new ");
    EXPECT_EQ(DropFromOutside(&data, At(0)), DROPEFFECT_MOVE);
    EXPECT_EQ(Text(), L"new wrapped");
}

TEST_F(EditorDragDropSetUp, WithoutAWindowThereIsNothingToSetUp) {
    CDragEdit unbound;
    EXPECT_FALSE(unbound.EnableDragDrop(3));
}

TEST_F(EditorDragDropSetUp, AWindowDestroyedWhileBoundGivesUpItsRegistration) {
    HWND old = editor.m_hWnd;
    ::DestroyWindow(old);
    ASSERT_EQ(editor.m_hWnd, nullptr);
    ASSERT_NE(RecreateEditor(false), nullptr);
    EXPECT_TRUE(editor.EnableDragDrop(3));
}

class EditorDragScroll : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        std::wstring text;
        for (int i = 0; i < 200; ++i)
            text += L"line " + std::to_wstring(i) + L" " + std::wstring(200, L'x') + L"\r\n";
        SetText(text);
        editor.LineScroll(100);
        ::GetClientRect(editor, &client);
        margin = editor.PointFromChar(static_cast<int>(editor.SendMessage(EM_LINEINDEX, 100))).x;
        inset = static_cast<int>(::GetProfileIntW(L"windows", L"DragScrollInset", DD_DEFSCROLLINSET));
        centre = POINT{client.right / 2, client.bottom / 2};
        data.Unicode(L"x");
        const POINT screen = ToScreen(centre);
        DWORD effect = kAllowed;
        target()->DragEnter(&data, MK_LBUTTON, POINTL{screen.x, screen.y}, &effect);
        ASSERT_EQ(effect, DROPEFFECT_MOVE);
    }
    void TearDown() override {
        target()->DragLeave();
        EditorTest::TearDown();
    }

    IDropTarget* target() { return editor.GetDropTarget(); }
    // One drag-over notification at a client point; returns its effect.
    DWORD Over(POINT point, DWORD keyState = MK_LBUTTON) {
        const POINT screen = ToScreen(point);
        DWORD effect = kAllowed;
        target()->DragOver(keyState, POINTL{screen.x, screen.y}, &effect);
        return effect;
    }
    int FirstLine() const { return editor.GetFirstVisibleLine(); }
    // How far the text is scrolled sideways, in pixels.
    int Sideways() const {
        const int lineStart = static_cast<int>(editor.SendMessage(EM_LINEINDEX, static_cast<WPARAM>(FirstLine())));
        return margin - editor.PointFromChar(lineStart).x;
    }

    static constexpr DWORD kAllowed = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    OfferedData data;
    RECT client{};
    POINT centre{};
    int margin = 0;
    int inset = 0;
};

TEST_F(EditorDragScroll, OneLineUpOrDownPerNotificationInTheTopAndBottomBands) {
    const int first = FirstLine();
    EXPECT_EQ(Over(POINT{centre.x, inset - 1}), DROPEFFECT_SCROLL | DROPEFFECT_MOVE);
    EXPECT_EQ(FirstLine(), first - 1);
    Over(POINT{centre.x, 0});
    EXPECT_EQ(FirstLine(), first - 2);

    EXPECT_EQ(Over(POINT{centre.x, client.bottom - inset}, MK_LBUTTON | MK_CONTROL),
              DROPEFFECT_SCROLL | DROPEFFECT_COPY);
    EXPECT_EQ(FirstLine(), first - 1);
    Over(POINT{centre.x, client.bottom - 1});
    EXPECT_EQ(FirstLine(), first);
}

TEST_F(EditorDragScroll, NothingScrollsInsideTheBandsOrOutsideTheWindow) {
    const int first = FirstLine();
    EXPECT_EQ(Over(centre), DROPEFFECT_MOVE);
    Over(POINT{centre.x, inset});
    Over(POINT{centre.x, client.bottom - inset - 1});
    Over(POINT{inset, centre.y});
    EXPECT_EQ(FirstLine(), first);
    EXPECT_EQ(Sideways(), 0);
}

TEST_F(EditorDragScroll, TheSideBandsScrollSidewaysAndTopAndBottomWin) {
    Over(POINT{client.right - 1, centre.y});
    const int step = Sideways();
    EXPECT_GT(step, 0);
    Over(POINT{client.right - inset, centre.y});
    EXPECT_GT(Sideways(), step);
    Over(POINT{0, centre.y});
    EXPECT_EQ(Sideways(), step);

    // In a corner the vertical direction is taken.
    const int first = FirstLine();
    Over(POINT{0, 0});
    EXPECT_EQ(FirstLine(), first - 1);
    EXPECT_EQ(Sideways(), step);
}

// Notes far longer than the 16 bits the control reports positions in.
class EditorLongNote : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        for (int i = 0; note.size() < 120000; ++i)
            note += L"line " + std::to_wstring(i) + L" of the long note\r\n";
        SetText(note);
    }
    int LineStart(int line) const {
        return static_cast<int>(editor.SendMessage(EM_LINEINDEX, static_cast<WPARAM>(line)));
    }
    int LineOf(int index) const {
        return static_cast<int>(editor.SendMessage(EM_LINEFROMCHAR, static_cast<WPARAM>(index)));
    }
    // Scrolls `index` into view, a few lines below the top, with the caret far from it.
    void Show(int index) {
        Select(0, 0);
        editor.LineScroll(LineOf(index) - 3 - editor.GetFirstVisibleLine());
        ASSERT_EQ(editor.GetFirstVisibleLine(), LineOf(index) - 3);
    }

    std::wstring note;
};

TEST_F(EditorLongNote, ADropPastIndex100000LandsAtThePointer) {
    const int index = LineStart(LineOf(100000) + 3) + 4;
    Show(index);
    OfferedData data;
    data.Unicode(L"[dropped]");
    EXPECT_EQ(DropFromOutside(&data, At(index)), DROPEFFECT_MOVE);
    EXPECT_EQ(Text().find(L"[dropped]"), static_cast<std::size_t>(index));
    EXPECT_TRUE(Text() == std::wstring(note).insert(static_cast<std::size_t>(index), L"[dropped]"));
    EXPECT_EQ(Selection(), std::make_pair(index, index + 9));
}

TEST_F(EditorLongNote, AMovePastIndex100000LandsWhereThePointerWas) {
    const int line = LineOf(110000);
    const int start = LineStart(line) + 5;  // the line's number
    const int end = start + 4;
    const int drop = LineStart(line + 2);
    Show(drop);
    Select(start, end);
    const std::wstring moved = note.substr(static_cast<std::size_t>(start), 4);
    DragSelection(At(start + 2), ToScreen(At(drop)), false);
    std::wstring expected = note;
    expected.insert(static_cast<std::size_t>(drop), moved);
    expected.erase(static_cast<std::size_t>(start), 4);
    EXPECT_TRUE(Text() == expected) << "moved text at " << Text().find(moved + L" of") << ", expected at " << drop - 4;
    EXPECT_EQ(Selection(), std::make_pair(drop - 4, drop));
}

}  // namespace
