// The Insert menu: its snippets from Insert.cfg in the data folder, and
// inserting one (snippet k is command ID_INSERT_FIRST + k).
#pragma once

#include <vector>

#include "editor/DragEdit.h"
#include "editor/Snippets.h"
#include "framework/Wnd.h"

class InsertCommands {
public:
    InsertCommands(CWnd& window, CDragEdit& editor) : m_window(window), m_editor(editor) {}

    // Reads the snippets into the Insert menu of the window's menu bar.
    void BuildMenu();
    void Insert(UINT id);
    const std::vector<Snippet>& Snippets() const { return m_snippets; }

private:
    CWnd& m_window;
    CDragEdit& m_editor;
    std::vector<Snippet> m_snippets;
};
