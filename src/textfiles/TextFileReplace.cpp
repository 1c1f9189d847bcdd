#include "textfiles/TextFileReplace.h"

#include <windows.h>

#include "textfiles/TextFileWrite.h"
#include "framework/Exception.h"
#include "framework/SystemError.h"

namespace {
[[noreturn]] void ThrowFailure(const std::wstring& path, DWORD error) {
    std::wstring message = L"Error: Can't write file :" + path;
    const std::wstring reason = SystemErrorText(error);
    if (!reason.empty())
        message += L"\n - " + reason;
    throw CException(message);
}

}  // namespace

void WriteTextFileReplacing(const std::wstring& path, const std::wstring& text) {
    // Named after the file (not by the system's unique-name search, which on a
    // full disk tries every one of its names in turn): one left by an attempt
    // that was cut short is simply written again.
    const std::wstring temporary = path + L".tallyleaf-new";
    try {
        CTextFileWrite file(temporary, CTextFileBase::UTF8);
        if (!file.IsOpen())
            ThrowFailure(path, ::GetLastError());
        file.Write(text);
        file.FlushToDisk();
        file.Close();
    } catch (const CException& e) {
        ::DeleteFileW(temporary.c_str());
        // The message names the file the user chose, not the temporary one.
        std::wstring message = e.Message();
        const size_t at = message.find(temporary);
        if (at != std::wstring::npos)
            message.replace(at, temporary.size(), path);
        throw CException(message);
    }
    if (!::MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = ::GetLastError();
        ::DeleteFileW(temporary.c_str());
        ThrowFailure(path, error);
    }
}
