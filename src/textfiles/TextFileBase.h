// CTextFileBase: what the text file reader and writer share. A text file is in
// one of four encodings: the system's 8-bit (ANSI) code page, UTF-16 big- or
// little-endian, or UTF-8; the Unicode ones start with a byte order mark. The
// file goes through a 1024-byte buffer. No windows are involved: these classes
// only use the system's file calls.
//
// Failures of the file calls while reading or writing are thrown as CException
// with a message for the user; a file that can't be opened is not a failure
// here: IsOpen is false and the caller reports it.
#pragma once

#include <windows.h>

#include <string>

#include "framework/KernelHandle.h"

class CTextFileBase {
public:
    enum TextEncoding { ANSI = 0, UTF16BE = 1, UTF16LE = 2, UTF8 = 3 };

    CTextFileBase(const CTextFileBase&) = delete;
    CTextFileBase& operator=(const CTextFileBase&) = delete;
    virtual ~CTextFileBase();

    bool IsOpen() const { return static_cast<bool>(m_file); }
    int GetEncoding() const { return m_nEncoding; }
    const std::wstring& GetPath() const { return m_strPath; }

    // Closes the file; closing again does nothing.
    virtual void Close();

protected:
    static constexpr int kBufferSize = 1024;

    CTextFileBase(const std::wstring& path, int encoding);

    std::wstring m_strPath;
    FileHandle m_file;
    int m_nEncoding;
    bool m_bEndOfFile = false;
    unsigned char m_buffer[kBufferSize] = {};
    // The next byte of the buffer to read or to fill, and (reading) how many it holds.
    int m_nBufferPos = 0;
    int m_nBufferCount = 0;
    // 0: the system's ANSI code page.
    UINT m_nCodePage = CP_ACP;
};
