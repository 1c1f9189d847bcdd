// NotesImportExport: the notes session's tree written out as folders of .txt
// files, and a folder of text files read in as notes. Both start from what is
// stored: the shown note and the saves that wait are written first.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "notes/ImportProgress.h"
#include "notes/NotesHost.h"
#include "notes/NotesSession.h"
#include "notes/NotesTreeView.h"
#include "textfiles/FolderImport.h"

class NotesImportExport {
public:
    NotesImportExport(NotesSession& session, NotesTreeView& tree, NotesHost& host)
        : m_session(session), m_tree(tree), m_host(host) {}
    NotesImportExport(const NotesImportExport&) = delete;
    NotesImportExport& operator=(const NotesImportExport&) = delete;

    // Writes the whole tree into a new folder in `folder`, named after the
    // time, and tells the user how it went.
    void ExportTree(const std::wstring& folder);
    // Exports `item`, its following siblings and everything below them into
    // `folder` (ending with a backslash); returns how many notes were written
    // and adds those that could not be to `failed`, the first few of them,
    // with their reasons, to `named`.
    int ExportLevel(const std::wstring& folder, HTREEITEM item, int& failed,
                    std::vector<std::wstring>* named = nullptr);

    // Makes the .txt files and subfolders of `folder` notes under a new
    // top-level note named after it (textfiles/FolderImport.h), in one
    // transaction, and tells the user how it went; the selection and the note
    // shown stay. `progress` is told how far it has come; when it says
    // cancel, nothing is added.
    void ImportFolder(const std::wstring& folder, ImportProgress& progress);

private:
    // Inserts the imported `note` and its subnotes into the tree under `parent`.

    NotesSession& m_session;
    NotesTreeView& m_tree;
    NotesHost& m_host;
};
