// The Edit menu's commands on the note editor: Undo, Cut, Copy, Paste and
// Delete with the rules that enable them, and selecting the whole note.
#pragma once

#include "editor/DragEdit.h"

class EditCommands {
public:
    explicit EditCommands(CDragEdit& editor) : m_editor(editor) {}

    void Undo() { m_editor.Undo(); }
    void Cut() { m_editor.Cut(); }
    void Copy() { m_editor.Copy(); }
    void Paste() { m_editor.Paste(); }
    void Delete() { m_editor.Clear(); }
    // Selects the whole note in the editor, wherever the focus is.
    void SelectAll();

    bool CanUndo() { return m_editor.CanUndo(); }
    bool HasSelection();
    bool ClipboardHasText();

private:
    CDragEdit& m_editor;
};
