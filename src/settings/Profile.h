// Reading and writing the configuration file one key at a time, through the
// private-profile functions. The path is formed anew for every call from the
// data folder, so a switch of folder takes effect at once.
#pragma once

#include <windows.h>

#include <string>

namespace Profile {

// The sections. Names match without regard to case.
constexpr const wchar_t* kMain = L"Main";
constexpr const wchar_t* kPlacement = L"Tallyleaf";
constexpr const wchar_t* kStat = L"Stat";

// data folder + "tallyleaf.cfg"
std::wstring ConfigPath();

// Makes the configuration file one that keeps every character: a UTF-16 file
// with a byte order mark, which the profile functions then read and write as
// such (a file they create themselves is written in the ANSI code page, where
// a path such as "C:\Łódź\notes2.db" would come back with question marks).
// An ANSI file is converted with its values; a missing one is made as a UTF-16
// file by the first write. Silent on failure, like every write of the file.
void UseUnicodeFile();

int ReadInt(const wchar_t* section, const wchar_t* key, int defaultValue);
bool ReadSwitch(const wchar_t* section, const wchar_t* key, bool defaultValue);
std::wstring ReadString(const wchar_t* section, const wchar_t* key, const std::wstring& defaultValue,
                        DWORD maxChars = 511);
// Reads a record written by WriteStruct (its bytes as upper-case hex pairs, then
// a checksum byte); false when missing, of the wrong length or with a wrong
// checksum, and `data` may then hold anything.
bool ReadStruct(const wchar_t* section, const wchar_t* key, void* data, UINT size);

// Writes fail silently: the value then holds for this run only.
void WriteInt(const wchar_t* section, const wchar_t* key, int value);
void WriteSwitch(const wchar_t* section, const wchar_t* key, bool value);
void WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value);
void WriteStruct(const wchar_t* section, const wchar_t* key, const void* data, UINT size);

}  // namespace Profile
