// UTF-8, the program's 8-bit text at its edges: SQLite's file names and
// messages, exception texts, UTF-8 files and the clipboard.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Throws std::bad_alloc when there is no memory for the bytes.
std::string ToUtf8(std::wstring_view text);
// Bytes that are not UTF-8 become U+FFFD.
std::wstring FromUtf8(std::string_view bytes);
// Nothing when the bytes are not valid UTF-8.
std::optional<std::wstring> StrictFromUtf8(std::string_view bytes);
