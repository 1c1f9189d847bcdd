// A file's size as a user reads it: "3.2 GB", "17.0 MB", "900 KB".
#pragma once

#include <string>

std::wstring ByteSizeText(unsigned long long bytes);
