// The main window's menu commands: when each one is enabled or carries a check
// mark, the rule that a disabled command does nothing, the Edit commands that
// act on the editor, and the web pages of the Help menu.
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

bool CTallyLeafDlg::IsCommandEnabled(UINT id) {
    switch (id) {
        case ID_EDIT_UNDO:
            return m_wndEditor.CanUndo();
        case ID_EDIT_CUT:
        case ID_EDIT_COPY:
        case ID_EDIT_DELETE: {
            int start = 0, end = 0;
            m_wndEditor.GetSel(start, end);
            return start != end;
        }
        case ID_EDIT_PASTE:
            // Text put there as ANSI counts too: the system offers it as Unicode as well.
            return ::IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
        case ID_EDIT_FIND:
        case ID_EDIT_FIND_NEXT:
        case ID_EDIT_REPLACE:
            UpdateData(true);
            return !m_strNoteText.empty();
        default:
            return true;
    }
}

bool CTallyLeafDlg::IsCommandChecked(UINT id) const {
    switch (id) {
        case ID_FILE_ALWAYS_ON_TOP:
            return m_settings.m_bAlwaysOnTop;
        case ID_FORMAT_WORD_WRAP:
            return m_settings.m_bWordWrap;
        default:
            return false;
    }
}

void CTallyLeafDlg::ShowCommandState(HMENU menu, UINT item, UINT byCommandOrPosition) {
    const UINT id = byCommandOrPosition == MF_BYPOSITION ? ::GetMenuItemID(menu, static_cast<int>(item)) : item;
    ::EnableMenuItem(menu, item, byCommandOrPosition | (IsCommandEnabled(id) ? MF_ENABLED : MF_GRAYED));
    ::CheckMenuItem(menu, item, byCommandOrPosition | (IsCommandChecked(id) ? MF_CHECKED : MF_UNCHECKED));
}

// Each menu's items take their states as the menu opens.
LRESULT CTallyLeafDlg::OnInitMenuPopup(WPARAM w, LPARAM l) {
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

LRESULT CTallyLeafDlg::WindowProc(UINT msg, WPARAM w, LPARAM l) {
    // A command without a sending control (a menu item, a key) is held to its
    // rule; a control's own notification is not.
    if (msg == WM_COMMAND && l == 0 && HIWORD(w) <= 1 && !IsCommandEnabled(LOWORD(w)))
        return 0;
    return CNewDialog::WindowProc(msg, w, l);
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
