// Where the program and its data live. Both folders end with a backslash.
// The data folder is the user's application data folder + "TallyLeaf\", or the
// program folder where that cannot be obtained; it holds the configuration
// file, the databases and the snippet file.
#pragma once

#include <string>

namespace AppFolders {

// Determines both folders (once per start) and creates the data folder when it
// is missing, so a first start on a fresh machine works.
void Initialise();

const std::wstring& ProgramFolder();
const std::wstring& DataFolder();

}  // namespace AppFolders
