#include "framework/FileDialog.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

CFileDialog::CFileDialog(bool openFileDialog, const wchar_t* defaultExtension, const std::wstring& fileName,
                         DWORD flags, const wchar_t* filter, HWND owner)
    : m_bOpenFileDialog(openFileDialog),
      m_strDefaultExtension(defaultExtension ? defaultExtension : L""),
      m_strFileName(fileName),
      m_dwFlags(flags),
      m_strFilter(filter ? filter : L""),
      m_hOwner(owner) {
    // The common dialog takes the pairs separated (and ended) by null characters.
    for (wchar_t& c : m_strFilter) {
        if (c == L'|')
            c = L'\0';
    }
}

INT_PTR CFileDialog::DoModal() {
    // Room for the longest path the dialog can return.
    std::vector<wchar_t> file(32768, L'\0');
    m_strFileName.copy(file.data(), std::min(m_strFileName.size(), file.size() - 1));
    const std::wstring filter = m_strFilter + std::wstring(2, L'\0');

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = m_hOwner;
    ofn.lpstrFilter = m_strFilter.empty() ? nullptr : filter.c_str();
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = static_cast<DWORD>(file.size());
    ofn.lpstrDefExt = m_strDefaultExtension.empty() ? nullptr : m_strDefaultExtension.c_str();
    ofn.Flags = m_dwFlags | OFN_EXPLORER;
    const BOOL chosen = m_bOpenFileDialog ? ::GetOpenFileNameW(&ofn) : ::GetSaveFileNameW(&ofn);
    if (!chosen)
        return IDCANCEL;
    m_strPathName = file.data();
    return IDOK;
}
