// The export's walk over the tree as it is shown (not the table): one UTF-8
// .txt file per note, named after it and made safe for a file name, and a
// subfolder for the subnotes of each note that has any. The notes' texts are
// read beforehand, in one pass.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "notes/NotesTreeView.h"

class TreeExport {
public:
    TreeExport(const NotesTreeView& tree, const std::unordered_map<long long, std::wstring>& texts)
        : m_tree(tree), m_texts(texts) {}

    // Writes `item`, its following siblings and everything below them into
    // `folder` (ending with a backslash, made when missing); returns how many
    // notes were written.
    int Write(const std::wstring& folder, HTREEITEM item);
    // How many notes could not be written, and the first few of them with their reasons.
    int Failed() const { return m_failed; }
    const std::vector<std::wstring>& Named() const { return m_named; }

private:
    const NotesTreeView& m_tree;
    const std::unordered_map<long long, std::wstring>& m_texts;
    int m_failed = 0;
    std::vector<std::wstring> m_named;
};
