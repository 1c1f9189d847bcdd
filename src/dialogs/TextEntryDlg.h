// CTextEntryDlg: asks for one line of text (the name of a note) in a small
// modal window with a prompt, an entry field, OK and Cancel.
//
// The window is built from code, not from a dialog template, and runs in the
// framework's modal loop (CModalLoop): its keys go through the dialog keyboard
// handling (Tab, Shift+Tab, Enter as OK, Escape as Cancel) and never reach the
// owner's pre-translation. OK is enabled only while the field holds some text.
#pragma once

#include <string>

#include "framework/Edit.h"
#include "framework/Gdi.h"
#include "framework/Wnd.h"

class CTextEntryDlg : public CWnd {
public:
    // The window class, for whoever needs to recognise the window.
    static constexpr const wchar_t* kClassName = L"TallyleafTextEntry";
    // Control id of the entry field.
    static constexpr UINT kFieldId = 11;

    CTextEntryDlg() = default;
    ~CTextEntryDlg() override;

    // Shows the window, owned by `parent` (the application's main window when
    // null), and waits for the user. Returns IDOK (1) when the user confirmed
    // with OK or Enter, IDCANCEL (2) when the user cancelled (Cancel, Escape or
    // the close box), 0 when the window could not be created.
    int Show(HWND parent, const std::wstring& caption, const std::wstring& prompt, const std::wstring& initialText);

    // The field's text when the window was closed; meaningful after IDOK.
    const std::wstring& GetText() const { return m_strText; }

    bool PreTranslateMessage(MSG* msg) override;

private:
    // Creates the window, its four controls and their font; false when any fails.
    bool CreateWindowAndControls(HWND owner, const std::wstring& caption, const std::wstring& prompt,
                                 const std::wstring& initialText);
    bool CreateControl(CWnd& control, DWORD exStyle, const wchar_t* className, const std::wstring& text, DWORD style,
                       const RECT& rect, UINT id);
    void CenterOverOwner(HWND owner);
    void EndModalLoop(int result);
    void UpdateOkButton();

    LRESULT OnEraseBkgnd(WPARAM, LPARAM);
    LRESULT OnClose(WPARAM, LPARAM);
    LRESULT OnGetDefId(WPARAM, LPARAM);
    void OnOK(UINT);
    void OnCancel(UINT);
    void OnFieldChange(UINT);

    std::wstring m_strText;
    CEdit m_edit;
    CFont m_font;
    CWnd m_prompt;
    CWnd m_btnCancel;
    CWnd m_btnOK;
    // The window that had the keyboard focus when Show began; not owned.
    HWND m_hPrevFocus = nullptr;

    bool m_bEnded = false;
    int m_nResult = 0;

    DECLARE_MESSAGE_TABLE()
};
