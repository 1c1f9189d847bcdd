#include "framework/Dialog.h"

#include <vector>

#include "framework/ModalLoop.h"
#include "framework/WindowText.h"

// clang-format off
DEFINE_MESSAGE_TABLE(CDialog, CWnd,
    OnCommand(IDOK, &CDialog::OnCommandOK),
    OnCommand(IDCANCEL, &CDialog::OnCommandCancel))
// clang-format on

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM, LPARAM l) {
    if (msg != WM_INITDIALOG)
        return FALSE;  // everything else reaches the object through its subclass
    auto* self = reinterpret_cast<CDialog*>(l);
    if (!self || !self->Attach(hwnd))
        return TRUE;
    BOOL result = TRUE;
    try {
        result = self->OnInitDialog();
    } catch (...) {
        ::MessageBoxW(hwnd, L"The window could not be initialised.", nullptr, MB_ICONERROR);
    }
    return result;
}

bool CDialog::Create(HWND parent) {
    if (parent)
        m_hParent = parent;
    m_bModal = false;
    m_bEnded = false;
    HINSTANCE inst = ::GetModuleHandleW(nullptr);
    HRSRC resource = ::FindResourceW(inst, MAKEINTRESOURCEW(m_nIDTemplate), MAKEINTRESOURCEW(5));  // RT_DIALOG
    HGLOBAL loaded = resource ? ::LoadResource(inst, resource) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data)
        return false;
    // The dialog manager would show a visible template with SW_SHOWNORMAL, which
    // restores a window that its initialisation maximised. Create it invisible
    // and show it as it is instead.
    std::vector<BYTE> copy(static_cast<const BYTE*>(data),
                           static_cast<const BYTE*>(data) + ::SizeofResource(inst, resource));
    const bool extended = copy.size() >= 16 && reinterpret_cast<const WORD*>(copy.data())[1] == 0xFFFF;
    DWORD* style = reinterpret_cast<DWORD*>(copy.data() + (extended ? 12 : 0));
    const bool visible = (*style & WS_VISIBLE) != 0;
    *style &= ~WS_VISIBLE;
    HWND hwnd = ::CreateDialogIndirectParamW(inst, reinterpret_cast<const DLGTEMPLATE*>(copy.data()), m_hParent,
                                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (hwnd && visible && ::IsWindow(hwnd))
        ::ShowWindow(hwnd, SW_SHOW);
    return hwnd != nullptr;
}

INT_PTR CDialog::DoModal() {
    CModalLoop modal(m_hParent);
    m_nResult = -1;
    if (!Create())
        return -1;
    m_bModal = true;
    modal.Run(m_hWnd, [this] { return m_bEnded; });
    // The owner is enabled before the dialog goes, so the activation returns to it.
    modal.EnableOwner();
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
    m_bModal = false;
    return m_nResult;
}

void CDialog::EndDialog(INT_PTR result) {
    m_nResult = result;
    m_bEnded = true;
    if (!m_bModal && m_hWnd)
        ::DestroyWindow(m_hWnd);
}

bool CDialog::UpdateData(bool saveAndValidate) {
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(dx);
    return true;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK() {
    UpdateData(true);
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::OnCommandOK(UINT) {
    OnOK();
}

void CDialog::OnCommandCancel(UINT) {
    OnCancel();
}

void DDX_Control(CDataExchange& dx, int id, CWnd& control) {
    if (!control.m_hWnd)
        control.SubclassDlgItem(static_cast<UINT>(id), dx.m_pDlgWnd);
}

void DDX_Text(CDataExchange& dx, int id, std::wstring& value) {
    HWND item = ::GetDlgItem(dx.m_pDlgWnd->m_hWnd, id);
    if (!item)
        return;
    if (dx.m_bSaveAndValidate) {
        value = WindowText(item);
    } else {
        ::SetWindowTextW(item, value.c_str());
    }
}

void DDX_Check(CDataExchange& dx, int id, int& value) {
    HWND item = ::GetDlgItem(dx.m_pDlgWnd->m_hWnd, id);
    if (!item)
        return;
    if (dx.m_bSaveAndValidate)
        value = ::SendMessageW(item, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
    else
        ::SendMessageW(item, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
}
