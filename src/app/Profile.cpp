#include "app/Profile.h"

#include <vector>

#include "app/AppFolders.h"

namespace Profile {

std::wstring ConfigPath() {
    return AppFolders::DataFolder() + L"tallyleaf.cfg";
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
    ::WritePrivateProfileStringW(section, key, value.c_str(), ConfigPath().c_str());
}

void WriteStruct(const wchar_t* section, const wchar_t* key, const void* data, UINT size) {
    ::WritePrivateProfileStructW(section, key, const_cast<void*>(data), size, ConfigPath().c_str());
}

}  // namespace Profile
