// The running program file's full path, of any length.
#pragma once

#include <string>

std::wstring ModulePath();
