#include "dialogs/TextEntryDlg.h"

#include "framework/Dpi.h"
#include "framework/ModalLoop.h"
#include "framework/WinApp.h"

namespace {
// Outer width of the window; its height is the caption's plus kWindowBodyHeight.
// These sizes are pixels at 96 dpi, scaled to the owner's screen.
constexpr int kWindowWidth = 348;
constexpr int kWindowBodyHeight = 100;
constexpr UINT kPromptId = 0xFFFF;

// Control rectangles in the window's client area.
constexpr RECT kPromptRect = {6, 6, 340, 35};
constexpr RECT kOkRect = {188, 62, 258, 85};
constexpr RECT kCancelRect = {265, 62, 335, 85};
constexpr RECT kFieldRect = {6, 36, 335, 57};

constexpr int kFontPoints = 8;
const wchar_t kFontFace[] = L"MS Sans Serif";

HWND ApplicationMainWindow() {
    CWinApp* app = CWinApp::Current();
    return app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
}
}  // namespace

// clang-format off
DEFINE_MESSAGE_TABLE(CTextEntryDlg, CWnd,
    OnMessage(WM_ERASEBKGND, &CTextEntryDlg::OnEraseBkgnd),
    OnMessage(WM_CLOSE, &CTextEntryDlg::OnClose),
    OnMessage(DM_GETDEFID, &CTextEntryDlg::OnGetDefId),
    OnCommand(IDOK, &CTextEntryDlg::OnOK),
    OnCommand(IDCANCEL, &CTextEntryDlg::OnCancel),
    OnControlNotify(kFieldId, EN_CHANGE, &CTextEntryDlg::OnFieldChange))
// clang-format on

CTextEntryDlg::~CTextEntryDlg() {
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

int CTextEntryDlg::Show(HWND parent, const std::wstring& caption, const std::wstring& prompt,
                        const std::wstring& initialText) {
    if (m_hWnd)
        return 0;  // already showing: one window per object
    // The owner is a top-level window: a control given as the parent stands for
    // its window, which is the one to disable.
    parent = parent ? ::GetAncestor(parent, GA_ROOT) : ApplicationMainWindow();
    m_hPrevFocus = ::GetFocus();

    if (!CreateWindowAndControls(parent, caption, prompt, initialText)) {
        if (m_hWnd)
            ::DestroyWindow(m_hWnd);
        m_font.DeleteObject();
        return 0;
    }
    ShowWindow(SW_SHOW);

    // A parent that was already disabled (by a modal window of its own) stays so.
    CModalLoop modal(parent);
    ::EnableWindow(m_hWnd, TRUE);
    ::ReleaseCapture();

    // The whole text is selected, so typing replaces it.
    m_edit.SetSel(0, -1);
    m_edit.SetFocus();
    UpdateOkButton();

    m_bEnded = false;
    m_nResult = IDCANCEL;
    // A quit request (the program is ending) leaves as Cancel; the loop outside sees the quit too.
    if (!modal.Run(m_hWnd, [this] { return m_bEnded; }))
        EndModalLoop(IDCANCEL);
    const int result = m_nResult;

    HWND self = m_hWnd;
    if (self) {
        ::SetWindowPos(self, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
        if (parent && ::IsWindow(parent)) {
            ::SetFocus(parent);
            // Activation must go back to the owner before this window goes, or
            // the system hands it to some other program's window.
            if (::GetActiveWindow() == self)
                ::SetActiveWindow(parent);
        }
        ::DestroyWindow(self);
    }
    modal.EnableOwner();
    if (m_hPrevFocus && ::IsWindow(m_hPrevFocus))
        ::SetFocus(m_hPrevFocus);
    m_hPrevFocus = nullptr;
    m_font.DeleteObject();
    return result;
}

bool CTextEntryDlg::CreateWindowAndControls(HWND owner, const std::wstring& caption, const std::wstring& prompt,
                                            const std::wstring& initialText) {
    const wchar_t* windowClass = RegisterClass(kClassName, CS_HREDRAW | CS_VREDRAW, ::LoadCursorW(nullptr, IDC_ARROW));
    if (!windowClass)
        return false;
    const UINT dpi = Dpi::OfWindow(owner);
    const RECT frame = {0, 0, Dpi::Scale(kWindowWidth, dpi),
                        Dpi::SystemMetric(SM_CYCAPTION, dpi) + Dpi::Scale(kWindowBodyHeight, dpi)};
    if (!CreateEx(WS_EX_DLGMODALFRAME, windowClass, caption.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU, frame, owner,
                  0) ||
        !m_hWnd)
        return false;
    CenterOverOwner(owner);

    // Creation order is the tab order: prompt, OK, Cancel, field.
    const DWORD fieldStyle = ES_LEFT | ES_AUTOHSCROLL | WS_TABSTOP;
    if (!CreateControl(m_prompt, 0, L"STATIC", prompt, SS_LEFT | SS_NOPREFIX, Dpi::Scale(kPromptRect, dpi),
                       kPromptId) ||
        !CreateControl(m_btnOK, 0, L"BUTTON", L"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, Dpi::Scale(kOkRect, dpi), IDOK) ||
        !CreateControl(m_btnCancel, 0, L"BUTTON", L"Cancel", BS_PUSHBUTTON | WS_TABSTOP, Dpi::Scale(kCancelRect, dpi),
                       IDCANCEL) ||
        !CreateControl(m_edit, WS_EX_CLIENTEDGE, L"EDIT", initialText, fieldStyle, Dpi::Scale(kFieldRect, dpi),
                       kFieldId))
        return false;

    // Without the font the controls keep the system font; the window still works.
    LOGFONTW lf{};
    lf.lfHeight = -::MulDiv(kFontPoints, static_cast<int>(dpi), 72);
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    ::lstrcpynW(lf.lfFaceName, kFontFace, LF_FACESIZE);
    if (m_font.CreateFontIndirect(lf)) {
        for (HWND control : {m_prompt.m_hWnd, m_btnOK.m_hWnd, m_btnCancel.m_hWnd, m_edit.m_hWnd})
            ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), FALSE);
    }
    return true;
}

bool CTextEntryDlg::CreateControl(CWnd& control, DWORD exStyle, const wchar_t* className, const std::wstring& text,
                                  DWORD style, const RECT& rect, UINT id) {
    HWND hwnd =
        ::CreateWindowExW(exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                          rect.right - rect.left, rect.bottom - rect.top, m_hWnd,
                          reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), ::GetModuleHandleW(nullptr), nullptr);
    return hwnd && control.Attach(hwnd);
}

