#include "support/KeyPresses.h"

#include "support/Pump.h"

HeldKeys::HeldKeys(std::initializer_list<int> keys) {
    ::GetKeyboardState(m_saved);
    BYTE state[256];
    ::GetKeyboardState(state);
    for (int vk : keys)
        state[vk] = 0x80;
    ::SetKeyboardState(state);
}

HeldKeys::~HeldKeys() {
    ::SetKeyboardState(m_saved);
}

LPARAM KeyData(UINT vk, bool up, bool alt) {
    LPARAM data = 1 | static_cast<LPARAM>(::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC) << 16);
    if (alt)
        data |= static_cast<LPARAM>(KF_ALTDOWN) << 16;
    if (up)
        data |= static_cast<LPARAM>(0xC0000000u);
    return data;
}

void Press(HWND target, UINT vk) {
    ::PostMessageW(target, WM_KEYDOWN, vk, KeyData(vk, false, false));
    ::PostMessageW(target, WM_KEYUP, vk, KeyData(vk, true, false));
    PumpPending();
}

void PressWithAlt(HWND target, UINT vk) {
    ::PostMessageW(target, WM_SYSKEYDOWN, vk, KeyData(vk, false, true));
    ::PostMessageW(target, WM_SYSKEYUP, vk, KeyData(vk, true, true));
    PumpPending();
}

void PressWithControl(HWND target, UINT vk) {
    HeldKeys control({VK_CONTROL, VK_LCONTROL});
    Press(target, vk);
}

bool XdoTool(const std::wstring& arguments) {
    // Wine starts Unix programs too, but hands back no handle to wait on.
    std::wstring command = L"Z:\\usr\\bin\\xdotool " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    if (process.hThread)
        ::CloseHandle(process.hThread);
    if (process.hProcess)
        ::CloseHandle(process.hProcess);
    return true;
}
