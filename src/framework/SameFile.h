// Whether two paths name one file, however each is spelled (case, short
// names, another way to the same folder): compared by volume and file index.
#pragma once

#include <string>

// False when either file can't be opened.
bool IsSameFile(const std::wstring& a, const std::wstring& b);
