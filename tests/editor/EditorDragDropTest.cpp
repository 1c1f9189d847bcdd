// Dragging text in and out of the note editor, and drops from other programs,
// through OLE's own drag loop and the editor's real drop target.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "editor/EditorFixture.h"
#include "framework/OleDropTarget.h"
#include "support/Pump.h"

namespace {

const std::wstring kSentence = L"alpha beta gamma delta";
// Index of each word in kSentence.
constexpr int kBeta = 6, kGamma = 11, kDelta = 17;

using EditorDragWithinNote = EditorTest;

TEST_F(EditorDragWithinNote, DropOnItsOwnStartOrEndChangesNothing) {
    for (const int dropAt : {kBeta, kGamma}) {
        SCOPED_TRACE(dropAt);
        SetText(kSentence);
        Select(kBeta, kGamma);  // "beta "
        DragSelection(At(kBeta + 2), ToScreen(At(dropAt)), false);
        EXPECT_EQ(Text(), kSentence);
        EXPECT_EQ(Selection(), std::make_pair(kBeta, kGamma));
    }
}

TEST_F(EditorDragWithinNote, DropStrictlyInsideItselfIsRefused) {
    SetText(kSentence);
    Select(kBeta, kGamma);
    DragSelection(At(kBeta + 1), ToScreen(At(kBeta + 3)), false);
    EXPECT_EQ(Text(), kSentence);
    // The press then counts as a click where it was made.
    EXPECT_EQ(Selection(), std::make_pair(kBeta + 1, kBeta + 1));
    EXPECT_TRUE(editor.GetModify());
}

TEST_F(EditorDragWithinNote, MoveToLaterPlaceLandsWhereThePointerWasAndStaysSelected) {
    SetText(kSentence);
    Select(kBeta, kGamma);
    // The pointer is on "delta" as the text stands before the move.
    DragSelection(At(kBeta + 2), ToScreen(At(kDelta)), false);
    EXPECT_EQ(Text(), L"alpha gamma beta delta");
    EXPECT_EQ(Selection(), std::make_pair(12, 17));
    EXPECT_TRUE(editor.GetModify());
}

TEST_F(EditorDragWithinNote, MoveToEarlierPlaceAcrossLinesLandsThereAndStaysSelected) {
    SetText(L"first line\r\nsecond line\r\nthird");
    Select(19, 23);                                 // "line" of the second line
    DragSelection(At(20), ToScreen(At(6)), false);  // before "line" of the first line
    EXPECT_EQ(Text(), L"first lineline\r\nsecond \r\nthird");
    EXPECT_EQ(Selection(), std::make_pair(6, 10));
}

TEST_F(EditorDragWithinNote, CtrlCopiesAndLeavesTheDraggedText) {
    SetText(kSentence);
    Select(kBeta, kGamma);
    DragSelection(At(kBeta + 2), ToScreen(At(kDelta)), true);
    EXPECT_EQ(Text(), L"alpha beta gamma beta delta");
    EXPECT_EQ(Selection(), std::make_pair(kDelta, kDelta + 5));
}

TEST_F(EditorDragWithinNote, OneUndoRestoresTheNoteAsItWasBeforeAMove) {
    // Moves [start, end) to `drop` with the pointer and undoes once; returns the moved text.
    const auto moveAndUndo = [this](int start, int end, int drop) {
        Select(start, end);
        DragSelection(At(start + 1), ToScreen(At(drop)), false);
        const std::wstring moved = Text();
        editor.Undo();
        return moved;
    };
    SetText(kSentence);
    EXPECT_EQ(moveAndUndo(kBeta, kGamma, kDelta), L"alpha gamma beta delta");
    EXPECT_EQ(Text(), kSentence);

    const std::wstring lines = L"first line\r\nsecond line\r\nthird";
    SetText(lines);
    EXPECT_EQ(moveAndUndo(19, 23, 6), L"first lineline\r\nsecond \r\nthird");
    EXPECT_EQ(Text(), lines);

    // Right after a deletion where the moved text begins, the move is still a change of its own.
    SetText(L"alpha Xbeta gamma delta");
    Select(kBeta, kBeta + 1);
    editor.Clear();
    EXPECT_EQ(moveAndUndo(kBeta, kGamma, kDelta), L"alpha gamma beta delta");
    EXPECT_EQ(Text(), kSentence);
}

// A press inside the selection that ends before any drag starts is a click.
using EditorPressInSelection = EditorTest;

TEST_F(EditorPressInSelection, ReleaseWithoutMovingPutsTheCaretAtThePress) {
    SetText(kSentence);
    Select(kBeta, kDelta);
    const POINT press = At(kBeta + 3);
    ScriptedDrag drag(ToScreen(At(0)), false);
    PressAfter(press, WM_LBUTTONUP, 0, PointParam(press));
    EXPECT_EQ(drag.Steps(), 0) << "no drag may start";
    EXPECT_EQ(Text(), kSentence);
    EXPECT_EQ(Selection(), std::make_pair(kBeta + 3, kBeta + 3));
    EXPECT_TRUE(editor.GetModify());
}

TEST_F(EditorPressInSelection, EscapeOrTheOtherButtonGivesUpTheDrag) {
    SetText(kSentence);
    const POINT press = At(kBeta + 2);
    struct Next {
        UINT message;
        WPARAM w;
        LPARAM l;
    };
    for (const Next& next :
         {Next{WM_KEYDOWN, VK_ESCAPE, 1}, Next{WM_RBUTTONDOWN, MK_LBUTTON | MK_RBUTTON, PointParam(press)}}) {
        SCOPED_TRACE(next.message);
        SetText(kSentence);
        Select(kBeta, kDelta);
        ScriptedDrag drag(ToScreen(At(0)), false);
        PressAfter(press, next.message, next.w, next.l);
        EXPECT_EQ(drag.Steps(), 0);
        EXPECT_EQ(Text(), kSentence);
        EXPECT_EQ(Selection(), std::make_pair(kBeta + 2, kBeta + 2));
    }
}

TEST_F(EditorPressInSelection, KeysTypedWhileItWaitsReachTheNoteAfterwardsInOrder) {
    // "x", End, "y", typed before the press turns into a click or a drag.
    const auto typeAhead = [this] {
        ::PostMessageW(editor, WM_CHAR, L'x', 1);
        ::PostMessageW(editor, WM_KEYDOWN, VK_END, 1);
        ::PostMessageW(editor, WM_CHAR, L'y', 1);
    };
    SetText(kSentence);
    Select(kBeta, kGamma);
    typeAhead();
    const POINT press = At(kBeta + 3);
    PressAfter(press, WM_LBUTTONUP, 0, PointParam(press));
    EXPECT_EQ(Text(), L"alpha betxa gamma deltay");

    // The moved "beta " ends up selected, so the first key replaces it.
    SetText(kSentence);
    Select(kBeta, kGamma);
    typeAhead();
    DragSelection(At(kBeta + 2), ToScreen(At(kDelta)), false);
    EXPECT_EQ(Text(), L"alpha gamma xdeltay");
}

// A window of another kind that takes dropped text: moves without Ctrl,
// copies with it, and keeps what it was given.
class TextReceiver : public COleDropTarget {
public:
    std::vector<std::wstring> received;

protected:
    DROPEFFECT OnDragEnter(HWND, COleDataObject& data, DWORD keyState, POINT) override {
        return data.IsDataAvailable(CF_UNICODETEXT) ? Effect(keyState) : DROPEFFECT_NONE;
    }
    DROPEFFECT OnDragOver(HWND, COleDataObject&, DWORD keyState, POINT) override { return Effect(keyState); }
    bool OnDrop(HWND, COleDataObject& data, DROPEFFECT, POINT) override {
        auto text = data.GetUnicodeText();
        if (text)
            received.push_back(*text);
        return text.has_value();
    }

private:
    static DROPEFFECT Effect(DWORD keyState) { return (keyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE; }
};

class EditorDragToOtherWindow : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        // A window of the plain host class: static controls let the pointer through.
        other = ::CreateWindowExW(0, L"TallyleafEditorTestHost", L"", WS_POPUP | WS_VISIBLE, 600, 60, 200, 200, nullptr,
                                  nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ASSERT_NE(other, nullptr);
        ASSERT_TRUE(receiver.Register(other));
    }
    void TearDown() override {
        receiver.Revoke();
        ::DestroyWindow(other);
        EditorTest::TearDown();
    }

