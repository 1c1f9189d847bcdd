#include "framework/Folders.h"

#include <windows.h>

namespace {
bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Makes `path` (no trailing separator); the system's error when it can't.
DWORD MakeFolder(const std::wstring& path) {
    if (::CreateDirectoryW(path.c_str(), nullptr))
        return ERROR_SUCCESS;
    const DWORD error = ::GetLastError();
    if (error != ERROR_PATH_NOT_FOUND)
        return error;
    const size_t parent = path.find_last_of(L"\\/");
    if (parent == std::wstring::npos || parent == 0)
        return error;
    const DWORD above = MakeFolder(path.substr(0, parent));
    if (above != ERROR_SUCCESS && above != ERROR_ALREADY_EXISTS)
        return above;
    return ::CreateDirectoryW(path.c_str(), nullptr) ? ERROR_SUCCESS : ::GetLastError();
}
}  // namespace

bool CreateFolderPath(const std::wstring& folder) {
    std::wstring path = folder;
    while (!path.empty() && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    if (path.empty()) {
        ::SetLastError(ERROR_PATH_NOT_FOUND);
        return false;
    }
    const DWORD error = MakeFolder(path);
    if (IsFolder(path))
        return true;
    const bool fileInTheWay = error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS || error == ERROR_SUCCESS;
    ::SetLastError(fileInTheWay ? ERROR_DIRECTORY : error);
    return false;
}

bool CanWriteIn(const std::wstring& folder) {
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\' && path.back() != L'/')
        path += L'\\';
    // GetTempFileNameW is no judge: Wine's answers with a name even when the file could not be made.
    for (DWORD attempt = 0; attempt < 100; ++attempt) {
        const std::wstring probe = path + L"tallyleaf-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                   std::to_wstring(::GetTickCount() + attempt) + L".tmp";
        HANDLE file = ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            ::CloseHandle(file);
            return true;
        }
        if (::GetLastError() != ERROR_FILE_EXISTS)
            return false;
    }
    return false;
}
