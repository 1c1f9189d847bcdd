// The main window's text files: Load from File and files dropped on the
// editor, Save to File, and the export of the whole tree into a folder of
// UTF-8 text files, one per note, with a subfolder for the subnotes of each
// note that has any. The export walks the tree as it is shown, not the table.
#include <shlobj.h>

#include <cstdio>
#include <optional>
#include <unordered_map>
#include <string>
#include <utility>

#include "app/TallyLeafDlg.h"
#include "textfiles/TextFileDialogs.h"
#include "textfiles/TextFileReplace.h"
#include "textfiles/TextFileRead.h"
#include "textfiles/TextFileWrite.h"
#include "framework/AppMessageBox.h"
#include "framework/Folders.h"
#include "framework/SystemError.h"
#include "textfiles/ExportNames.h"

namespace {
const wchar_t kCantOpenFile[] = L"Error: Can't open file :";
const wchar_t kLoadError[] = L"Tallyleaf error: Can't load note.\n - ";
const wchar_t kLoadQuestion[] =
    L"Do you want to create a new note for this file?\n"
    L"  - If you select 'Yes' then a New Note will be created.\n"
    L"  - If you select 'No' then text of the curient Note will be replaced.\n";
const wchar_t kNotOnDisk[] =
    L"The notes can only be exported to a folder on a disk, and the place chosen is not one.\n"
    L"Please choose a folder.";

// The largest file that becomes a note. The edit control could hold more, but
// it lays out about a megabyte a second, and reading a larger file would hold
// the window up for nothing.
constexpr unsigned long long kLargestNoteFile = 16ull * 1024 * 1024;

// A size as the user reads it: "3.2 GB", "17.0 MB", "900 KB".
std::wstring SizeText(unsigned long long bytes) {
    wchar_t text[32];
    if (bytes >= 1024ull * 1024 * 1024)
        std::swprintf(text, 32, L"%.1f GB", static_cast<double>(bytes) / (1024.0 * 1024 * 1024));
    else if (bytes >= 1024ull * 1024)
        std::swprintf(text, 32, L"%.1f MB", static_cast<double>(bytes) / (1024.0 * 1024));
    else
        std::swprintf(text, 32, L"%llu KB", (bytes + 1023) / 1024);
    return text;
}

// The file's size, or nothing when it can't be asked (the read then reports the file).
std::optional<unsigned long long> FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// How many of the notes an export could not write its report names.
constexpr size_t kExportFailuresNamed = 5;

// The file's name with its extension: what follows the last separator.
std::wstring FileNameOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The folder the user chose: nothing when cancelled, an empty path for a
// choice that has no place on a disk (a virtual folder such as the computer).
std::optional<std::wstring> AskExportFolder(HWND owner) {
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = L"Select Folder to Export Notes Tree";
    info.ulFlags = BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&info);
    if (!chosen)
        return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    const bool onDisk = ::SHGetPathFromIDListW(chosen, path) && path[0];
    ::CoTaskMemFree(chosen);
    return onDisk ? std::wstring(path) : std::wstring();
}

// Keeps the editor's selection across a command, and puts it back (at the
// same character positions, scrolled into view) when the command is done.
class KeptSelection {
public:
    explicit KeptSelection(CDragEdit& editor) : m_editor(editor) { m_editor.GetSel(m_nStart, m_nEnd); }
    ~KeptSelection() { m_editor.SetSel(m_nStart, m_nEnd); }
    KeptSelection(const KeptSelection&) = delete;
    KeptSelection& operator=(const KeptSelection&) = delete;

private:
    CDragEdit& m_editor;
    int m_nStart = 0;
    int m_nEnd = 0;
};
}  // namespace

void CTallyLeafDlg::OnLoadFromFile(UINT) {
    KeptSelection selection(m_wndEditor);
    if (std::optional<std::wstring> path = AskTextFileToLoad(m_hWnd))
        LoadFileIntoNote(*path);
}

void CTallyLeafDlg::LoadFileIntoNote(const std::wstring& path) {
    const std::optional<unsigned long long> size = FileSize(path);
    if (size && *size > kLargestNoteFile) {
        AppMessageBox(L"The file is too large to be a note:\n" + path + L"\n\nIt holds " + SizeText(*size) +
                          L"; a note can take a file of up to " + SizeText(kLargestNoteFile) + L".",
                      nullptr, MB_OK | MB_ICONERROR, m_hWnd);
        return;
    }
    // The whole file is read before anything changes: a file that can't be
    // read leaves every note as it was.
    std::wstring text;
    try {
        CTextFileRead file(path);
        if (!file.IsOpen()) {
            AppMessageBox(kCantOpenFile + path, nullptr, MB_OK, m_hWnd);
            return;
        }
        file.ReadAll(text, L"\r\n");
    } catch (const CException& e) {
        AppMessageBox(e.Message(), nullptr, MB_OK | MB_ICONERROR, m_hWnd);
        return;
    }
    if (AppMessageBox(kLoadQuestion, nullptr, MB_YESNO | MB_ICONEXCLAMATION, m_hWnd) == IDYES) {
        SaveNote(m_wndTree.SelectedNoteId());
        if (!AddNote(0, FileNameOf(path)))
            return;
    } else if (m_nShownNoteId == 0) {
        return;  // no note is shown: the text would have nowhere to be stored
    }
    m_strNoteText = std::move(text);
    WrapEditorFor(m_strNoteText);
    m_wndEditor.ShowText(m_strNoteText, 0);
    // Stored like typed text: when the user leaves the note, hides or quits.
    m_wndEditor.SetModify(true);
}

