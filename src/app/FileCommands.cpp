#include "app/FileCommands.h"

#include <shlobj.h>

#include <optional>
#include <string>
#include <utility>

#include "app/ImportProgressDlg.h"
#include "app/RestoreBackupDlg.h"
#include "editor/NotePrinter.h"
#include "framework/AppMessageBox.h"
#include "framework/ByteSizeText.h"
#include "framework/DC.h"
#include "framework/Dpi.h"
#include "settings/AppFolders.h"
#include "textfiles/TextFileDialogs.h"
#include "textfiles/TextFileRead.h"
#include "textfiles/TextFileReplace.h"

namespace {
const wchar_t kCantOpenFile[] = L"Error: Can't open file :";
const wchar_t kLoadQuestion[] =
    L"Do you want to create a new note for this file?\n"
    L"  - If you select 'Yes' then a New Note will be created.\n"
    L"  - If you select 'No' then text of the curient Note will be replaced.\n";
const wchar_t kNotOnDisk[] =
    L"The notes can only be exported to a folder on a disk, and the place chosen is not one.\n"
    L"Please choose a folder.";
const wchar_t kNotAFolder[] =
    L"Notes can only be imported from a folder on a disk, and the place chosen is not one.\n"
    L"Please choose a folder.";

// The file's size, or nothing when it can't be asked (the read then reports the file).
std::optional<unsigned long long> FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return std::nullopt;
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The file's name with its extension: what follows the last separator.
std::wstring FileNameOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The folder the user chose: nothing when cancelled, or when the choice has no
// place on a disk (a virtual folder such as the computer), which `notOnDisk` tells.
std::optional<std::wstring> AskFolder(HWND owner, const wchar_t* title, const wchar_t* notOnDisk) {
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = title;
    info.ulFlags = BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE chosen = ::SHBrowseForFolderW(&info);
    if (!chosen)
        return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    const bool onDisk = ::SHGetPathFromIDListW(chosen, path) && path[0];
    ::CoTaskMemFree(chosen);
    if (onDisk)
        return std::wstring(path);
    AppMessageBox(notOnDisk, nullptr, MB_OK | MB_ICONERROR, owner);
    return std::nullopt;
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

// The shell's list of recent documents lives in the application data folder,
// which a portable copy leaves alone.
bool AddsToRecentDocuments() {
    return !AppFolders::Portable();
}
}  // namespace

void FileCommands::LoadFromFile() {
    KeptSelection selection(m_editor);
    if (std::optional<std::wstring> path = AskTextFileToLoad(m_window, AddsToRecentDocuments()))
        LoadFileIntoNote(*path);
}

void FileCommands::LoadFileIntoNote(const std::wstring& path) {
    const std::optional<unsigned long long> size = FileSize(path);
    if (size && *size > kLargestNoteFile) {
        AppMessageBox(L"The file is too large to be a note:\n" + path + L"\n\nIt holds " + ByteSizeText(*size) +
                          L"; a note can take a file of up to " + ByteSizeText(kLargestNoteFile) + L".",
                      nullptr, MB_OK | MB_ICONERROR, m_window);
        return;
    }
    // The whole file is read before anything changes: a file that can't be
    // read leaves every note as it was.
    std::wstring text;
    try {
        CTextFileRead file(path);
        if (!file.IsOpen()) {
            AppMessageBox(kCantOpenFile + path, nullptr, MB_OK, m_window);
            return;
        }
        file.ReadAll(text, L"\r\n");
    } catch (const CException& e) {
        AppMessageBox(e.Message(), nullptr, MB_OK | MB_ICONERROR, m_window);
        return;
    }
    // The editor ends a text at its first NUL: the rest would be lost unseen.
    if (text.find(L'\0') != std::wstring::npos) {
        AppMessageBox(L"The file holds NUL characters, which a note can't hold:\n" + path + L"\n\nNo note was changed.",
                      nullptr, MB_OK | MB_ICONERROR, m_window);
        return;
    }
    if (AppMessageBox(kLoadQuestion, nullptr, MB_YESNO | MB_ICONEXCLAMATION, m_window) == IDYES) {
        m_notes.SaveShownNote();
        if (!m_notes.AddNote(0, FileNameOf(path)))
            return;
    } else if (m_notes.ShownNoteId() == 0) {
        return;  // no note is shown: the text would have nowhere to be stored
    }
    m_format.WrapEditorFor(text);
    m_editor.ShowText(text, 0);
    // Stored like typed text: when the user leaves the note, hides or quits.
    m_editor.SetModify(true);
}

void FileCommands::SaveToFile() {
    KeptSelection selection(m_editor);
    m_notes.WriteWaitingSaves();
    const std::wstring name = m_tree.Items().Name(m_tree.GetSelectedItem());
    if (std::optional<std::wstring> path = AskTextFileToSave(m_window, name, AddsToRecentDocuments()))
        WriteNoteToFile(*path);
}

bool FileCommands::WriteNoteToFile(const std::wstring& path) {
    try {
        WriteTextFileReplacing(path, m_editor.GetWindowText());
        return true;
    } catch (const CException& e) {
        AppMessageBox(std::wstring(e.Message()) + L"\n\nThe file was left as it was.", nullptr, MB_OK | MB_ICONERROR,
                      m_window);
        return false;
    }
}

void FileCommands::ExportTree() {
    if (const std::optional<std::wstring> chosen =
            AskFolder(m_window, L"Select Folder to Export Notes Tree", kNotOnDisk))
        m_parts.transfers.ExportTree(*chosen);
}

void FileCommands::ImportFolder() {
    const std::optional<std::wstring> chosen = AskFolder(m_window, L"Select Folder to Import Notes From", kNotAFolder);
    if (!chosen)
        return;
    CImportProgressDlg progress(m_window);
    m_parts.transfers.ImportFolder(*chosen, progress);
}

void FileCommands::Print() {
    int start = 0, end = 0;
    m_editor.GetSel(start, end);
    const std::wstring text = m_editor.GetWindowText();
    NotePrinter::PrinterChoice printer;
    if (NotePrinter::ChoosePrinter(m_window, printer)) {
        HDC dc = printer.dc;
        ::SetBkMode(dc, OPAQUE);
        ::SetMapMode(dc, MM_TEXT);
        CFont font;
        font.CreateFontIndirect(
            NotePrinter::PrinterFont(m_settings.m_font, Dpi::kStandard, ::GetDeviceCaps(dc, LOGPIXELSY)));
        std::wstring failure;
        {
            CSelectObject selected(dc, font);
            std::wstring selection;
            if (printer.selectionOnly && static_cast<std::size_t>(start) < text.size())
                selection = text.substr(start, end - start);
            const RECT page = NotePrinter::PageRect(::GetDeviceCaps(dc, HORZRES), ::GetDeviceCaps(dc, VERTRES));
            NotePrinter::PrintDevice device;
            failure =
                NotePrinter::PrintText(dc, printer.selectionOnly ? selection : text, printer.copies, page, device);
        }
        if (!failure.empty())
            AppMessageBox(failure, nullptr, MB_ICONERROR, m_window);
    }
    m_editor.SetSel(start, end);
}

void FileCommands::RestoreBackup() {
    CRestoreBackupDlg dialog(m_window, m_parts);
    dialog.DoModal();
}
