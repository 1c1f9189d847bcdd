// The scenario groups that live in files of their own. Each runs its figures
// in folders of `scratch` and appends them to `figures`; Run() in BenchMain.cpp
// calls them in turn.
#pragma once

#include <vector>

#include "BenchSupport.h"

namespace bench {

// Text files: reading a 10 MB file, exporting a tree of 10,000 notes (FilesBench.cpp).
void RunFiles(const ScratchFolder& scratch, std::vector<Figure>& figures);

}  // namespace bench
