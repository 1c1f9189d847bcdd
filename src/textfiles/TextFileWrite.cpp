#include "textfiles/TextFileWrite.h"

#include <cwchar>

#include "framework/Exception.h"
#include "framework/SystemError.h"

namespace {
bool IsHighSurrogate(wchar_t u) {
    return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLowSurrogate(wchar_t u) {
    return u >= 0xDC00 && u <= 0xDFFF;
}
}  // namespace

CTextFileWrite::CTextFileWrite(const std::wstring& path, int encoding) : CTextFileBase(path, encoding) {
    m_file.reset(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!IsOpen())
        return;
    switch (encoding) {
        case UTF16BE:
            PutByte(0xFE);
            PutByte(0xFF);
            break;
        case UTF16LE:
            PutByte(0xFF);
            PutByte(0xFE);
            break;
        case UTF8:
            PutByte(0xEF);
            PutByte(0xBB);
            PutByte(0xBF);
            break;
        default:
            break;
    }
}

CTextFileWrite::~CTextFileWrite() {
    try {
        Close();
    } catch (const CException&) {
    }
}

void CTextFileWrite::Flush() {
    if (!IsOpen() || m_nBufferPos == 0)
        return;
    DWORD written = 0;
    const DWORD count = static_cast<DWORD>(m_nBufferPos);
    // What could not be written is dropped, so that closing does not try again.
    m_nBufferPos = 0;
    if (!::WriteFile(m_file.get(), m_buffer, count, &written, nullptr) || written != count)
        ThrowWriteFailure();
}

void CTextFileWrite::ThrowWriteFailure() const {
    const DWORD error = ::GetLastError();
    std::wstring message = L"Error: Can't write file :" + m_strPath;
    const std::wstring reason = SystemErrorText(error);
    if (!reason.empty())
        message += L"\n - " + reason;
    throw CException(message);
}

void CTextFileWrite::FlushToDisk() {
    if (!IsOpen())
        return;
    Flush();
    if (!::FlushFileBuffers(m_file.get()))
        ThrowWriteFailure();
}

void CTextFileWrite::Close() {
    if (!IsOpen())
        return;
    try {
        Flush();
    } catch (const CException&) {
        CTextFileBase::Close();
        throw;
    }
    CTextFileBase::Close();
}

void CTextFileWrite::Write(const std::wstring& text) {
    if (!IsOpen())
        return;
    const size_t length = std::wcslen(text.c_str());
    switch (m_nEncoding) {
        case UTF16LE:
        case UTF16BE:
            for (size_t i = 0; i < length; ++i) {
                const auto low = static_cast<unsigned char>(text[i] & 0xFF);
                const auto high = static_cast<unsigned char>(text[i] >> 8);
                PutByte(m_nEncoding == UTF16LE ? low : high);
                PutByte(m_nEncoding == UTF16LE ? high : low);
            }
            break;
        case UTF8:
            WriteUtf8(text.c_str(), length);
            break;
        default: {
            if (length == 0)
                break;
            const int wide = static_cast<int>(length);
            const int size = ::WideCharToMultiByte(m_nCodePage, 0, text.c_str(), wide, nullptr, 0, nullptr, nullptr);
            std::string bytes(static_cast<size_t>(size), '\0');
            ::WideCharToMultiByte(m_nCodePage, 0, text.c_str(), wide, bytes.data(), size, nullptr, nullptr);
            for (char b : bytes)
                PutByte(static_cast<unsigned char>(b));
            break;
        }
    }
}

void CTextFileWrite::WriteUtf8(const wchar_t* text, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        const unsigned long u = text[i];
        if (u < 0x80) {
            PutByte(static_cast<unsigned char>(u));
        } else if (u < 0x800) {
            PutByte(static_cast<unsigned char>(0xC0 | (u >> 6)));
            PutByte(static_cast<unsigned char>(0x80 | (u & 0x3F)));
        } else if (IsHighSurrogate(text[i]) && i + 1 < length && IsLowSurrogate(text[i + 1])) {
            const unsigned long cp = 0x10000 + ((u - 0xD800) << 10) + (static_cast<unsigned long>(text[++i]) - 0xDC00);
            PutByte(static_cast<unsigned char>(0xF0 | (cp >> 18)));
            PutByte(static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F)));
            PutByte(static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F)));
            PutByte(static_cast<unsigned char>(0x80 | (cp & 0x3F)));
        } else {
            PutByte(static_cast<unsigned char>(0xE0 | (u >> 12)));
            PutByte(static_cast<unsigned char>(0x80 | ((u >> 6) & 0x3F)));
            PutByte(static_cast<unsigned char>(0x80 | (u & 0x3F)));
        }
    }
}
