#include "notes/TreeExport.h"

#include <optional>

#include "framework/Exception.h"
#include "framework/Folders.h"
#include "framework/SystemError.h"
#include "textfiles/ExportNames.h"
#include "textfiles/TextFileWrite.h"

namespace {
// How many of the notes an export could not write its report names.
constexpr size_t kFailuresNamed = 5;

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

int TreeExport::Write(const std::wstring& folder, HTREEITEM item) {
    // An existing folder is fine; one that can't be made shows as the failure
    // of each file in it.
    CreateFolderPath(folder);
    ExportNames names;
    int written = 0;
    for (; item; item = m_tree.NextSibling(item)) {
        const std::wstring name = names.Claim(m_tree.Name(item));
        const auto text = m_texts.find(m_tree.NoteId(item));
        const std::wstring path = folder + name + L".txt";
        if (const std::optional<std::wstring> reason =
                WriteExportFile(path, text == m_texts.end() ? std::wstring() : text->second)) {
            ++m_failed;
            if (m_named.size() < kFailuresNamed)
                m_named.push_back(m_tree.Name(item) + L" (" + path + L"): " + *reason);
        } else {
            ++written;
        }
        if (HTREEITEM child = m_tree.FirstChild(item))
            written += Write(folder + name + L"\\", child);
    }
    return written;
}
