// Recovery files: where the text of a note goes when it can't be written into
// the database and the program must let go of it (at the end of the program,
// or when it closes the database file). One UTF-8 file per note, named after
// the note and the time, e.g. "Recovered - Shopping list - 2026-12-08 14.03.11.txt".
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct UnsavedNote {
    std::wstring name;
    std::wstring text;
};

// Writes each note's text into a recovery file in `folder` (ending with a
// backslash), or, where that fails, in the user's temporary folder. Returns the
// path of each note's file in the notes' order: empty for a text that could
// not be written anywhere.
std::vector<std::wstring> WriteRecoveryFiles(const std::wstring& folder, const std::vector<UnsavedNote>& notes,
                                             const SYSTEMTIME& time);
