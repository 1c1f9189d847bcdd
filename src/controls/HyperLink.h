// CHyperLink: a static text control that looks and behaves like a web link:
// coloured text, a hand cursor, underlined and red while the pointer is over
// it, a tooltip naming the address, another colour once opened, and opening
// its address with the shell (or the browser registered for .htm files), with
// a readable message when neither can.
//
// Bind it to a static control of a dialog (DDX_Control); the parent reflects
// the control's colour request and its click notification back to it, and the
// parent's message loop hands it its messages first (PreTranslateMessage),
// which it relays to its tooltip.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "framework/Gdi.h"
#include "framework/Static.h"
#include "framework/ToolTipCtrl.h"
#include "framework/UniqueHandle.h"

// A cursor of the program's own (a copy), destroyed with its owner.
struct CursorTraits {
    using Handle = HCURSOR;
    static constexpr Handle Invalid() { return nullptr; }
    static void Close(HCURSOR cursor) { ::DestroyCursor(cursor); }
};

class CHyperLink : public CStatic {
public:
    CHyperLink() = default;
    ~CHyperLink() override;

    // The address the link opens. Set before the control is bound, the link
    // shows it as its text when the control has none.
    void SetURL(const std::wstring& url);
    const std::wstring& GetURL() const { return m_strURL; }
    // Whether the tooltip puts the protocol in words ("Go to ", "E-mail ") or
    // shows the bare address.
    void SetToolTipPrefixes(bool prefixes);
    // Opens `url` with the shell, else with the browser registered for .htm
    // files; returns the shell's or the browser start's result (above 32: opened).
    HINSTANCE GotoURL(const std::wstring& url, int showCmd);

    bool IsOver() const { return m_bOverControl; }
    bool IsVisited() const { return m_bVisited; }
    const CToolTipCtrl& ToolTip() const { return m_ToolTip; }
    // Fills the control's background as its parent fills its own.
    void EraseBackground(HDC dc) const;

    // The text of the error report for a shell or WinExec result.
    static std::wstring ErrorText(INT_PTR code);

    // Links look for winhlp32.exe's hand cursor at `path` instead of in the
    // Windows folder; an empty path gives them back the real one.
    static void SetWinHelpPath(const std::wstring& path);
    // `observer` sees every beep of a link that could not be opened (the beep
    // still sounds), with its MessageBeep type.
    static void SetBeepObserver(std::function<void(UINT)> observer);

    bool DestroyWindow() override;
    bool PreTranslateMessage(MSG* msg) override;

    static constexpr COLORREF kLinkColour = RGB(0, 0, 238);
    static constexpr COLORREF kVisitedColour = RGB(85, 26, 139);
    static constexpr COLORREF kHoverColour = RGB(255, 0, 0);
    static constexpr UINT kToolId = 1;

protected:
    void PreSubclassWindow() override;

private:
    COLORREF m_crLinkColour = kLinkColour;
    COLORREF m_crVisitedColour = kVisitedColour;
    COLORREF m_crHoverColour = kHoverColour;
    bool m_bOverControl = false;
    bool m_bVisited = false;
    bool m_bAdjustToFit = true;
    std::wstring m_strURL;
    std::wstring m_strToolTip;
    bool m_bToolTipPrefixes = true;
    CFont m_UnderlineFont;
    CFont m_StdFont;
    UniqueHandle<CursorTraits> m_linkCursor;
    CToolTipCtrl m_ToolTip;
    UINT_PTR m_nTimerID = 100;

    // Sizes the control to its text, keeping the edge or centre its alignment names.
    void PositionWindow();
    void SetDefaultCursor();
    // The tooltip's text for the address: the protocol put in words.
    void SetToolTipText();
    void ReportError(INT_PTR code);

    LRESULT OnCtlColor(WPARAM, LPARAM);
    LRESULT OnSetCursor(WPARAM, LPARAM);
    LRESULT OnMouseMove(WPARAM, LPARAM);
    LRESULT OnTimer(WPARAM, LPARAM);
    LRESULT OnEraseBkgnd(WPARAM, LPARAM);
    void OnClicked(UINT);

    DECLARE_MESSAGE_TABLE()
};
