// The system's Open and Save dialogs for the text files of a note, both with
// the filter "Txt Files |*.txt|All Files |*.*|".
#pragma once

#include <windows.h>

#include <optional>
#include <string>

// Without `addToRecent` the file chosen stays out of the shell's list of
// recent documents (a portable copy leaves the application data folder alone).

// The file to load into a note (it must exist); nothing when cancelled.
std::optional<std::wstring> AskTextFileToLoad(HWND owner, bool addToRecent);
// The file to save a note to, proposing `initialName` (the extension ".txt" is
// added when the user gives none); the dialog asks before replacing a file.
// Nothing when cancelled.
std::optional<std::wstring> AskTextFileToSave(HWND owner, const std::wstring& initialName, bool addToRecent);
