// CHotKeyCtrl: thin, non-owning wrapper over a hot-key entry control
// (msctls_hotkey32). The control codes its modifiers as HOTKEYF_SHIFT 1,
// HOTKEYF_CONTROL 2, HOTKEYF_ALT 4 and HOTKEYF_EXT 8 (an extended key).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/Wnd.h"

class CHotKeyCtrl : public CWnd {
public:
    void SetHotKey(WORD virtualKey, WORD modifiers) {
        SendMessage(HKM_SETHOTKEY, MAKEWORD(LOBYTE(virtualKey), LOBYTE(modifiers)));
    }
    void GetHotKey(WORD& virtualKey, WORD& modifiers) const {
        const WORD value = static_cast<WORD>(SendMessage(HKM_GETHOTKEY));
        virtualKey = LOBYTE(value);
        modifiers = HIBYTE(value);
    }
};