    HWND other = nullptr;
    TextReceiver receiver;
};

TEST_F(EditorDragToOtherWindow, MovingRemovesTheTextFromTheNote) {
    SetText(kSentence);
    Select(kBeta, kGamma);
    DragSelection(At(kBeta + 2), POINT{700, 160}, false);
    ASSERT_EQ(receiver.received, std::vector<std::wstring>{L"beta "});
    EXPECT_EQ(Text(), L"alpha gamma delta");
}

TEST_F(EditorDragToOtherWindow, CopyingLeavesTheTextInTheNote) {
    SetText(kSentence);
    Select(kBeta, kGamma);
    DragSelection(At(kBeta + 2), POINT{700, 160}, true);
    ASSERT_EQ(receiver.received, std::vector<std::wstring>{L"beta "});
    EXPECT_EQ(Text(), kSentence);
    EXPECT_EQ(Selection(), std::make_pair(kBeta, kGamma));
}

// A note shown read-only, as after a database that could not be opened.
class EditorReadOnly : public EditorDragToOtherWindow {
protected:
    void SetUp() override {
        EditorDragToOtherWindow::SetUp();
        SetText(kSentence);
        editor.SendMessage(EM_SETREADONLY, TRUE);
    }
};

TEST_F(EditorReadOnly, TakesNoDropAndNoMoveWithin) {
    OfferedData data;
    data.Unicode(L"new ");
    {
        ScriptedDrag drag(ToScreen(At(kGamma)), false);
        EXPECT_EQ(data.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE), DROPEFFECT_NONE);
        EXPECT_GT(drag.Steps(), 2);
    }
    EXPECT_EQ(Text(), kSentence);
    EXPECT_FALSE(editor.GetModify());