void CTallyLeafDlg::OnSaveToFile(UINT) {
    KeptSelection selection(m_wndEditor);
    WriteWaitingSaves();
    const std::wstring name = m_wndTree.GetItemText(m_wndTree.GetSelectedItem());
    if (std::optional<std::wstring> path = AskTextFileToSave(m_hWnd, name))
        WriteNoteToFile(*path);
}

bool CTallyLeafDlg::WriteNoteToFile(const std::wstring& path) {
    UpdateData(true);
    try {
        WriteTextFileReplacing(path, m_strNoteText);
        return true;
    } catch (const CException& e) {
        AppMessageBox(std::wstring(e.Message()) + L"\n\nThe file was left as it was.", nullptr, MB_OK | MB_ICONERROR,
                      m_hWnd);
        return false;
    }
}

namespace {
// Writes a new file of the export; the reason when it could not be written.
std::optional<std::wstring> WriteExportFile(const std::wstring& path, const std::wstring& text) {
    CTextFileWrite file(path, CTextFileBase::UTF8);
    if (!file.IsOpen()) {
        const std::wstring reason = SystemErrorText(::GetLastError());
        return reason.empty() ? std::wstring(L"it can't be made") : reason;
    }
    try {
        file.Write(text);
        file.Close();
        return std::nullopt;
    } catch (const CException& e) {
        return std::wstring(e.Message());
    }
}
}  // namespace

void CTallyLeafDlg::OnExportTree(UINT) {
    UpdateData(true);
    const std::optional<std::wstring> chosen = AskExportFolder(m_hWnd);
    if (!chosen)
        return;
    if (chosen->empty()) {
        AppMessageBox(kNotOnDisk, nullptr, MB_OK | MB_ICONERROR, m_hWnd);
        return;
    }
    // What the files hold is what is stored: the shown note and a note left
    // just before are written first (and what can't be written yet is
    // exported as it waits).
    SaveNote(m_wndTree.SelectedNoteId());
    WriteWaitingSaves();
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    std::wstring folder = *chosen;
    if (folder.back() != L'\\')
        folder += L'\\';
    folder += ExportFolderName(now) + L"\\";
    int failed = 0;
    std::vector<std::wstring> named;
    const int written = ExportLevel(folder, m_wndTree.GetRootItem(), failed, &named);
    if (failed == 0) {
        AppMessageBox(std::to_wstring(written) + L" notes were successfully exported.", nullptr, MB_OK, m_hWnd);
        return;
    }
    // One report for all of them, however many there are.
    std::wstring report = std::to_wstring(written) + L" notes were exported; " + std::to_wstring(failed) +
                          L" notes could not be written.";
    if (!named.empty())
        report += L"\n\nNot written:";
    for (const std::wstring& failure : named)
        report += L"\n - " + failure;
    if (failed > static_cast<int>(named.size()))
        report += L"\n - ...";
    AppMessageBox(report, nullptr, MB_OK | MB_ICONWARNING, m_hWnd);
}

int CTallyLeafDlg::ExportLevel(const std::wstring& folder, HTREEITEM item, int& failed,
                               std::vector<std::wstring>* named) {
    // The texts are read in one pass: a query per note would take longer than
    // writing the files. Without them nothing can be written.
    std::unordered_map<int, std::wstring> texts;
    if (!m_store.IsOpen() || !TryStorage(kLoadError, [&] { texts = m_store.ReadAllTexts(); })) {
        failed += static_cast<int>(m_wndTree.GetCount());
        return 0;
    }
    for (const DeferredSave::Waiting& save : m_deferredSave.All())
        texts[save.noteId] = save.text;
    std::vector<std::wstring> unnamed;
    return ExportItems(folder, item, texts, failed, named ? *named : unnamed);
}

int CTallyLeafDlg::ExportItems(const std::wstring& folder, HTREEITEM item,
                               const std::unordered_map<int, std::wstring>& texts, int& failed,
                               std::vector<std::wstring>& named) {
    // An existing folder is fine; one that can't be made shows as the failure
    // of each file in it.
    CreateFolderPath(folder);
    ExportNames names;
    int written = 0;
    for (; item; item = m_wndTree.GetNextSiblingItem(item)) {
        const std::wstring name = names.Claim(m_wndTree.GetItemText(item));
        const auto text = texts.find(m_wndTree.NoteId(item));
        const std::wstring path = folder + name + L".txt";
        if (const std::optional<std::wstring> reason =
                WriteExportFile(path, text == texts.end() ? std::wstring() : text->second)) {
            ++failed;
            if (named.size() < kExportFailuresNamed)
                named.push_back(m_wndTree.GetItemText(item) + L" (" + path + L"): " + *reason);
        } else {
            ++written;
        }
        if (HTREEITEM child = m_wndTree.GetChildItem(item))
            written += ExportItems(folder + name + L"\\", child, texts, failed, named);
    }
    return written;
}
