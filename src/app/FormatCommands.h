// The Format menu (word wrap, font, text and background colours) and what it
// sets up: the editor's window as the word wrap wants it, the font of the
// editor and the tree at the window's resolution, and the editor's brush.
#pragma once

#include <string>

#include "editor/DragEdit.h"
#include "framework/Gdi.h"
#include "menus/NewDialog.h"
#include "settings/Settings.h"
#include "tree/MyCTreeCtr.h"

class FormatCommands {
public:
    FormatCommands(CNewDialog& window, Settings& settings, MyCTreeCtr& tree, CDragEdit& editor)
        : m_window(window), m_settings(settings), m_tree(tree), m_editor(editor) {}

    // Replaces the template's editor with one that wraps as the settings say.
    void MakeEditor();
    // Gives editor and tree the configured font and colours.
    void LoadFontAndColours();
    // The editor's and the tree's font: the configured one at the window's resolution.
    void LoadFont();
    // Re-creates the editor when it must wrap (or not) to show `text`, keeping
    // its drag and drop, font, place and focus.
    void WrapEditorFor(const std::wstring& text);
    // Sets the editor's colours on `dc` (WM_CTLCOLOREDIT and, while it is
    // read-only, WM_CTLCOLORSTATIC); the brush of its background.
    HBRUSH ColourEditor(HDC dc) const;

    void ToggleWordWrap();
    void PickFont();
    void PickTextColour();
    void PickBackColour();
    bool WordWrapIsOn() const { return m_settings.m_bWordWrap; }

private:
    // Whether the editor wraps `text`: word wrap is on and no paragraph is too
    // long for the edit control to wrap in reasonable time.
    bool WrapsText(const std::wstring& text) const;

    CNewDialog& m_window;
    Settings& m_settings;
    MyCTreeCtr& m_tree;
    CDragEdit& m_editor;
    CFont m_font;
    CBrush m_backBrush;
};
