// CException: the base of the program's own failures (the storage layer's
// CppSQLite3Exception among them). Each carries the message the user is shown,
// in UTF-16; what() gives the same message in UTF-8 to code that only knows
// std::exception.
//
// When a handler lets an exception escape, the entry point the system called
// (CallbackGuard.h) shows ExceptionMessage of it in an error box.
#pragma once

#include <exception>
#include <string>

class CException : public std::exception {
public:
    explicit CException(std::wstring message);

    const wchar_t* Message() const { return m_strMessage.c_str(); }
    const char* what() const noexcept override { return m_strUtf8.c_str(); }

private:
    std::wstring m_strMessage;
    std::string m_strUtf8;
};

// The message of any exception: a CException's own; a std::exception's what()
// read as UTF-8, or in the ANSI code page when it is not valid UTF-8.
std::wstring ExceptionMessage(const std::exception& e);
