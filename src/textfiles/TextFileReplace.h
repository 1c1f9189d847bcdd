// Writing a text file over one that may exist, so that a failure part-way (a
// full disk, a vanishing drive, a file held by another program) never destroys
// what the file held: the text goes into a temporary file in the same folder,
// is put on the disk, and only then takes the old file's place.
#pragma once

#include <string>

// Writes `text` as UTF-8 with a byte order mark into `path`. Throws CException
// naming the file and the system's reason when it was not written; the file is
// then as it was, and no temporary file is left behind.
void WriteTextFileReplacing(const std::wstring& path, const std::wstring& text);
