// Text the old database's rows hold: bytes in a code page, as SQLite's 8-bit
// interface gives them back.
#pragma once

#include <windows.h>

#include <string>

// Empty for null or empty text.
std::wstring FromCodePage(UINT codePage, const char* text);
