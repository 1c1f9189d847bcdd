// A fresh temporary folder for one test, removed with everything in it.
#pragma once

#include <string>
#include <vector>

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder's path, ending with a backslash.
    const std::wstring& Path() const { return m_path; }
    std::wstring File(const std::wstring& name) const { return m_path + name; }

private:
    std::wstring m_path;
};

// Whole-file helpers for assertions on what the program wrote.
bool FileExists(const std::wstring& path);
std::string ReadFileBytes(const std::wstring& path);
void WriteFileBytes(const std::wstring& path, const std::string& bytes);
// The names of the files and folders directly inside `folder` (with or without
// its final backslash) that match a wildcard pattern such as "Recovered - *.txt",
// sorted; empty when it does not exist.
std::vector<std::wstring> NamesIn(const std::wstring& folder, const std::wstring& pattern = L"*");
// Sets or clears the read-only attribute.
void SetReadOnly(const std::wstring& path, bool readOnly);
