// CTextFileWrite: writes a text file in one of the four encodings, starting
// with the encoding's byte order mark. Text is written as it is: "\r\n" stays
// "\r\n". In UTF-8 a surrogate pair becomes the one four-byte sequence of its
// character (a lone surrogate is written as three bytes of its own).
#pragma once

#include <string>

#include "textfiles/TextFileBase.h"

class CTextFileWrite : public CTextFileBase {
public:
    // Creates the file (an existing one is emptied), letting others only read
    // it, and writes the byte order mark.
    CTextFileWrite(const std::wstring& path, int encoding);
    // Closes the file; a failure to write the last bytes can't be reported from
    // here, so callers that must know call Close themselves.
    ~CTextFileWrite() override;

    // Writes the text up to its terminator; throws CException when the file
    // can't take it (a full disk).
    void Write(const std::wstring& text);
    // Writes out the buffer, then closes; throws as Write does (the file is
    // closed all the same).
    void Close() override;
    // Writes out the buffer and has the system put everything written on the
    // disk; throws as Write does.
    void FlushToDisk();

private:
    void PutByte(unsigned char value) {
        if (m_nBufferPos == kBufferSize)
            Flush();
        m_buffer[m_nBufferPos++] = value;
    }
    void Flush();
    // Throws the failure of a write, with the system's reason.
    [[noreturn]] void ThrowWriteFailure() const;
    void WriteUtf8(const wchar_t* text, size_t length);
};
