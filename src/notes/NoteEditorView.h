// What a notes session needs of the editor that shows the selected note: its
// text and packed caret position, the text of a note shown (laid out as the
// settings want it), a text that stands for no note, the modified flag and
// whether it takes typing. The main window gives its editor
// (app/EditorNoteView.h); the tests give one of their own.
#pragma once

#include <string>

class NoteEditorView {
public:
    virtual ~NoteEditorView() = default;

    virtual std::wstring Text() const = 0;
    // The caret and scroll position, packed as the notes table keeps it.
    virtual int Position() const = 0;
    // A note's text with the caret and scroll position `pos`.
    virtual void ShowNote(const std::wstring& text, int pos) = 0;
    // A text that is no note's (empty, or a word on a note that can't be shown yet).
    virtual void ShowOther(const std::wstring& text) = 0;
    virtual bool IsModified() const = 0;
    virtual void SetModified(bool modified) = 0;
    virtual bool IsReadOnly() const = 0;
    virtual void SetReadOnly(bool readOnly) = 0;
    // Selects text[start, end) and scrolls it into view.
    virtual void SelectRange(std::size_t start, std::size_t end) = 0;
    // Gives the editor the keyboard focus (after a note was added).
    virtual void Focus() = 0;
};
