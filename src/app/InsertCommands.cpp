#include "app/InsertCommands.h"

#include <ctime>

#include "editor/TimeStampMarkers.h"
#include "menus/NewMenu.h"
#include "res/resource.h"
#include "settings/AppFolders.h"

namespace {
// The "&Insert" popup's place in the menu bar.
constexpr int kInsertMenuPosition = 4;
}  // namespace

void InsertCommands::BuildMenu() {
    m_snippets = Snippets::Load(AppFolders::DataFolder() + L"Insert.cfg");
    HMENU popup = ::GetSubMenu(::GetMenu(m_window), kInsertMenuPosition);
    if (!popup)
        return;
    Snippets::FillMenu(popup, m_snippets);
    // Drawn like the rest of the menus from the start (when the menu bar is taken on already).
    if (CNewMenu* menu = CNewMenu::FromHandle(popup))
        menu->ConvertItems();
}

void InsertCommands::Insert(UINT id) {
    const std::size_t k = id - ID_INSERT_FIRST;
    // The editor is read-only while it shows no note.
    if (k >= m_snippets.size() || m_editor.IsReadOnly())
        return;
    const std::time_t now = std::time(nullptr);
    const std::wstring text = TimeStampMarkers::ExpandMarkers(m_snippets[k].text, std::localtime(&now));
    // One undoable change; the caret ends after the text.
    m_editor.ReplaceSel(text.c_str(), true);
    m_editor.SetModify(true);
}
