// Folders the program makes for its own files (data, backups, exports).
#pragma once

#include <string>

// Creates `folder` and every missing folder above it; a trailing backslash is
// fine. True when the folder exists afterwards; otherwise GetLastError() says
// why (ERROR_DIRECTORY when a file stands in its place). Made one by one,
// because the shell's call for this notifies the shell of each folder, which
// under Wine takes longer than writing the notes.
bool CreateFolderPath(const std::wstring& folder);

// Whether a file can be made in `folder` (a trailing backslash is fine): tried
// for real with a file that is deleted again, since neither the folder's
// attributes nor its permissions tell about a write-protected drive.
bool CanWriteIn(const std::wstring& folder);
