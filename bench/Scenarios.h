// The scenario groups that live in files of their own. Each runs its figures
// in folders of `scratch` and appends them to `figures`; Run() in BenchMain.cpp
// calls them in turn.
#pragma once

#include <vector>

#include "BenchSupport.h"

namespace bench {

// Opening the largest popups of the owner-drawn menus (MenusBench.cpp).
void RunMenus(const ScratchFolder& scratch, std::vector<Figure>& figures);

}  // namespace bench
