// Text the old database's rows hold: bytes in a code page, as SQLite's 8-bit
// interface gives them back.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The whole text, NULs included.
std::wstring FromCodePage(UINT codePage, std::string_view text);
