// The snippets of the Insert menu, read from the file "Insert.cfg" in the data
// folder.
//
// A snippet starts at a line beginning with "Name=" (the rest of the line is
// its name, tabs and NULs shown as blanks) and takes every following line up
// to the next such line or the end of the file (CR LF, LF and CR end lines); lines before the first "Name=" are
// ignored. A snippet without text is dropped and takes no number. The first ten are labelled Alt+1 ... Alt+9, Alt+0;
// later ones show their whole "Name=" line. Only the first 51 are kept, as many as the Insert commands number
// (ID_INSERT_FIRST to ID_INSERT_LAST); the rest of the file is not looked at.
//
// A file that starts with the UTF-8 byte order mark, or whose bytes are UTF-8
// with at least one non-ASCII sequence, is read as UTF-8; any other file byte
// per character (byte 0xE9 is U+00E9), as files of earlier versions were.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct Snippet {
    std::wstring label;  // the menu item's text, "&" doubled, with its key after a tab
    std::wstring text;   // what is inserted (before its markers are expanded)
};

namespace Snippets {

// The snippets of a file's bytes, in file order.
std::vector<Snippet> Parse(const std::string& bytes);
// The snippets of a file; none when it can't be read.
std::vector<Snippet> Load(const std::wstring& path);

// Empties `popup` and appends one item a snippet: its label, command
// ID_INSERT_FIRST + its index.
void FillMenu(HMENU popup, const std::vector<Snippet>& snippets);

}  // namespace Snippets
