// Keys pressed as the user does: key messages posted to the window with the
// keyboard focus and pumped through the program's pre-translation
// (DispatchLikeTheProgram), with modifier keys held in this thread's keyboard state.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

// Holds modifier keys down in this thread's keyboard state for its life, and
// puts the state back afterwards. Only this thread sees it.
class HeldKeys {
public:
    explicit HeldKeys(std::initializer_list<int> keys);
    ~HeldKeys();
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

private:
    BYTE m_saved[256] = {};
};

// The key message data of `vk` going down or up, with Alt held or not.
LPARAM KeyData(UINT vk, bool up, bool alt);

// A key pressed and released in `target`, then the messages pumped.
void Press(HWND target, UINT vk);
// A key pressed and released while Alt is held (system keys).
void PressWithAlt(HWND target, UINT vk);
void PressWithControl(HWND target, UINT vk);

// Real key events of the X display (xdotool with `arguments`, such as
// "key alt+s type x"), as the user's keyboard makes them under Wine: they go to
// the window with the X input focus. They come asynchronously: pump until
// their effect shows. False when xdotool could not be started.
bool XdoTool(const std::wstring& arguments);