    Select(kBeta, kGamma);
    DragSelection(At(kBeta + 2), ToScreen(At(kDelta)), false);
    EXPECT_EQ(Text(), kSentence);
}

TEST_F(EditorReadOnly, TextDraggedOutIsCopiedNeverMoved) {
    Select(kBeta, kGamma);
    DragSelection(At(kBeta + 2), POINT{700, 160}, false);
    ASSERT_EQ(receiver.received, std::vector<std::wstring>{L"beta "});
    EXPECT_EQ(Text(), kSentence);
}

using EditorDropFromOutside = EditorTest;

TEST_F(EditorDropFromOutside, UnicodeTextIsInsertedAtThePointerAndSelected) {
    SetText(kSentence);
    OfferedData data;
    data.Unicode(L"\u00C5ngstr\u00F6m \u20AC ");
    EXPECT_EQ(DropFromOutside(&data, At(kGamma)), DROPEFFECT_MOVE);
    EXPECT_EQ(Text(), L"alpha beta \u00C5ngstr\u00F6m \u20AC gamma delta");
    EXPECT_EQ(Selection(), std::make_pair(kGamma, kGamma + 11));
    EXPECT_TRUE(editor.GetModify());
}

TEST_F(EditorDropFromOutside, TextDroppedPastTheLastCharacterIsAppended) {
    for (const std::wstring& before : {kSentence, kSentence + L"\r\n"}) {
        SetText(before);
        OfferedData data;
        data.Unicode(L"end");
        const int length = static_cast<int>(before.size());
        EXPECT_EQ(DropFromOutside(&data, At(length)), DROPEFFECT_MOVE);
        EXPECT_EQ(Text(), before + L"end");
    }
}

TEST_F(EditorDropFromOutside, CtrlMakesTheDropACopy) {
    SetText(kSentence);
    OfferedData data;
    data.Unicode(L"x");
    EXPECT_EQ(DropFromOutside(&data, At(0), MK_CONTROL), DROPEFFECT_COPY);
    EXPECT_EQ(Text(), L"x" + kSentence);
}

