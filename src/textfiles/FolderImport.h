// FolderImport: reads a folder of text files as a tree of notes, the way back
// from the export. Each .txt file is a note named after the file (without its
// extension, whole), each subfolder a note whose subnotes are its contents,
// and a file "Name.txt" beside a folder "Name" one note with that text and
// those subnotes. Siblings come in the order their names sort in (as Explorer
// sorts them: "Name (2)" before "Name (10)"), and the export's escapes are
// undone where that is unambiguous (ExportNames::LabelOf).
//
// Files that are not text (another extension, or a NUL byte in their first
// kilobytes without a UTF-16 byte order mark) are skipped and counted; files
// larger than a note takes, text files holding a NUL character (which the
// editor can't hold), and files that can't be read, are skipped and named.
// Folder links are not followed, and named.
#pragma once

#include <functional>
#include <string>
#include <vector>

struct ImportedNote {
    std::wstring name;
    std::wstring text;
    std::vector<ImportedNote> children;
};

class FolderImport {
public:
    // Told how many files were read so far; false cancels the reading.
    using Progress = std::function<bool(int filesRead)>;

    explicit FolderImport(Progress progress) : m_progress(std::move(progress)) {}

    // Reads `folder` into Root(), which is named after the folder; false when cancelled.
    bool Read(const std::wstring& folder);

    const ImportedNote& Root() const { return m_root; }
    // The notes below the root.
    int Notes() const { return m_nNotes; }
    int SkippedNotText() const { return m_nNotText; }
    // The files skipped for their size, and those that could not be read (with
    // the reason), as paths below the folder.
    const std::vector<std::wstring>& TooLarge() const { return m_tooLarge; }
    const std::vector<std::wstring>& HoldingNul() const { return m_holdingNul; }
    const std::vector<std::wstring>& Unreadable() const { return m_unreadable; }
    // The folder links (junctions, symbolic links, and any folder that is one
    // the reading is already in) that were not followed.
    const std::vector<std::wstring>& Links() const { return m_links; }

private:
    // Reads the contents of `folder` (ending with a backslash) into `parent`'s
    // children; `shown` is its path as reported. False when cancelled.
    bool ReadFolder(const std::wstring& folder, const std::wstring& shown, ImportedNote& parent);
    bool ReadEntries(const std::wstring& folder, const std::wstring& shown, ImportedNote& parent);
    // A folder's identity on its volume, whatever the path it is reached by.
    struct FolderId {
        unsigned long volume;
        unsigned long indexHigh;
        unsigned long indexLow;
        bool operator==(const FolderId& other) const;
    };
    static bool IdOf(const std::wstring& folder, FolderId& id);
    // Whether `folder` is one of the folders being read (reached again through a link).
    bool LeadsBack(const std::wstring& folder) const;
    // The text of a .txt file into `note`; false when the file was skipped.
    bool ReadText(const std::wstring& path, const std::wstring& shown, unsigned long long size, ImportedNote& note);
    bool Step();

    Progress m_progress;
    ImportedNote m_root;
    int m_nNotes = 0;
    int m_nFilesRead = 0;
    int m_nNotText = 0;
    std::vector<std::wstring> m_tooLarge;
    std::vector<std::wstring> m_holdingNul;
    std::vector<std::wstring> m_unreadable;
    std::vector<std::wstring> m_links;
    // The folders being read, from the chosen one down.
    std::vector<FolderId> m_foldersIn;
};