// Centres the window over its owner when the owner is shown, otherwise over the
// work area; either way the window stays whole on the owner's monitor.
void CTextEntryDlg::CenterOverOwner(HWND owner) {
    RECT window;
    ::GetWindowRect(m_hWnd, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;

    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    const bool ownerShown = owner && ::IsWindowVisible(owner) && !::IsIconic(owner);
    ::GetMonitorInfoW(::MonitorFromWindow(owner, ownerShown ? MONITOR_DEFAULTTONEAREST : MONITOR_DEFAULTTOPRIMARY),
                      &monitor);
    const RECT area = monitor.rcWork;
    RECT centre = area;
    if (ownerShown)
        ::GetWindowRect(owner, &centre);

    int left = (centre.left + centre.right) / 2 - width / 2;
    int top = (centre.top + centre.bottom) / 2 - height / 2;
    if (left + width > area.right)
        left = area.right - width;
    if (left < area.left)
        left = area.left;
    if (top + height > area.bottom)
        top = area.bottom - height;
    if (top < area.top)
        top = area.top;
    ::SetWindowPos(m_hWnd, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Keeps the field's text and ends the modal loop with `result`.
void CTextEntryDlg::EndModalLoop(int result) {
    if (m_edit.m_hWnd)
        m_strText = m_edit.GetWindowText();
    m_nResult = result;
    m_bEnded = true;
}

void CTextEntryDlg::UpdateOkButton() {
    ::EnableWindow(m_btnOK, ::GetWindowTextLengthW(m_edit) > 0);
}

// The modal loop gives every other key to the dialog keyboard handling.
bool CTextEntryDlg::PreTranslateMessage(MSG* msg) {
    if (msg->message != WM_KEYDOWN || msg->wParam != VK_TAB || !m_hWnd ||
        (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)))
        return false;
    if (!::IsDialogMessageW(m_hWnd, msg))
        return false;
    // Tab gives the default look to the button it moves to; outside a dialog
    // nothing gives it back to OK when the focus comes back to the field.
    if (::GetFocus() == m_edit.m_hWnd)
        ::SendMessageW(m_btnOK, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    return true;
}

LRESULT CTextEntryDlg::OnEraseBkgnd(WPARAM w, LPARAM) {
    HDC dc = reinterpret_cast<HDC>(w);
    RECT area;
    ::GetClipBox(dc, &area);
    ::FillRect(dc, &area, ::GetSysColorBrush(COLOR_BTNFACE));
    return TRUE;
}

LRESULT CTextEntryDlg::OnClose(WPARAM, LPARAM) {
    EndModalLoop(IDCANCEL);
    return 0;
}

// The dialog keyboard handling asks which button Enter presses; it presses it
// only while that button is enabled.
LRESULT CTextEntryDlg::OnGetDefId(WPARAM, LPARAM) {
    return MAKELRESULT(IDOK, DC_HASDEFID);
}

void CTextEntryDlg::OnOK(UINT) {
    // An empty name cannot be confirmed, however the command arrives.
    if (::GetWindowTextLengthW(m_edit) == 0)
        return;
    EndModalLoop(IDOK);
}

void CTextEntryDlg::OnCancel(UINT) {
    EndModalLoop(IDCANCEL);
}

void CTextEntryDlg::OnFieldChange(UINT) {
    UpdateOkButton();
}
