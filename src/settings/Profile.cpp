#include "settings/Profile.h"

#include <vector>

#include "framework/KernelHandle.h"
#include "framework/Utf8.h"
#include "settings/AppFolders.h"

namespace Profile {

std::wstring ConfigPath() {
    return AppFolders::DataFolder() + L"tallyleaf.cfg";
}

namespace {
std::string ReadBytes(const std::wstring& path, bool& exists) {
    std::string bytes;
    const FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    exists = static_cast<bool>(file);
    if (!exists)
        return bytes;
    char chunk[4096];
    DWORD read = 0;
    while (::ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    return bytes;
}

// Writes the whole file beside the old one first, so a failure part-way
// leaves the old file as it was.
void WriteUtf16File(const std::wstring& path, const std::wstring& text) {
    const std::wstring temporary = path + L".new";
    FileHandle file(
        ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    const std::wstring content = L"\xFEFF" + text;
    const DWORD size = static_cast<DWORD>(content.size() * sizeof(wchar_t));
    DWORD written = 0;
    const bool ok = ::WriteFile(file.get(), content.data(), size, &written, nullptr) && written == size;
    file.reset();  // closed before it is moved into place
    if (!ok || !::MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        ::DeleteFileW(temporary.c_str());
}
}  // namespace

void UseUnicodeFile() {
    const std::wstring path = ConfigPath();
    bool exists = false;
    const std::string bytes = ReadBytes(path, exists);
    if (!exists)
        return;  // made as a Unicode file by its first write
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE)
        return;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFE &&
        static_cast<unsigned char>(bytes[1]) == 0xFF)
        return;  // big-endian UTF-16 keeps every character too
    // The profile functions read a file without a mark in the ANSI code page
    // (and, on some systems, one with a UTF-8 mark as UTF-8).
    const bool utf8 = bytes.rfind("\xEF\xBB\xBF", 0) == 0;
    const std::string body = utf8 ? bytes.substr(3) : bytes;
    std::wstring text;
    if (utf8) {
        text = FromUtf8(body);
    } else if (!body.empty()) {
        const int size = static_cast<int>(body.size());
        const int length = ::MultiByteToWideChar(CP_ACP, 0, body.data(), size, nullptr, 0);
        text.resize(static_cast<size_t>(length));
        ::MultiByteToWideChar(CP_ACP, 0, body.data(), size, text.data(), length);
    }
    WriteUtf16File(path, text);
}

int ReadInt(const wchar_t* section, const wchar_t* key, int defaultValue) {
    return static_cast<int>(::GetPrivateProfileIntW(section, key, defaultValue, ConfigPath().c_str()));
}

bool ReadSwitch(const wchar_t* section, const wchar_t* key, bool defaultValue) {
    return ReadInt(section, key, defaultValue ? 1 : 0) != 0;
}

std::wstring ReadString(const wchar_t* section, const wchar_t* key, const std::wstring& defaultValue, DWORD maxChars) {
    std::vector<wchar_t> buffer(maxChars + 1, L'\0');
    DWORD n = ::GetPrivateProfileStringW(section, key, defaultValue.c_str(), buffer.data(), maxChars + 1,
                                         ConfigPath().c_str());
    return std::wstring(buffer.data(), n);
}

bool ReadStruct(const wchar_t* section, const wchar_t* key, void* data, UINT size) {
    return ::GetPrivateProfileStructW(section, key, data, size, ConfigPath().c_str()) != FALSE;
}

void WriteInt(const wchar_t* section, const wchar_t* key, int value) {
    WriteString(section, key, std::to_wstring(value));
}

void WriteSwitch(const wchar_t* section, const wchar_t* key, bool value) {
    WriteString(section, key, value ? L"1" : L"0");
}

void WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) {
    const std::wstring path = ConfigPath();
    // A file the profile functions made themselves would be an ANSI one.
    if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        WriteUtf16File(path, std::wstring());
    ::WritePrivateProfileStringW(section, key, value.c_str(), path.c_str());
}

void WriteStruct(const wchar_t* section, const wchar_t* key, const void* data, UINT size) {
    ::WritePrivateProfileStructW(section, key, const_cast<void*>(data), size, ConfigPath().c_str());
}

}  // namespace Profile
