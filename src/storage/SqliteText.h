// Text at SQLite's 8-bit interface: file names go to sqlite3_open_v2 in UTF-8
// (only the 8-bit open takes flags such as read-only), and the old database's
// texts come back as bytes in a code page.
#pragma once

#include <windows.h>

#include <string>

// Throws std::bad_alloc when there is no memory for the bytes.
std::string ToUtf8(const std::wstring& text);
// Empty for null or empty text.
std::wstring FromCodePage(UINT codePage, const char* text);
