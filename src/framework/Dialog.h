// CDialog: a dialog from a resource template, modal (DoModal, with the
// framework's own modal loop, CModalLoop) or modeless (Create).
//
// The modal loop offers every message to PreTranslateMessage (of the target
// window and its parents) before IsDialogMessage, so a dialog can see keys
// before its controls. The dialog window is bound at WM_INITDIALOG by
// subclassing, so Default() reaches the dialog manager's own processing.
// Data exchange: DoDataExchange with DDX_Control, DDX_Text and DDX_Check, run by
// UpdateData in either direction.
#pragma once

#include <string>

#include "framework/Wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, bool saveAndValidate) : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}
    CWnd* m_pDlgWnd;
    bool m_bSaveAndValidate;  // true: controls to members; false: members to controls
};

// Binds control `id` of the dialog to `control` (once).
void DDX_Control(CDataExchange& dx, int id, CWnd& control);
void DDX_Text(CDataExchange& dx, int id, std::wstring& value);
// A check box as 0 (clear) or 1 (checked).
void DDX_Check(CDataExchange& dx, int id, int& value);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, HWND parent = nullptr) : m_nIDTemplate(templateId), m_hParent(parent) {}

    INT_PTR DoModal();
    // Creates the dialog modeless; the dialog ends with EndDialog or DestroyWindow.
    bool Create(HWND parent = nullptr);
    void EndDialog(INT_PTR result);
    // Copies between controls and members: true, controls to members.
    bool UpdateData(bool saveAndValidate = true);

    bool IsEnded() const { return m_bEnded; }

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange&) {}

    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);

    UINT m_nIDTemplate;
    HWND m_hParent;

private:
    void OnCommandOK(UINT);
    void OnCommandCancel(UINT);

    bool m_bModal = false;
    bool m_bEnded = false;
    INT_PTR m_nResult = 0;

    DECLARE_MESSAGE_TABLE()
};
