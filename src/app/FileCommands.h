// The File menu's work on files: Load from File (and files dropped on the
// editor), Save to File, the folders of Export and Import (the export and the
// import themselves are NotesImportExport's), Print, and Restore from Backup.
#pragma once

#include <string>

#include "app/FormatCommands.h"
#include "editor/DragEdit.h"
#include "framework/Wnd.h"
#include "notes/NotesParts.h"
#include "settings/Settings.h"
#include "tree/MyCTreeCtr.h"

class FileCommands {
public:
    FileCommands(CWnd& window, const Settings& settings, MyCTreeCtr& tree, CDragEdit& editor, NotesParts& notes,
                 FormatCommands& format)
        : m_window(window),
          m_settings(settings),
          m_tree(tree),
          m_editor(editor),
          m_notes(notes.session),
          m_parts(notes),
          m_format(format) {}

    void LoadFromFile();
    // Reads a file and, after asking, makes it a new note or the shown note's text.
    void LoadFileIntoNote(const std::wstring& path);
    void SaveToFile();
    // Writes the editor's text to a UTF-8 file, replacing it only once the whole
    // text is on the disk; false, after telling the user, when it was not written.
    bool WriteNoteToFile(const std::wstring& path);
    void ExportTree();
    void ImportFolder();
    void Print();
    void RestoreBackup();

private:
    CWnd& m_window;
    const Settings& m_settings;
    MyCTreeCtr& m_tree;
    CDragEdit& m_editor;
    NotesSession& m_notes;
    NotesParts& m_parts;
    // Lays the editor out for a loaded text.
    FormatCommands& m_format;
};
