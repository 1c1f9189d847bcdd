// CDragEdit: the note editor, an edit control bound to the main window.
#pragma once

#include <string>

#include "framework/Edit.h"

class CDragEdit : public CEdit {
public:
    // The packed position stored with a note: first visible line (mod 65536)
    // in the high 16 bits, the caret's index (65535 when beyond) in the low 16.
    int PackedPosition() const;
    // Places the caret and scrolls as a packed position says.
    void RestorePosition(int packed);
    // Replaces the whole text and restores a packed position, drawing once.
    void ShowText(const std::wstring& text, int packed);
};
