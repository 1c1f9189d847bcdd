#include "textfiles/TextFileDialogs.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

namespace {
// Room for long paths; the dialogs refuse nothing that fits.
constexpr DWORD kPathRoom = 4096;

// The filter as the dialogs take it: the bars become terminators.
std::wstring Filter() {
    std::wstring filter = L"Txt Files |*.txt|All Files |*.*|";
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    return filter;
}

std::optional<std::wstring> Ask(HWND owner, const std::wstring& initialName, DWORD flags, const wchar_t* defExt,
                                bool save, bool addToRecent) {
    const std::wstring filter = Filter();
    std::vector<wchar_t> file(kPathRoom, L'\0');
    std::copy_n(initialName.begin(), std::min<size_t>(initialName.size(), kPathRoom - 1), file.begin());
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file.data();
    ofn.nMaxFile = kPathRoom;
    ofn.lpstrDefExt = defExt;
    ofn.Flags = flags | OFN_EXPLORER | OFN_ENABLESIZING;
    if (!addToRecent)
        ofn.Flags |= OFN_DONTADDTORECENT;
    const BOOL chosen = save ? ::GetSaveFileNameW(&ofn) : ::GetOpenFileNameW(&ofn);
    if (!chosen)
        return std::nullopt;
    return std::wstring(file.data());
}
}  // namespace

std::optional<std::wstring> AskTextFileToLoad(HWND owner, bool addToRecent) {
    return Ask(owner, std::wstring(), OFN_FILEMUSTEXIST | OFN_HIDEREADONLY, nullptr, false, addToRecent);
}

std::optional<std::wstring> AskTextFileToSave(HWND owner, const std::wstring& initialName, bool addToRecent) {
    return Ask(owner, initialName, OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY, L"txt", true,
               addToRecent);
}
