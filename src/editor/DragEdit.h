// CDragEdit: the note editor, an edit control bound to the main window.
#pragma once

#include "framework/Edit.h"

class CDragEdit : public CEdit {
public:
    // The packed position stored with a note: first visible line (mod 65536)
    // in the high 16 bits, the caret's index (65535 when beyond) in the low 16.
    int PackedPosition() const;
    // Places the caret and scrolls as a packed position says.
    void RestorePosition(int packed);
};
