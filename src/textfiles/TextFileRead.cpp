#include "textfiles/TextFileRead.h"

#include "framework/Exception.h"

namespace {
constexpr wchar_t kReplacement = 0xFFFD;

// Checks UTF-8 byte by byte, across the chunks of a file.
class Utf8Check {
public:
    // False as soon as the bytes can't be UTF-8.
    bool Take(unsigned char c) {
        if (m_nNeed > 0) {
            if (c < m_lo || c > m_hi)
                return false;
            m_lo = 0x80;
            m_hi = 0xBF;
            --m_nNeed;
            return true;
        }
        if (c < 0x80)
            return true;
        m_bMultiByte = true;
        // The lead byte says how many continuation bytes follow, and the first
        // one's range excludes overlong forms, surrogates and values past U+10FFFF.
        if (c >= 0xC2 && c <= 0xDF)
            return Expect(1, 0x80, 0xBF);
        if (c == 0xE0)
            return Expect(2, 0xA0, 0xBF);
        if (c == 0xED)
            return Expect(2, 0x80, 0x9F);
        if (c >= 0xE1 && c <= 0xEF)
            return Expect(2, 0x80, 0xBF);
        if (c == 0xF0)
            return Expect(3, 0x90, 0xBF);
        if (c >= 0xF1 && c <= 0xF3)
            return Expect(3, 0x80, 0xBF);
        if (c == 0xF4)
            return Expect(3, 0x80, 0x8F);
        return false;
    }
    bool CompleteWithMultiByte() const { return m_nNeed == 0 && m_bMultiByte; }

private:
    bool Expect(int need, unsigned char lo, unsigned char hi) {
        m_nNeed = need;
        m_lo = lo;
        m_hi = hi;
        return true;
    }
    int m_nNeed = 0;
    unsigned char m_lo = 0x80;
    unsigned char m_hi = 0xBF;
    bool m_bMultiByte = false;
};

int LeadingOnes(unsigned char lead) {
    int ones = 0;
    for (unsigned char mask = 0x80; mask && (lead & mask); mask >>= 1)
        ++ones;
    return ones;
}
}  // namespace

CTextFileRead::CTextFileRead(const std::wstring& path) : CTextFileBase(path, ANSI) {
    m_file.reset(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!IsOpen()) {
        m_bEndOfFile = true;
        return;
    }
    DetectEncoding();
}

void CTextFileRead::DetectEncoding() {
    unsigned char b0 = 0, b1 = 0, b2 = 0;
    const bool two = NextByte(b0) && NextByte(b1);
    if (two && b0 == 0xFF && b1 == 0xFE) {
        m_nEncoding = UTF16LE;
        return;
    }
    if (two && b0 == 0xFE && b1 == 0xFF) {
        m_nEncoding = UTF16BE;
        return;
    }
    if (two && b0 == 0xEF && b1 == 0xBB && NextByte(b2) && b2 == 0xBF) {
        m_nEncoding = UTF8;
        return;
    }
    m_nEncoding = IsUtf8WithoutMark() ? UTF8 : ANSI;
    Rewind();
}

bool CTextFileRead::IsUtf8WithoutMark() {
    Rewind();
    Utf8Check check;
    static constexpr DWORD kChunk = 64 * 1024;
    std::string chunk(kChunk, '\0');
    bool valid = true;
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(m_file.get(), chunk.data(), kChunk, &got, nullptr))
            throw CException(L"Error: Can't read file :" + m_strPath);
        if (got == 0)
            break;
        for (DWORD i = 0; i < got && valid; ++i)
            valid = check.Take(static_cast<unsigned char>(chunk[i]));
        if (!valid)
            break;
    }
    Rewind();
    return valid && check.CompleteWithMultiByte();
}

void CTextFileRead::Rewind() {
    LARGE_INTEGER start{};
    ::SetFilePointerEx(m_file.get(), start, nullptr, FILE_BEGIN);
    m_nBufferPos = 0;
    m_nBufferCount = 0;
    m_bEndOfFile = false;
    m_bPushedBack = false;
    m_chLowSurrogate = 0;
    m_bFirstLine = true;
}

bool CTextFileRead::RefillBuffer() {
    DWORD got = 0;
    if (!IsOpen())
        return false;
    if (!::ReadFile(m_file.get(), m_buffer, kBufferSize, &got, nullptr))
        throw CException(L"Error: Can't read file :" + m_strPath);
    m_nBufferPos = 0;
    m_nBufferCount = static_cast<int>(got);
    return got > 0;
}

bool CTextFileRead::NextContinuation(unsigned char& value) {
    if (m_nBufferPos >= m_nBufferCount && !RefillBuffer())
        return false;
    if ((m_buffer[m_nBufferPos] & 0xC0) != 0x80)
        return false;
    value = m_buffer[m_nBufferPos++];
    return true;
}

