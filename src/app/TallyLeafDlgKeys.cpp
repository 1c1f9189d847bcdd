// The keys the main window takes before its controls see them. There is no
// accelerator table: the key names in the menu texts are the command table's
// keys, served here, or the editor control's own (Ctrl+Z, Ctrl+X, Ctrl+C and
// Ctrl+V). The keys of no command (Ctrl+A, Tab, F11, Alt+digits and Alt with
// the arrows) are served here too.
#include "app/TallyLeafDlg.h"
#include "res/resource.h"

namespace {
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
    if (msg.wParam == 'A') {
        SelectWholeNote();
        return true;
    }
    // A Ctrl+Shift key of its own comes first; without one, Shift changes nothing.
    if (IsHeld(VK_SHIFT) && OnCommandKey(msg, CommandKey::kCtrl | CommandKey::kShift))
        return true;
    // Ctrl+Z, X, C, V and the rest are the editor's own keys.
    return OnCommandKey(msg, CommandKey::kCtrl);
}

bool CTallyLeafDlg::OnSystemKey(MSG& msg) {
    if (OnCommandKey(msg, CommandKey::kAlt))
        return true;
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
    // Held with Shift or Ctrl, these keys do what they do alone.
    if (OnCommandKey(msg, CommandKey::kPlain))
        return true;
    switch (msg.wParam) {
        case VK_TAB:
            // Only ever between the tree and the editor.
            if (msg.hwnd == m_wndEditor.m_hWnd)
                m_wndTree.SetFocus();
            else if (msg.hwnd == m_wndTree.m_hWnd)
                m_wndEditor.SetFocus();
            return true;
        case VK_F11:
            ShowWindow(::IsZoomed(m_hWnd) ? SW_RESTORE : SW_MAXIMIZE);
            return true;
        default:
            return false;
    }
}

bool CTallyLeafDlg::OnCommandKey(const MSG& msg, unsigned modifiers) {
    const UINT control = ::GetParent(msg.hwnd) == m_hWnd ? static_cast<UINT>(::GetDlgCtrlID(msg.hwnd)) : 0;
    const Command* row = Commands().FindKey(static_cast<UINT>(msg.wParam), modifiers, control);
    if (!row)
        return false;
    if (row->key.flags & CommandKey::kEvenWhileDisabled)
        (this->*row->run)(row->id);
    else
        SendCommand(row->id);
    return true;
}

void CTallyLeafDlg::SelectWholeNote() {
    UpdateData(true);
    m_wndEditor.SetSel(0, static_cast<int>(m_strNoteText.size()));
}
