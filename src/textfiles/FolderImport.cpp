#include "textfiles/FolderImport.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <map>
#include <set>

#include "framework/Exception.h"
#include "framework/SystemError.h"
#include "framework/KernelHandle.h"
#include "textfiles/ExportNames.h"
#include "textfiles/TextFileRead.h"

namespace {
// How much of a file is looked at for a NUL byte, the mark of a binary file.
constexpr DWORD kBinaryProbe = 8192;

bool EndsWithTxt(const std::wstring& name) {
    return name.size() > 4 && ::lstrcmpiW(name.c_str() + name.size() - 4, L".txt") == 0;
}

bool IsBinary(HANDLE file) {
    unsigned char bytes[kBinaryProbe];
    DWORD read = 0;
    if (!::ReadFile(file, bytes, kBinaryProbe, &read, nullptr))
        return false;
    // UTF-16 is full of NUL bytes, and is known by its mark.
    if (read >= 2 && ((bytes[0] == 0xFF && bytes[1] == 0xFE) || (bytes[0] == 0xFE && bytes[1] == 0xFF)))
        return false;
    return std::find(bytes, bytes + read, 0) != bytes + read;
}

// What one name of a folder stands for: its text file, its folder, or both.
struct Entry {
    std::wstring name;
    bool hasText = false;
    unsigned long long textSize = 0;
    bool hasFolder = false;
    // The folder is a junction or a symbolic link.
    bool folderIsLink = false;
};
}  // namespace

bool FolderImport::FolderId::operator==(const FolderId& other) const {
    return volume == other.volume && indexHigh == other.indexHigh && indexLow == other.indexLow;
}

bool FolderImport::IdOf(const std::wstring& folder, FolderId& id) {
    // No access is asked for: only the folder's identity is read.
    FileHandle handle(::CreateFileW(folder.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle || !::GetFileInformationByHandle(handle.get(), &info))
        return false;
    id = {info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
    return true;
}

bool FolderImport::LeadsBack(const std::wstring& folder) const {
    FolderId id{};
    return IdOf(folder, id) && std::find(m_foldersIn.begin(), m_foldersIn.end(), id) != m_foldersIn.end();
}

bool FolderImport::Read(const std::wstring& folder) {
    std::wstring path = folder;
    while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    const size_t slash = path.find_last_of(L"\\/");
    m_root.name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    if (m_root.name.empty())
        m_root.name = path;
    if (path.back() != L'\\')
        path += L'\\';
    return ReadFolder(path, std::wstring(), m_root);
}

bool FolderImport::Step() {
    ++m_nFilesRead;
    return !m_progress || m_progress(m_nFilesRead);
}

bool FolderImport::ReadFolder(const std::wstring& folder, const std::wstring& shown, ImportedNote& parent) {
    FolderId id{};
    const bool known = IdOf(folder, id);
    if (known)
        m_foldersIn.push_back(id);
    const bool going = ReadEntries(folder, shown, parent);
    if (known)
        m_foldersIn.pop_back();
    return going;
}

bool FolderImport::ReadEntries(const std::wstring& folder, const std::wstring& shown, ImportedNote& parent) {
    // Entries by folded name: a file and a folder of one name (in any case) are one note.
    std::map<std::wstring, Entry> entries;
    WIN32_FIND_DATAW found{};
    FindHandle find(::FindFirstFileW((folder + L"*").c_str(), &found));
    if (!find) {
        m_unreadable.push_back(shown + L": " + SystemErrorReason(::GetLastError()));
        return true;
    }
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            Entry& entry = entries[ExportNames::Folded(name)];
            if (!entry.hasText)
                entry.name = name;
            entry.hasFolder = true;
            entry.folderIsLink = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        } else if (EndsWithTxt(name)) {
            const std::wstring stem = name.substr(0, name.size() - 4);
            Entry& entry = entries[ExportNames::Folded(stem)];
            entry.name = stem;
            entry.hasText = true;
            entry.textSize = (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        } else {
            ++m_nNotText;
        }
    } while (::FindNextFileW(find.get(), &found));
    find.reset();

    std::vector<const Entry*> ordered;
    ordered.reserve(entries.size());
    for (const auto& named : entries)
        ordered.push_back(&named.second);
    std::sort(ordered.begin(), ordered.end(),
              [](const Entry* a, const Entry* b) { return ::StrCmpLogicalW(a->name.c_str(), b->name.c_str()) < 0; });
    auto siblingNamed = [&entries](const std::wstring& folded) { return entries.count(folded) != 0; };

    parent.children.reserve(ordered.size());
    for (const Entry* entry : ordered) {
        ImportedNote note;
        note.name = ExportNames::LabelOf(entry->name, siblingNamed);
        const bool texted = entry->hasText && ReadText(folder + entry->name + L".txt", shown + entry->name + L".txt",
                                                       entry->textSize, note);
        if (entry->hasText && !Step())
            return false;
        // A link is not followed: one that leads back to a folder it is in
        // would repeat the notes until the path is too long.
        bool hasFolder = entry->hasFolder;
        if (hasFolder && (entry->folderIsLink || LeadsBack(folder + entry->name))) {
            m_links.push_back(shown + entry->name);
            hasFolder = false;
        }
        // A text skipped without a folder of subnotes leaves no note.
        if (!texted && !hasFolder)
            continue;
        if (hasFolder && !ReadFolder(folder + entry->name + L"\\", shown + entry->name + L"\\", note))
            return false;
        ++m_nNotes;
        parent.children.push_back(std::move(note));
    }
    return true;
}

bool FolderImport::ReadText(const std::wstring& path, const std::wstring& shown, unsigned long long size,
                            ImportedNote& note) {
    if (size > kLargestNoteFile) {
        m_tooLarge.push_back(shown);
        return false;
    }
    {
        FileHandle probe(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe) {
            m_unreadable.push_back(shown + L": " + SystemErrorReason(::GetLastError()));
            return false;
        }
        if (IsBinary(probe.get())) {
            ++m_nNotText;
            return false;
        }
    }
    try {
        CTextFileRead file(path);
        if (!file.ReadAll(note.text)) {
            m_unreadable.push_back(shown + L": " + SystemErrorReason(::GetLastError()));
            return false;
        }
        if (note.text.find(L'\0') != std::wstring::npos) {
            note.text.clear();
            m_holdingNul.push_back(shown);
            return false;
        }
    } catch (const CException& e) {
        m_unreadable.push_back(shown + L": " + e.Message());
        return false;
    }
    return true;
}
