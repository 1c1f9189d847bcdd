#include "notes/RecoveryFiles.h"

#include <cwchar>

#include "textfiles/TextFileWrite.h"
#include "framework/Exception.h"
#include "textfiles/ExportNames.h"

namespace {
std::wstring TimeStamp(const SYSTEMTIME& time) {
    wchar_t stamp[32];
    std::swprintf(stamp, sizeof stamp / sizeof stamp[0], L"%04u-%02u-%02u %02u.%02u.%02u", time.wYear, time.wMonth,
                  time.wDay, time.wHour, time.wMinute, time.wSecond);
    return stamp;
}

bool WriteNewFile(const std::wstring& path, const std::wstring& text) {
    // An existing file (another run's, in the same second) is never replaced.
    if (::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    try {
        CTextFileWrite file(path, CTextFileBase::UTF8);
        if (!file.IsOpen())
            return false;
        file.Write(text);
        file.Close();
        return true;
    } catch (const CException&) {
        ::DeleteFileW(path.c_str());
        return false;
    }
}

std::wstring TemporaryFolder() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = ::GetTempPathW(MAX_PATH + 1, path);
    return length > 0 && length <= MAX_PATH ? std::wstring(path, length) : std::wstring();
}
}  // namespace

std::vector<std::wstring> WriteRecoveryFiles(const std::wstring& folder, const std::vector<UnsavedNote>& notes,
                                             const SYSTEMTIME& time) {
    const std::wstring stamp = TimeStamp(time);
    const std::wstring fallback = TemporaryFolder();
    ExportNames names;
    std::vector<std::wstring> written;
    for (const UnsavedNote& note : notes) {
        // Two notes of one name get two files: "Name" and "Name (2)".
        const std::wstring name = L"Recovered - " + names.Claim(note.name) + L" - " + stamp + L".txt";
        std::wstring path = folder + name;
        if (!WriteNewFile(path, note.text)) {
            path = fallback + name;
            if (fallback.empty() || !WriteNewFile(path, note.text))
                path.clear();
        }
        written.push_back(path);
    }
    return written;
}
