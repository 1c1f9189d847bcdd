// CNewFrame<Base>: the menu messages of a window with a menu bar (a dialog,
// for this program) that draws its menus itself. It keeps CNewMenu objects for
// the window's menu bar and system menu, converts each popup as it opens,
// routes measuring and drawing to the menu that owns the item, answers
// mnemonic keys, and tracks the menu bar's hot item where the system does not.
// Its menus are measured and drawn at the window's resolution, which changes
// when the window moves to a screen of another scale (WM_DPICHANGED).
//
// A derived class that handles one of these messages itself calls the
// handler here (CNewFrame<Base>::OnInitMenuPopup and so on) rather than Default().
#pragma once

#include <windows.h>

#include "menus/NewMenu.h"
#include "framework/Dialog.h"

template <class Base>
class CNewFrame : public Base {
public:
    using Base::Base;

    CNewMenu& MenuBar() { return m_DefaultNewMenu; }
    CNewMenu& SystemMenu() { return m_SystemNewMenu; }
    // The resolution the window is drawn at.
    UINT WindowDpi() const { return m_nDpi; }

protected:
    // Takes the window's system menu on (again if it changed).
    void AttachSystemMenu();

    LRESULT OnCreate(WPARAM w, LPARAM l);
    LRESULT OnInitMenuPopup(WPARAM w, LPARAM l);
    LRESULT OnUnInitMenuPopup(WPARAM w, LPARAM l);
    LRESULT OnMeasureItem(WPARAM w, LPARAM l);
    LRESULT OnDrawItem(WPARAM w, LPARAM l);
    LRESULT OnMenuChar(WPARAM w, LPARAM l);
    LRESULT OnEnterMenuLoop(WPARAM w, LPARAM l);
    LRESULT OnExitMenuLoop(WPARAM w, LPARAM l);
    LRESULT OnTimer(WPARAM w, LPARAM l);
    LRESULT OnNcHitTest(WPARAM w, LPARAM l);
    LRESULT OnDestroy(WPARAM w, LPARAM l);
    LRESULT OnSysColorChange(WPARAM w, LPARAM l);
    // The window went to a screen of another scale: the menus follow (the
    // derived window takes the suggested rectangle).
    LRESULT OnDpiChanged(WPARAM w, LPARAM l);
    // The resolution of the window as it is made.
    void ReadWindowDpi();

    CNewMenu m_DefaultNewMenu;
    CNewMenu m_SystemNewMenu;
    bool m_bInMenuLoop = false;
    UINT m_nDpi = 96;

private:
    // Shows item `item` of the menu bar hot (-1: none).
    void SetHotItem(int item);

    // The hot-tracking timer, while it runs.
    UINT_PTR m_nTimerID = 0;
    DWORD m_dwLastColourChange = 0;

    DECLARE_MESSAGE_TABLE()
};

template <>
const MessageEntry CNewFrame<CDialog>::kMessageEntries[];
template <>
const MessageTable CNewFrame<CDialog>::kMessageTable;
extern template class CNewFrame<CDialog>;
