// CDragEdit: the note editor, an edit control bound to the main window.
//
// Besides typing, the selected text can be dragged: a move, or a copy with Ctrl
// held, to another place in the note or into another program. Unicode text,
// ANSI text and files can be dropped on it (see CDEDropTarget), unless it is
// read-only: then its text can only be copied out. Over the selection the
// pointer is the arrow. Every key press, left-button press and accepted drop
// sets the control's modified flag, which tells the notes store that the note
// must be written back.
//
// Positions are character indexes as the edit control counts them ("\r\n" is
// two). The control reports the character under a point in 16 bits; this
// class maps points to indexes for notes of any length.
#pragma once

#include <functional>
#include <string>

#include "editor/DEDropTarget.h"
#include "framework/Edit.h"
#include "framework/OleDataSource.h"

class CDragEdit : public CEdit {
public:
    // Mode bits of EnableDragDrop.
    static constexpr int kDragOut = 1;      // the selection can be dragged out
    static constexpr int kAcceptDrops = 2;  // drops are taken

    CDragEdit();
    ~CDragEdit() override;

    // The editor's window style: a multi-line edit without a border; without
    // wrapping it scrolls sideways. `keepSelectionShown` keeps the selection
    // drawn while the editor lacks the focus.
    static DWORD Style(bool wrap, bool keepSelectionShown);

    // Binds the editor window and lifts the edit control's typing limit, so that
    // typing goes on in notes of any length a load can put there.
    bool Attach(HWND hwnd);
    // Unbinds the window; its drop registration ends with the binding.
    HWND Detach();

    // Destroys the editor window and creates another with `style` in its place:
    // same parent, id, rectangle, font and read-only state, with the typing
    // limit lifted and drag and drop as it was set up. The text and the undo
    // history are not carried over. False when the new window can't be made.
    bool Recreate(DWORD style);

    // Sets up drag and drop for the bound window (call again after the window
    // is re-created). False when OLE can't be had, when drag and drop is set up
    // already, when there is no window, or when the registration of the drop
    // target failed (drags out still work then).
    bool EnableDragDrop(int mode);

    // The packed position stored with a note: first visible line (mod 65536)
    // in the high 16 bits, the caret's index (65535 when beyond) in the low 16.
    int PackedPosition() const;
    // Places the caret and scrolls as a packed position says.
    void RestorePosition(int packed);
    // Replaces the whole text and restores a packed position, drawing once.
    void ShowText(const std::wstring& text, int packed);
    // Whether the text changes because ShowText is putting a note's text in
    // (its change notifications then report no edit).
    bool IsShowingText() const { return m_bShowingText; }
    // Replaces [start, end) with `text` as one undoable change, laid out once;
    // the caret ends after the text, scrolled into view.
    void ReplaceRange(int start, int end, const std::wstring& text);

    // The index of the character under a client point, in notes of any length.
    int CharFromPoint(POINT client) const;
    // The client position of the character at `index` (past the last one: where
    // it would be drawn).
    POINT PointFromChar(int index) const;

    // The drop target as OLE sees it.
    IDropTarget* GetDropTarget() { return &m_dropTarget; }

    // Called with the first file's path when files are dropped on the editor.
    std::function<void(const std::wstring& path)> m_onFileDropped;

private:
    friend class CDEDropTarget;

    LRESULT OnLButtonDown(WPARAM w, LPARAM l);
    LRESULT OnSetCursor(WPARAM w, LPARAM l);
    LRESULT OnKeyDown(WPARAM w, LPARAM l);
    LRESULT OnDestroy(WPARAM w, LPARAM l);

    // True when drops are enabled and may change the text.
    bool AcceptsDrops() const;
    // True when the point lies strictly inside a non-empty selection.
    bool IsPointerInSelection(POINT client) const;
    // Empty selection at the character under the point, scrolled into view.
    void CaretToPointer(POINT client);
    // Moves the caret to the drop point under the pointer, keeping the selection.
    void ShowDropPoint(POINT client);
    // Inserts text at the caret (undoable) and selects it.
    void InsertAndSelect(const std::wstring& text);
    // Ends a drag of [start, end) by what the drop did.
    void FinishDrag(DROPEFFECT effect, POINT press, int start, int end);
    // Moves [start, end) to `drop` (an index before the move) as one undoable
    // change: the span from the first place touched to the last is replaced by
    // its rearranged text. The moved text ends up selected.
    void MoveWithinNote(int start, int end, int drop);
    void EndRegistration();
    // Makes a change to the text while the control is off the screen.
    void OffScreen(const std::function<void()>& change);

    // The index under a point, as the control's 16-bit report and the view resolve it.
    int ResolveLine(POINT client, int lineLow) const;
    int ResolveIndex(POINT client, int line, int indexLow) const;
    // The height and a character's width in the control's font.
    SIZE TextSize(const std::wstring& text) const;

    CDEDropTarget m_dropTarget;
    COleDataSource m_dataSource;
    bool m_bRegistered = false;
    int m_nMode = 0;
    bool m_bDragging = false;
    bool m_bShowingText = false;
    bool m_bDroppedOnSelf = false;
    int m_nDropIndex = 0;  // where a move within the note was dropped

    DECLARE_MESSAGE_TABLE()
};
