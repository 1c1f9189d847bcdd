// A real multi-line edit control bound to a CDragEdit, in a plain top-level
// window of its own, with drag and drop enabled as the main window does, and
// helpers that drive drags through OLE's own drag loop.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "editor/DragEdit.h"
#include "framework/OleDataSource.h"

// The data another program offers: a data source holding global-memory blocks.
class OfferedData : public COleDataSource {
public:
    OfferedData& Unicode(const std::wstring& text);
    OfferedData& Ansi(const std::string& bytes);
    OfferedData& Files(const std::vector<std::wstring>& paths);
};

// Drives the drags of this thread for its life: the pointer is put at `to`
// (screen) at once, Ctrl is pressed or not at the drag's first step, and once
// the drop target has seen the pointer there the button is released. Counts
// the steps seen. Ctrl is released and the user's input restored at the end.
class ScriptedDrag {
public:
    ScriptedDrag(POINT to, bool ctrl);
    ~ScriptedDrag();
    ScriptedDrag(const ScriptedDrag&) = delete;
    ScriptedDrag& operator=(const ScriptedDrag&) = delete;

    int Steps() const { return m_nSteps; }

private:
    int m_nSteps = 0;
};

// Presses or releases Ctrl in this thread's key state, as OLE's drag loop reads it.
void HoldCtrl(bool held);
// A client point as mouse messages carry it.
LPARAM PointParam(POINT pt);

// Offers `data` to `editor`'s drop target as OLE does for a drop from another
// program at `client` (the editor's coordinates); returns the drop's effect.
DROPEFFECT OfferDrop(CDragEdit& editor, IDataObject* data, POINT client, DWORD keyState = 0,
                     DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE);

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Replaces the editor window by a new one, with or without word wrap, as
    // the main window does when the Word Wrap command changes.
    HWND RecreateEditor(bool wordWrap);

    void SetText(const std::wstring& text);
    std::wstring Text() const { return editor.GetWindowText(); }
    std::pair<int, int> Selection() const;
    void Select(int start, int end);

    // The client point on the left edge of the character at `index`, half a line down.
    POINT At(int index) const;
    POINT ToScreen(POINT client) const;

    // A press of the left button at `client`, with what the user does next
    // already waiting in the queue (posted to the editor).
    void PressAfter(POINT client, UINT nextMessage, WPARAM w, LPARAM l);
    // Drags the selection from `press` (client) to `dropScreen` and releases the
    // button there, through the editor's own drag start and OLE's drag loop.
    void DragSelection(POINT press, POINT dropScreen, bool ctrl);

    // Offers data to the editor's drop target as OLE does for a drop from
    // another program at `client`; returns the drop's effect.
    DROPEFFECT DropFromOutside(IDataObject* data, POINT client, DWORD keyState = 0,
                               DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE);

    HWND host = nullptr;
    CDragEdit editor;
};
