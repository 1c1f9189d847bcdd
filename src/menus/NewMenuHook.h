// CNewMenuHook: the menu library's root. Constructed once, before the program's
// windows, it registers the themes. While a menu loop runs (the frames call
// BeginMenuLoop/EndMenuLoop), a thread window hook (WH_CALLWNDPROC) catches each
// popup menu window ("#32768") as the system creates it. Only then: a hook of
// that kind costs every message sent in the thread three trips to the window
// server under Wine, a hundred on each note switch. A popup of a CNewMenu is taken over: its procedure is kept in the
// window property "OldMenuProc" and replaced by one that lets the current
// theme size and draw the frame (border, shade) and the background. Every
// other message, and every popup of a foreign menu, goes on as before.
//
// Destroyed, it first gives every popup window back and removes the hook, and
// only then frees the icon stores, the brush cache and the themes, so nothing
// that is still on the screen can reach freed objects.
#pragma once

#include <windows.h>

#include <map>
#include <memory>

#include "menus/MenuShade.h"
#include "framework/UniqueHandle.h"

// What the hook keeps of one popup window it has taken over.
struct CMenuHookData {
    HMENU m_hMenu = nullptr;
    WNDPROC m_pOldProc = nullptr;
    // The styles before the takeover, and the frame the theme took away from them.
    LONG_PTR m_dwStyle = 0;
    LONG_PTR m_dwExStyle = 0;
    RECT m_removedFrame{};
    bool m_bStylesChanged = false;
    // Where the window was first placed on the screen.
    POINT m_point{};
    bool m_bPositioned = false;
    // The screen under the window and 10 pixels around it, for the shade.
    CScreenCapture m_capture;
    bool m_bPrinting = false;
};

// The hook is removed with the object.
struct WindowsHookTraits {
    using Handle = HHOOK;
    static constexpr Handle Invalid() { return nullptr; }
    static void Close(HHOOK hook) { ::UnhookWindowsHookEx(hook); }
};

class CNewMenuHook {
public:
    // Registers the themes (theme 2 current).
    CNewMenuHook();
    ~CNewMenuHook();
    CNewMenuHook(const CNewMenuHook&) = delete;
    CNewMenuHook& operator=(const CNewMenuHook&) = delete;

    // The live hook, or null.
    static CNewMenuHook* Instance();

    // A menu loop begins or ends (WM_ENTERMENULOOP, WM_EXITMENULOOP): the hook is
    // installed for the first loop and removed with the last. A hook the system
    // refuses leaves the popups with the system's frame.
    static void BeginMenuLoop();
    static void EndMenuLoop();
    static bool IsHooked();
    // The popup menu just initialised (WM_INITMENUPOPUP): the next popup window is its.
    static void NotePopupMenu(HMENU menu);
    // Gives back every popup window taken over (the owner window is going).
    static void ReleaseAll();
    // What the hook keeps of a window it has taken over, or null.
    static CMenuHookData* DataOf(HWND popup);
    static size_t TakenOverCount();

private:
    static LRESULT CALLBACK CallWndProc(int code, WPARAM w, LPARAM l);
    static BOOL CALLBACK CatchCreatedPopup(HWND hwnd, LPARAM menu);
    static LRESULT CALLBACK MenuProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
    static LRESULT HandleMenuMessage(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
    void Consider(HWND hwnd, UINT msg, LPARAM l);
    void TakeOver(HWND hwnd, HMENU menu);
    void Release(HWND hwnd);
    LRESULT OnWindowPosChanging(HWND hwnd, CMenuHookData& data, WPARAM w, LPARAM l);
    void OnWindowPosChanged(HWND hwnd, CMenuHookData& data, const WINDOWPOS& pos);
    void Print(HWND hwnd, CMenuHookData& data, HDC dc, LPARAM what);

    UniqueHandle<WindowsHookTraits> m_hook;
    int m_nMenuLoops = 0;
    HMENU m_hNotedMenu = nullptr;
    std::map<HWND, std::unique_ptr<CMenuHookData>> m_popups;
};
