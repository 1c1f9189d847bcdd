// The main window's menu commands: the rules of the command table (when a
// command is enabled or carries a check mark), the menu states and the routing
// of WM_COMMAND drawn from the table, the Edit commands that act on the editor,
// and the web pages of the Help menu.
#include "dialogs/About.h"
#include "shell/ShellOpen.h"
#include "app/TallyLeafDlg.h"
#include "shell/WebAddresses.h"
#include "res/resource.h"

namespace {
struct WebPage {
    UINT command;
    const wchar_t* address;
};

constexpr WebPage kWebPages[] = {
    {ID_HELP_HOME_PAGE, WebAddresses::kHomePage},
    {ID_HELP_FORUM, WebAddresses::kForum},
    {ID_HELP_FEEDBACK, WebAddresses::kFeedback},
    {ID_HELP_NEWSLETTER, WebAddresses::kNewsletter},
};
}  // namespace

bool CTallyLeafDlg::EditorCanUndo() {
    return m_wndEditor.CanUndo();
}

bool CTallyLeafDlg::EditorHasSelection() {
    int start = 0, end = 0;
    m_wndEditor.GetSel(start, end);
    return start != end;
}

bool CTallyLeafDlg::ClipboardHasText() {
    // Text put there as ANSI counts too: the system offers it as Unicode as well.
    return ::IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
}

bool CTallyLeafDlg::NoteHasText() {
    UpdateData(true);
    return !m_strNoteText.empty();
}

bool CTallyLeafDlg::AlwaysOnTopIsOn() const {
    return m_settings.m_bAlwaysOnTop;
}

bool CTallyLeafDlg::WordWrapIsOn() const {
    return m_settings.m_bWordWrap;
}

void CTallyLeafDlg::ShowCommandState(HMENU menu, UINT item, UINT byCommandOrPosition) {
    const UINT id = byCommandOrPosition == MF_BYPOSITION ? ::GetMenuItemID(menu, static_cast<int>(item)) : item;
    const CommandTable<CTallyLeafDlg> commands = Commands();
    ::EnableMenuItem(menu, item, byCommandOrPosition | (commands.IsEnabled(*this, id) ? MF_ENABLED : MF_GRAYED));
    ::CheckMenuItem(menu, item, byCommandOrPosition | (commands.IsChecked(*this, id) ? MF_CHECKED : MF_UNCHECKED));
}

// Undo Delete names the note it brings back. The item is given back its text
// as a string before the menu takes its items over, which draws that text.
void CTallyLeafDlg::ShowUndoDeleteText(HMENU popup) {
    std::wstring text = L"&Undo Delete";
    if (const std::wstring* name = m_notes.NoteToUndelete()) {
        // An ampersand of the name is shown, not taken for a mnemonic.
        text += L" '";
        for (wchar_t c : *name)
            text += c == L'&' ? std::wstring(L"&&") : std::wstring(1, c);
        text += L"'";
    }
    text += L"\tCtrl+Shift+Z";
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STRING;
    info.fType = MFT_STRING;
    info.dwTypeData = text.data();
    ::SetMenuItemInfoW(popup, ID_NOTES_UNDO_DELETE, FALSE, &info);
}

// Each menu's items take their states as the menu opens.
LRESULT CTallyLeafDlg::OnInitMenuPopup(WPARAM w, LPARAM l) {
    if (!HIWORD(l) && ::GetMenuState(reinterpret_cast<HMENU>(w), ID_NOTES_UNDO_DELETE, MF_BYCOMMAND) != ~0u)
        ShowUndoDeleteText(reinterpret_cast<HMENU>(w));
    LRESULT result = CNewDialog::OnInitMenuPopup(w, l);
    if (HIWORD(l))
        return result;  // the system menu
    HMENU popup = reinterpret_cast<HMENU>(w);
    const int count = ::GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_SUBMENU;
        if (::GetMenuItemInfoW(popup, static_cast<UINT>(i), TRUE, &info) && !info.hSubMenu &&
            !(info.fType & MFT_SEPARATOR))
            ShowCommandState(popup, static_cast<UINT>(i), MF_BYPOSITION);
    }
    return result;
}

bool CTallyLeafDlg::RouteCommand(UINT id, HWND control) {
    return Commands().Route(*this, id, control);
}

void CTallyLeafDlg::SendCommand(UINT id) {
    SendMessage(WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

void CTallyLeafDlg::OnEditCommand(UINT id) {
    switch (id) {
        case ID_EDIT_UNDO:
            m_wndEditor.Undo();
            break;
        case ID_EDIT_CUT:
            m_wndEditor.Cut();
            break;
        case ID_EDIT_COPY:
            m_wndEditor.Copy();
            break;
        case ID_EDIT_PASTE:
            m_wndEditor.Paste();
            break;
        case ID_EDIT_DELETE:
            m_wndEditor.Clear();
            break;
        default:
            break;
    }
}

void CTallyLeafDlg::OnWebPage(UINT id) {
    for (const WebPage& page : kWebPages) {
        if (page.command == id) {
            // No owner, no verb: the shell opens the address with the user's browser.
            // A failure is not reported.
            ShellOpenRequest request;
            request.file = page.address;
            request.show = SW_SHOWNORMAL;
            ShellOpen(request);
            return;
        }
    }
}

void CTallyLeafDlg::OnAbout(UINT) {
    CAbout about(m_hWnd);
    about.DoModal();
}
