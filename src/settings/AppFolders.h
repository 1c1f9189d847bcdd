// Where the program and its data live. Both folders end with a backslash.
// The data folder is the user's application data folder + "TallyLeaf\", or the
// program folder where that cannot be obtained; it holds the configuration
// file, the databases and the snippet file.
//
// Portable mode: a file named "portable" (or the configuration file itself)
// beside the exe makes the program folder the data folder, so a copy on a USB
// stick carries its notes along and leaves nothing behind on the machine: the
// program then writes neither the application data folder nor the registry.
#pragma once

#include <string>

namespace AppFolders {

// The marker file whose presence beside the exe turns portable mode on.
constexpr const wchar_t* kPortableMarker = L"portable";

// Determines both folders and the mode (once per start) and creates the data
// folder when it is missing, so a first start on a fresh machine works.
void Initialise();

const std::wstring& ProgramFolder();
const std::wstring& DataFolder();
bool Portable();
// In portable mode, whether a file could be made in the data folder at start
// (not on a write-protected stick); always true otherwise.
bool Writable();

// A path as the configuration file keeps it: in portable mode a path inside the
// program folder is kept relative to it, so it still holds when the stick gets
// another drive letter; any other path is kept as it is.
std::wstring ToStoredPath(const std::wstring& path);
// The full path of a path kept by ToStoredPath.
std::wstring FromStoredPath(const std::wstring& stored);

// For the tests and the bench, which must keep the user's folders out of reach.
// The data folder is `folder` from now on, instead of the user's application
// data folder (a portable copy still keeps its data in its own folder); an
// empty `folder` gives the choice back to Initialise.
void SetDataFolder(const std::wstring& folder);
// Initialise looks for the portable-mode marker in `folder` (and, in portable
// mode, keeps the data there), as if the exe stood there; an empty `folder`
// gives back the exe's own folder.
void SetProgramFolder(const std::wstring& folder);

}  // namespace AppFolders
