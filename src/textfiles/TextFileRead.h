// CTextFileRead: reads a text file line by line, or whole. The encoding comes
// from the byte order mark (FF FE, FE FF, EF BB BF); a file without one is read
// as UTF-8 when all its bytes are valid UTF-8 with at least one character
// beyond ASCII (what most tools write today), and in the ANSI code page
// otherwise (an 8-bit file with accented letters is practically never valid
// UTF-8). CR LF, a lone CR and a lone LF each end a line. Characters beyond
// U+FFFF in UTF-8 come out as their surrogate pair.
#pragma once

#include <string>

#include "textfiles/TextFileBase.h"

// The largest file that becomes a note. The edit control could hold more, but
// it lays out about a megabyte a second, and reading a larger file would hold
// the window up for nothing.
constexpr unsigned long long kLargestNoteFile = 16ull * 1024 * 1024;

class CTextFileRead : public CTextFileBase {
public:
    // Opens the file for reading, denying other writers, and finds its encoding.
    explicit CTextFileRead(const std::wstring& path);

    // The next line without its line end; false at the end of the file. A file
    // that ends with a line end has one more, empty, line.
    bool ReadLine(std::wstring& line);
    // The rest of the file, its lines joined by `separator`; false when the
    // file is not open.
    bool ReadAll(std::wstring& text, const std::wstring& separator = L"\r\n");

private:
    void DetectEncoding();
    // Whether the file (read from its start) is valid UTF-8 holding at least
    // one multi-byte sequence. Leaves the file at its start.
    bool IsUtf8WithoutMark();
    // Back to the first byte, with nothing buffered or pushed back.
    void Rewind();
    bool RefillBuffer();
    bool NextByte(unsigned char& value) {
        if (m_nBufferPos >= m_nBufferCount && !RefillBuffer()) {
            m_bEndOfFile = true;
            return false;
        }
        value = m_buffer[m_nBufferPos++];
        return true;
    }
    // The next byte if it continues a UTF-8 sequence (10xxxxxx); it is then used.
    bool NextContinuation(unsigned char& value);
    // The next character: a byte of an ANSI file, else a UTF-16 unit; 0 with
    // end of file set when there is none.
    wchar_t ReadChar();
    wchar_t ReadUtf8Unit();
    // Appends the next line to `out`; false at the end of the file.
    bool AppendLine(std::wstring& out);

    bool m_bFirstLine = true;
    bool m_bPushedBack = false;
    wchar_t m_chPushedBack = 0;
    // The second half of a four-byte UTF-8 character, due next (0: none).
    wchar_t m_chLowSurrogate = 0;
    // An ANSI line's bytes, converted once the line is complete.
    std::string m_strAnsiLine;
};