TEST_F(EditorDropFromOutside, AnsiTextIsConvertedFromTheSystemCodePage) {
    // Bytes that mean the euro sign and e acute in the code page Wine reports.
    std::string bytes;
    switch (::GetACP()) {
        case 1252:
            bytes = "\x80 caf\xE9";
            break;
        case 65001:
            bytes = "\xE2\x82\xAC caf\xC3\xA9";
            break;
        default:
            GTEST_SKIP() << "no test bytes for code page " << ::GetACP();
    }
    SetText(kSentence);
    OfferedData data;
    data.Ansi(bytes);
    EXPECT_EQ(DropFromOutside(&data, At(kDelta)), DROPEFFECT_MOVE);
    EXPECT_EQ(Text(), L"alpha beta gamma \u20AC caf\u00E9delta");
    EXPECT_EQ(Selection(), std::make_pair(kDelta, kDelta + 6));
}

TEST_F(EditorDropFromOutside, UnicodeIsPreferredWhenBothAreOffered) {
    SetText(L"");
    OfferedData data;
    data.Ansi("ansi").Unicode(L"unicode");
    DropFromOutside(&data, At(0));
    EXPECT_EQ(Text(), L"unicode");
}

TEST_F(EditorDropFromOutside, TextThroughTheDragLoopOfAnotherSource) {
    SetText(kSentence);
    OfferedData data;
    data.Unicode(L"new ");
    ScriptedDrag drag(ToScreen(At(kGamma)), false);
    EXPECT_EQ(data.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE), DROPEFFECT_MOVE);
    EXPECT_EQ(Text(), L"alpha beta new gamma delta");
}

TEST_F(EditorDropFromOutside, OnlyTheFirstOfSeveralFilesIsHandedOn) {
    SetText(kSentence);
    std::vector<std::wstring> loaded;
    editor.m_onFileDropped = [&loaded](const std::wstring& path) { loaded.push_back(path); };
    OfferedData data;
    data.Files({L"C:\\notes\\first file.txt", L"C:\\notes\\second.txt", L"C:\\third.txt"});
    // A file is only read, never moved away from where it is.
    EXPECT_EQ(DropFromOutside(&data, At(0)), DROPEFFECT_COPY);
    EXPECT_EQ(loaded, std::vector<std::wstring>{L"C:\\notes\\first file.txt"});
    EXPECT_EQ(Text(), kSentence);
}

TEST_F(EditorDropFromOutside, FilesWithNobodyToLoadThemAreRefused) {
    SetText(kSentence);
    OfferedData data;
    data.Files({L"C:\\notes\\a.txt"});
    EXPECT_EQ(DropFromOutside(&data, At(0)), DROPEFFECT_NONE);
    EXPECT_EQ(Text(), kSentence);
    EXPECT_FALSE(editor.GetModify());
}

TEST_F(EditorDropFromOutside, OtherDataIsRefused) {
    SetText(kSentence);
    OfferedData data;
    data.CacheGlobalData(CF_BITMAP, ::GlobalAlloc(GMEM_MOVEABLE, 16));
    EXPECT_EQ(DropFromOutside(&data, At(0)), DROPEFFECT_NONE);
    EXPECT_EQ(Text(), kSentence);
    EXPECT_FALSE(editor.GetModify());
}

TEST_F(EditorDropFromOutside, AnEditorThatTakesNoDropsRefusesThem) {
    CDragEdit dragOnly;
    HWND second = ::CreateWindowExW(0, L"EDIT", L"kept", WS_CHILD | WS_VISIBLE | ES_MULTILINE, 0, 0, 100, 50, host,
                                    nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(dragOnly.Attach(second));
    ASSERT_TRUE(dragOnly.EnableDragDrop(CDragEdit::kDragOut));
    OfferedData data;
    data.Unicode(L"x");
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    dragOnly.GetDropTarget()->DragEnter(&data, MK_LBUTTON, POINTL{70, 70}, &effect);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    dragOnly.GetDropTarget()->Drop(&data, 0, POINTL{70, 70}, &effect);
    EXPECT_EQ(effect, DROPEFFECT_NONE);
    EXPECT_EQ(dragOnly.GetWindowText(), L"kept");
    ::DestroyWindow(second);
}

}  // namespace
