// The scenario groups that live in files of their own. Each runs its figures
// in folders of `scratch` and appends them to `figures`; Run() in BenchMain.cpp
// calls them in turn.
#pragma once

#include <vector>

#include "BenchSupport.h"

namespace bench {

// Word Wrap on a 1 MB note, paging it for print, dragging the splitter (FormatBench.cpp).
void RunFormatting(const ScratchFolder& scratch, std::vector<Figure>& figures);
// Find Next and Replace All on a 1 MB note; building the Insert menu; start-up
// with a large Insert.cfg (FindBench.cpp).
void RunFindAndInsert(const ScratchFolder& scratch, std::vector<Figure>& figures);
// Text files: reading a 10 MB file, exporting a tree of 10,000 notes (FilesBench.cpp).
void RunFiles(const ScratchFolder& scratch, std::vector<Figure>& figures);
// Import Folder of an export of 10,000 notes of 2 KB (FilesBench.cpp).
void RunImport(const ScratchFolder& scratch, std::vector<Figure>& figures);
// Opening the largest popups of the owner-drawn menus (MenusBench.cpp).
void RunMenus(const ScratchFolder& scratch, std::vector<Figure>& figures);
// Find in All Notes over 10,000 notes of 2 KB (SearchBench.cpp).
void RunSearchAll(const ScratchFolder& scratch, std::vector<Figure>& figures);
// A note switch in files of 100 to 50,000 notes (TreeSizeBench.cpp).
void RunSwitchByTreeSize(const ScratchFolder& scratch, std::vector<Figure>& figures);
// Saves checked against the file, and the tree following another copy at 10,000 notes (SharingBench.cpp).
void RunSharing(const ScratchFolder& scratch, std::vector<Figure>& figures);

}  // namespace bench
