// The keys the main window takes before its controls see them. There is no
// accelerator table: the key names in the menu texts are served here, or by
// the editor control itself (Ctrl+Z, Ctrl+X, Ctrl+C and Ctrl+V).
#include "app/TallyLeafDlg.h"
#include "res/resource.h"

namespace {
struct KeyCommand {
    WPARAM key;
    UINT command;
};

// Keys that send a command, as its menu item does.
constexpr KeyCommand kFunctionKeys[] = {
    {VK_F2, ID_NOTES_RENAME}, {VK_F3, ID_EDIT_FIND_NEXT},    {VK_F4, ID_FILE_OPTIONS},
    {VK_F5, ID_NOTES_ADD},    {VK_F6, ID_NOTES_ADD_SUBNOTE},
};

bool IsHeld(int vk) {
    return (::GetKeyState(vk) & 0x8000) != 0;
}
}  // namespace

bool CTallyLeafDlg::PreTranslateMessage(MSG* msg) {
    // An open Find or Replace dialog keeps its own keys (Tab, Enter, Esc) first.
    if (m_findReplace.PreTranslateMessage(msg))
        return true;
    if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd))
        return CDialog::PreTranslateMessage(msg);
    if (DropsAltRelease(*msg))
        return true;
    if (msg->message == WM_KEYDOWN && OnControlKey(*msg))
        return true;
    if (msg->message == WM_SYSKEYDOWN && OnSystemKey(*msg))
        return true;
    if (msg->message == WM_KEYDOWN && OnPlainKey(*msg))
        return true;
    return CDialog::PreTranslateMessage(msg);
}

bool CTallyLeafDlg::DropsAltRelease(const MSG& msg) {
    // Under Wine the hot key's own key never reaches the window, so the Alt
    // pressed with it looks like an Alt pressed alone, and its release would
    // put the menu bar into keyboard mode: every key typed after the call-up
    // would go to the menus. That one release is dropped; a key in between, or
    // a new press of Alt, makes it an ordinary one again.
    if (!m_bHotKeyAltHeld)
        return false;
    const bool alt = msg.wParam == VK_MENU;
    switch (msg.message) {
        case WM_KEYUP:
        case WM_SYSKEYUP:
            if (!alt)
                return false;
            m_bHotKeyAltHeld = false;
            return true;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            const bool repeat = (msg.lParam & (1 << 30)) != 0;
            if (!alt || !repeat)
                m_bHotKeyAltHeld = false;
            return false;
        }
        default:
            return false;
    }
}

bool CTallyLeafDlg::OnControlKey(const MSG& msg) {
    // AltGr reaches programs as Ctrl+Alt, and on many keyboards it types
    // letters with these keys (AltGr+A, S, O give ą, ś, ó in Polish): those
    // stay letters.
    if (!IsHeld(VK_CONTROL) || IsHeld(VK_MENU))
        return false;
    switch (msg.wParam) {
        case 'A':
            SelectWholeNote();
            return true;
        case 'O':
            SendCommand(ID_FILE_LOAD);
            return true;
        case 'S':
            SendCommand(ID_FILE_SAVE);
            return true;
        case 'P':
            SendCommand(ID_FILE_PRINT);
            return true;
        case 'F':
            OpenFindDialog();
            return true;
        case 'H':
            OpenReplaceDialog();
            return true;
        default:
            return false;  // Ctrl+Z, X, C, V and the rest: the editor's own keys
    }
}

bool CTallyLeafDlg::OnSystemKey(MSG& msg) {
    const WPARAM key = msg.wParam;
    if (key >= '0' && key <= '9') {
        // Alt+1 inserts the first snippet, Alt+9 the ninth, Alt+0 the tenth.
        SendCommand(key == '0' ? ID_INSERT_FIRST + 9 : ID_INSERT_FIRST + static_cast<UINT>(key - '1'));
        return true;
    }
    if (key == VK_PRIOR || key == VK_NEXT || (key >= VK_LEFT && key <= VK_DOWN)) {
        // Alt with the arrows and the page keys walks the tree, wherever the
        // focus is: the key goes on to the tree as a plain key.
        msg.hwnd = m_wndTree;
        msg.message = WM_KEYDOWN;
        msg.lParam &= ~static_cast<LPARAM>(KF_ALTDOWN << 16);
    }
    return false;
}

bool CTallyLeafDlg::OnPlainKey(const MSG& msg) {
    for (const KeyCommand& entry : kFunctionKeys) {
        if (entry.key == msg.wParam) {
            SendCommand(entry.command);
            return true;
        }
    }
    switch (msg.wParam) {
        case VK_TAB:
            // Only ever between the tree and the editor.
            if (msg.hwnd == m_wndEditor.m_hWnd)
                m_wndTree.SetFocus();
            else if (msg.hwnd == m_wndTree.m_hWnd)
                m_wndEditor.SetFocus();
            return true;
        case VK_ESCAPE:
            // Esc hides the window; it never reaches Cancel, which asks to close.
            HideWindow();
            return true;
        case VK_DELETE:
            // In the tree it deletes the note; in the editor, text.
            if (msg.hwnd != m_wndTree.m_hWnd)
                return false;
            SendCommand(ID_NOTES_DELETE);
            return true;
        case VK_F11:
            ShowWindow(::IsZoomed(m_hWnd) ? SW_RESTORE : SW_MAXIMIZE);
            return true;
        default:
            return false;
    }
}

void CTallyLeafDlg::SelectWholeNote() {
    UpdateData(true);
    m_wndEditor.SetSel(0, static_cast<int>(m_strNoteText.size()));
}
