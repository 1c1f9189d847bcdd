// The editor's (and the tree's) font as the configuration keeps it: key Fontdlg
// of section Tallyleaf, a 92-byte font description in the structure form.
#pragma once

#include <windows.h>

namespace FontRecord {

// Height -14, normal weight, default character set, "MS Shell Dlg".
LOGFONTW Default();
// The stored font, or the default when it is missing or invalid.
LOGFONTW Read();
void Write(const LOGFONTW& font);

}  // namespace FontRecord
