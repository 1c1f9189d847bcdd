// HtmBrowser: the way a link is still opened when the shell cannot open its
// address: the browser registered for .htm files is started on it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace HtmBrowser {

// The command line that opens `address` with a browser whose registered open
// command is `command`: the command up to its "%1" placeholder (the quoted
// placeholder's opening quotation mark included; the whole command when it
// has none), then the address as one quoted argument. Empty when the address
// cannot be passed as one argument: it holds a quotation mark or a line break.
std::wstring CommandLine(const std::wstring& command, const std::wstring& address);

// `text` in the system's ANSI code page; false when a character has no exact
// equivalent there (a look-alike would be a different command line).
bool ToAnsi(const std::wstring& text, std::string& ansi);

// Starts the browser registered for .htm files (HKEY_CLASSES_ROOT) on `address`
// with WinExec and returns its result; nothing when no browser is registered
// or the address cannot be passed safely.
std::optional<UINT> Open(const std::wstring& address, int show);

}  // namespace HtmBrowser
