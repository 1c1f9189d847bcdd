// CFileDialog: the common file-open or file-save dialog, modal to its owner.
// The filter is written as pairs of description and pattern separated by '|'
// ("Text files|*.txt|"); the flags are the OFN_ options.
#pragma once

#include <windows.h>

#include <string>

class CFileDialog {
public:
    CFileDialog(bool openFileDialog, const wchar_t* defaultExtension, const std::wstring& fileName, DWORD flags,
                const wchar_t* filter, HWND owner);

    // IDOK when the user chose a file, IDCANCEL otherwise (a failure of the
    // dialog included).
    INT_PTR DoModal();
    // The full path chosen; meaningful after IDOK.
    const std::wstring& GetPathName() const { return m_strPathName; }

private:
    bool m_bOpenFileDialog;
    std::wstring m_strDefaultExtension;
    std::wstring m_strFileName;
    DWORD m_dwFlags;
    std::wstring m_strFilter;
    HWND m_hOwner;
    std::wstring m_strPathName;
};
