// The note editor as a notes session sees it (notes/NoteEditorView.h). A note's
// text is laid out as the main window's word wrap says (`wrapFor` re-creates
// the editor when a text needs the other layout).
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "editor/DragEdit.h"
#include "notes/NoteEditorView.h"

class EditorNoteView : public NoteEditorView {
public:
    EditorNoteView(CDragEdit& editor, std::function<void(const std::wstring&)> wrapFor)
        : m_editor(editor), m_wrapFor(std::move(wrapFor)) {}

    std::wstring Text() const override { return m_editor.GetWindowText(); }
    int Position() const override { return m_editor.PackedPosition(); }
    void ShowNote(const std::wstring& text, int pos) override {
        m_wrapFor(text);
        m_editor.ShowText(text, pos);
    }
    void ShowOther(const std::wstring& text) override { m_editor.ShowText(text, 0); }
    bool IsModified() const override { return m_editor.GetModify(); }
    void SetModified(bool modified) override { m_editor.SetModify(modified); }
    bool IsReadOnly() const override { return m_editor.IsReadOnly(); }
    void SetReadOnly(bool readOnly) override { m_editor.SetReadOnly(readOnly); }
    void SelectRange(std::size_t start, std::size_t end) override {
        m_editor.SetSel(static_cast<int>(start), static_cast<int>(end));
    }
    void Focus() override { m_editor.SetFocus(); }

private:
    CDragEdit& m_editor;
    std::function<void(const std::wstring&)> m_wrapFor;
};
