// The notes tree written out as text, "label#note" with children in brackets,
// read either from the control itself or from the model the program walks.
// Tests compare the two to know that the model follows every change.
#pragma once

#include <string>

#include "tree/MyCTreeCtr.h"

// As the control shows the items below `parent`.
std::wstring ShownShape(const MyCTreeCtr& tree, HTREEITEM parent = TVI_ROOT);
// As the tree's model holds them.
std::wstring ModelShape(const MyCTreeCtr& tree, HTREEITEM parent = TVI_ROOT);
