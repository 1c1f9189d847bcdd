// A PostScript printer in the Wine prefix that prints into a file: Wine's own
// PostScript driver with its generic printer description, on a port that is
// a file path (the spooler copies each finished job there). It is the default
// printer while the object lives; the printer is removed and the previous
// default put back at the end.
#pragma once

#include <windows.h>

#include <string>

class FilePrinter {
public:
    explicit FilePrinter(const std::wstring& outputPath);
    ~FilePrinter();
    FilePrinter(const FilePrinter&) = delete;
    FilePrinter& operator=(const FilePrinter&) = delete;

    bool Ready() const { return m_bReady; }
    const wchar_t* Name() const { return kName; }
    // The PostScript of the last job, or nothing when none was written.
    std::string Output() const;

    static constexpr const wchar_t* kName = L"Tallyleaf Test PostScript";

private:
    std::wstring m_strOutput;
    std::wstring m_strPreviousDefault;
    bool m_bReady = false;
};

// The text a PostScript file from Wine's driver shows, in order: the driver
// draws every character by its glyph name (glyphshow). Line and page breaks
// show nothing; a name it does not know reads as '?'.
std::wstring ShownText(const std::string& postscript);
// How many pages the PostScript file holds (its %%Page comments).
int PageCount(const std::string& postscript);
