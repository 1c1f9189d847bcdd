#include "app/EditCommands.h"

void EditCommands::SelectAll() {
    m_editor.SetSel(0, static_cast<int>(m_editor.GetWindowText().size()));
}

bool EditCommands::HasSelection() {
    int start = 0, end = 0;
    m_editor.GetSel(start, end);
    return start != end;
}

bool EditCommands::ClipboardHasText() {
    // Text put there as ANSI counts too: the system offers it as Unicode as well.
    return ::IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
}