wchar_t CTextFileRead::ReadUtf8Unit() {
    unsigned char b0 = 0;
    if (!NextByte(b0))
        return 0;
    if (b0 < 0x80)
        return b0;
    const int ones = LeadingOnes(b0);
    if (ones < 2 || ones > 4)
        return kReplacement;  // a stray continuation byte, or no lead byte of UTF-8
    unsigned long value = b0 & (0x7F >> ones);
    for (int i = 1; i < ones; ++i) {
        unsigned char next = 0;
        if (!NextContinuation(next))
            return kReplacement;
        value = (value << 6) | (next & 0x3F);
    }
    if (ones < 4)
        return static_cast<wchar_t>(value);
    if (value < 0x10000 || value > 0x10FFFF)
        return kReplacement;
    value -= 0x10000;
    m_chLowSurrogate = static_cast<wchar_t>(0xDC00 | (value & 0x3FF));
    return static_cast<wchar_t>(0xD800 | (value >> 10));
}

wchar_t CTextFileRead::ReadChar() {
    if (m_bPushedBack) {
        m_bPushedBack = false;
        return m_chPushedBack;
    }
    if (m_chLowSurrogate) {
        const wchar_t low = m_chLowSurrogate;
        m_chLowSurrogate = 0;
        return low;
    }
    unsigned char b0 = 0, b1 = 0;
    switch (m_nEncoding) {
        case UTF8:
            return ReadUtf8Unit();
        case UTF16LE:
        case UTF16BE:
            // A final odd byte is no unit: it is dropped.
            if (!NextByte(b0) || !NextByte(b1))
                return 0;
            return m_nEncoding == UTF16LE ? static_cast<wchar_t>(b0 | (b1 << 8)) : static_cast<wchar_t>((b0 << 8) | b1);
        default:
            return NextByte(b0) ? static_cast<wchar_t>(b0) : 0;
    }
}

bool CTextFileRead::AppendLine(std::wstring& out) {
    if (m_bEndOfFile)
        return false;
    wchar_t ch = ReadChar();
    if (!m_bFirstLine) {
        // The line end that stopped the previous line: CR LF, CR or LF.
        if (ch == L'\r' && !m_bEndOfFile)
            ch = ReadChar();
        if (ch == L'\n' && !m_bEndOfFile)
            ch = ReadChar();
    }
    m_bFirstLine = false;
    const bool ansi = m_nEncoding == ANSI;
    if (ansi)
        m_strAnsiLine.clear();
    const bool bytewise = ansi || m_nEncoding == UTF8;
    while (!m_bEndOfFile && ch != L'\r' && ch != L'\n') {
        if (ansi)
            m_strAnsiLine.push_back(static_cast<char>(ch));
        else
            out.push_back(ch);
        // The same result, faster: a run of bytes that are characters of their
        // own (any but CR and LF in ANSI, ASCII in UTF-8) is taken from the
        // buffer at once.
        if (bytewise && !m_chLowSurrogate) {
            const int start = m_nBufferPos;
            int end = start;
            while (end < m_nBufferCount && m_buffer[end] != '\r' && m_buffer[end] != '\n' &&
                   (ansi || m_buffer[end] < 0x80))
                ++end;
            if (ansi)
                m_strAnsiLine.append(reinterpret_cast<const char*>(m_buffer + start), static_cast<size_t>(end - start));
            else
                out.append(m_buffer + start, m_buffer + end);
            m_nBufferPos = end;
        }
        ch = ReadChar();
    }
    if (!m_bEndOfFile) {
        m_bPushedBack = true;
        m_chPushedBack = ch;
    }
    if (ansi && !m_strAnsiLine.empty()) {
        const int length = static_cast<int>(m_strAnsiLine.size());
        const int wide = ::MultiByteToWideChar(m_nCodePage, 0, m_strAnsiLine.data(), length, nullptr, 0);
        const size_t at = out.size();
        out.resize(at + static_cast<size_t>(wide));
        ::MultiByteToWideChar(m_nCodePage, 0, m_strAnsiLine.data(), length, &out[at], wide);
    }
    return true;
}

bool CTextFileRead::ReadLine(std::wstring& line) {
    line.clear();
    return AppendLine(line);
}

bool CTextFileRead::ReadAll(std::wstring& text, const std::wstring& separator) {
    text.clear();
    if (!IsOpen())
        return false;
    LARGE_INTEGER size{};
    if (::GetFileSizeEx(m_file.get(), &size)) {
        const bool wide = m_nEncoding == UTF16LE || m_nEncoding == UTF16BE;
        text.reserve(static_cast<size_t>(wide ? size.QuadPart / 2 : size.QuadPart) + 2);
    }
    bool first = true;
    for (;;) {
        const size_t before = text.size();
        if (!first)
            text += separator;
        if (!AppendLine(text)) {
            text.resize(before);
            break;
        }
        first = false;
    }
    return true;
}
