#include "controls/HyperLink.h"

#include <shellapi.h>

#include <cwchar>
#include <functional>
#include <optional>
#include <utility>

#include "shell/HtmBrowser.h"
#include "shell/ShellOpen.h"
#include "framework/AppMessageBox.h"
#include "framework/DC.h"

namespace {
constexpr UINT kHoverIntervalMs = 100;
// The hand in winhlp32.exe's resources.
constexpr WORD kWinHelpHandCursor = 106;

std::wstring& WinHelpPathForTests() {
    static std::wstring path;
    return path;
}

std::function<void(UINT)>& BeepObserver() {
    static std::function<void(UINT)> observer;
    return observer;
}

std::wstring WinHelpPath() {
    if (!WinHelpPathForTests().empty())
        return WinHelpPathForTests();
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetWindowsDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    return std::wstring(folder) + L"\\winhlp32.exe";
}

// A copy of winhlp32.exe's hand, which only older systems ship; else a copy of
// the system's own hand; null when neither can be had.
HCURSOR LoadHandCursor() {
    const std::wstring path = WinHelpPath();
    if (HMODULE module = path.empty() ? nullptr : ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {
        HCURSOR copy = nullptr;
        if (HCURSOR hand = ::LoadCursorW(module, MAKEINTRESOURCEW(kWinHelpHandCursor)))
            copy = ::CopyIcon(hand);
        ::FreeLibrary(module);
        if (copy)
            return copy;
    }
    HCURSOR hand = ::LoadCursorW(nullptr, IDC_HAND);
    return hand ? ::CopyIcon(hand) : nullptr;
}

bool StartsWithNoCase(const std::wstring& text, const wchar_t* prefix) {
    const size_t length = std::wcslen(prefix);
    return text.size() >= length && ::_wcsnicmp(text.c_str(), prefix, length) == 0;
}

void Beep(UINT type) {
    if (BeepObserver())
        BeepObserver()(type);
    ::MessageBeep(type);
}
}  // namespace

// clang-format off
DEFINE_MESSAGE_TABLE(CHyperLink, CStatic,
    OnMessage(kReflectBase + WM_CTLCOLORSTATIC, &CHyperLink::OnCtlColor),
    OnMessage(WM_SETCURSOR, &CHyperLink::OnSetCursor),
    OnMessage(WM_MOUSEMOVE, &CHyperLink::OnMouseMove),
    OnMessage(WM_TIMER, &CHyperLink::OnTimer),
    OnReflectedCommand(STN_CLICKED, &CHyperLink::OnClicked),
    OnMessage(WM_ERASEBKGND, &CHyperLink::OnEraseBkgnd))
// clang-format on

CHyperLink::~CHyperLink() = default;

void CHyperLink::SetURL(const std::wstring& url) {
    m_strURL = url;
    if (::IsWindow(m_hWnd)) {
        PositionWindow();
        SetToolTipText();
        m_ToolTip.UpdateTipText(m_hWnd, kToolId, m_strToolTip);
        // The tool covers the control, whose size may have followed its text.
        RECT client;
        ::GetClientRect(m_hWnd, &client);
        m_ToolTip.SetToolRect(m_hWnd, kToolId, client);
    }
}

void CHyperLink::SetToolTipPrefixes(bool prefixes) {
    m_bToolTipPrefixes = prefixes;
    if (::IsWindow(m_hWnd)) {
        SetToolTipText();
        m_ToolTip.UpdateTipText(m_hWnd, kToolId, m_strToolTip);
    }
}

void CHyperLink::PreSubclassWindow() {
    // Without the notify style a static control lets clicks through to its parent.
    ModifyStyle(0, SS_NOTIFY);
    if (m_strURL.empty()) {
        m_strURL = GetWindowText();
        if (StartsWithNoCase(m_strURL, L"www."))
            m_strURL.insert(0, L"http://");
    }
    if (GetWindowText().empty())
        SetWindowText(m_strURL);

    HFONT font = GetFont();
    if (!font)
        font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    if (!font)
        font = static_cast<HFONT>(::GetStockObject(ANSI_VAR_FONT));
    LOGFONTW lf{};
    ::GetObjectW(font, sizeof lf, &lf);
    m_StdFont.CreateFontIndirect(lf);
    lf.lfUnderline = TRUE;
    m_UnderlineFont.CreateFontIndirect(lf);

    PositionWindow();
    SetDefaultCursor();
    SetToolTipText();
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    if (m_ToolTip.Create(m_hWnd))
        m_ToolTip.AddTool(m_hWnd, kToolId, client, m_strToolTip);
}

bool CHyperLink::DestroyWindow() {
    KillTimer(m_nTimerID);
    return CStatic::DestroyWindow();
}

bool CHyperLink::PreTranslateMessage(MSG* msg) {
    m_ToolTip.RelayEvent(msg);
    return CStatic::PreTranslateMessage(msg);
}

void CHyperLink::PositionWindow() {
    if (!m_bAdjustToFit || !::IsWindow(m_hWnd))
        return;
    RECT window;
    RECT client;
    ::GetWindowRect(m_hWnd, &window);
    ::GetClientRect(m_hWnd, &client);
    ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&window), 2);

    const std::wstring text = GetWindowText();
    SIZE extent{};
    {
        CClientDC dc(m_hWnd);
        CSelectObject font(dc, m_UnderlineFont);
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    }
    const int width = extent.cx + (window.right - window.left) - (client.right - client.left);
    const int height = extent.cy + (window.bottom - window.top) - (client.bottom - client.top);

    const DWORD style = GetStyle();
    int top = window.top;
    if (style & SS_CENTERIMAGE)
        top = (window.top + window.bottom - height) / 2;
    int left = window.left;
    if ((style & SS_TYPEMASK) == SS_CENTER)
        left = (window.left + window.right - width) / 2;
    else if ((style & SS_TYPEMASK) == SS_RIGHT)
        left = window.right - width;
    ::SetWindowPos(m_hWnd, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CHyperLink::SetDefaultCursor() {
    if (!m_linkCursor)
        m_linkCursor.reset(LoadHandCursor());
}

void CHyperLink::SetToolTipText() {
    if (m_bToolTipPrefixes && StartsWithNoCase(m_strURL, L"http://"))
        m_strToolTip = L"Go to " + m_strURL.substr(7);
    else if (m_bToolTipPrefixes && StartsWithNoCase(m_strURL, L"https://"))
        m_strToolTip = L"Go to " + m_strURL.substr(8);
    else if (m_bToolTipPrefixes && StartsWithNoCase(m_strURL, L"mailto:"))
        m_strToolTip = L"E-mail " + m_strURL.substr(7);
    else
        m_strToolTip = m_strURL;
}

HINSTANCE CHyperLink::GotoURL(const std::wstring& url, int showCmd) {
    m_linkCursor.reset();
    SetDefaultCursor();

    ShellOpenRequest request;
    request.verb = L"open";
    request.file = url.c_str();
    request.show = showCmd;
    HINSTANCE result = ShellOpen(request);
    if (reinterpret_cast<INT_PTR>(result) > 32)
        return result;
    if (const std::optional<UINT> started = HtmBrowser::Open(url, showCmd))
        return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(*started));
    return result;
}

std::wstring CHyperLink::ErrorText(INT_PTR code) {
    switch (code) {
        case 0:
            return L"The operating system is out\nof memory or resources.";
        case SE_ERR_FNF:
            return L"The specified file was not found.";
        case SE_ERR_PNF:
            return L"The specified path was not found.";
        case SE_ERR_ACCESSDENIED:
            return L"The operating system denied\naccess to the specified file.";
        case SE_ERR_OOM:
            return L"There was not enough memory to complete the operation.";
        case ERROR_BAD_FORMAT:
            return L"The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
        case SE_ERR_SHARE:
            return L"A sharing violation occurred. ";
        case SE_ERR_ASSOCINCOMPLETE:
            return L"The filename association is\nincomplete or invalid.";
        case SE_ERR_DDETIMEOUT:
            return L"The DDE transaction could not\nbe completed because the request timed out.";
        case SE_ERR_DDEFAIL:
            return L"The DDE transaction failed.";
        case SE_ERR_DDEBUSY:
            return L"The DDE transaction could not\nbe completed because other DDE transactions\nwere being "
                   L"processed.";
        case SE_ERR_NOASSOC:
            return L"There is no application associated\nwith the given filename extension.";
        case SE_ERR_DLLNOTFOUND:
            return L"The specified dynamic-link library was not found.";
        default:
            return L"Unknown Error (" + std::to_wstring(code) + L") occurred.";
    }
}

void CHyperLink::ReportError(INT_PTR code) {
    AppMessageBox(L"Unable to open hyperlink:\n\n" + ErrorText(code), nullptr, MB_ICONEXCLAMATION | MB_OK,
                  ::GetAncestor(m_hWnd, GA_ROOT));
}

void CHyperLink::EraseBackground(HDC dc) const {
    // The parent's own background brush: the button face of an ordinary
    // dialog, white in the About box.
    HWND parent = ::GetParent(m_hWnd);
    auto brush = parent ? reinterpret_cast<HBRUSH>(::SendMessageW(parent, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc),
                                                                  reinterpret_cast<LPARAM>(parent)))
                        : nullptr;
    if (!brush)
        brush = ::GetSysColorBrush(COLOR_3DFACE);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    ::FillRect(dc, &client, brush);
}

LRESULT CHyperLink::OnCtlColor(WPARAM w, LPARAM) {
    auto dc = reinterpret_cast<HDC>(w);
    ::SetTextColor(dc, m_bOverControl ? m_crHoverColour : m_bVisited ? m_crVisitedColour : m_crLinkColour);
    ::SetBkMode(dc, TRANSPARENT);
    return reinterpret_cast<LRESULT>(::GetStockObject(HOLLOW_BRUSH));
}

LRESULT CHyperLink::OnSetCursor(WPARAM, LPARAM) {
    if (m_linkCursor) {
        ::SetCursor(m_linkCursor.get());
        return TRUE;
    }
    return Default();
}

LRESULT CHyperLink::OnMouseMove(WPARAM, LPARAM) {
    if (!m_bOverControl) {
        m_bOverControl = true;
        SetFont(m_UnderlineFont, true);
        Invalidate();
        SetTimer(m_nTimerID, kHoverIntervalMs);
    }
    return Default();
}

LRESULT CHyperLink::OnTimer(WPARAM w, LPARAM) {
    if (w != m_nTimerID)
        return Default();
    // Where the pointer was when this tick was taken from the queue.
    const DWORD pos = ::GetMessagePos();
    POINT point{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    ::ScreenToClient(m_hWnd, &point);
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    if (!::PtInRect(&client, point)) {
        m_bOverControl = false;
        KillTimer(m_nTimerID);
        SetFont(m_StdFont, true);
        client.bottom += 10;
        ::InvalidateRect(m_hWnd, &client, TRUE);
    }
    return Default();
}

LRESULT CHyperLink::OnEraseBkgnd(WPARAM w, LPARAM) {
    EraseBackground(reinterpret_cast<HDC>(w));
    return TRUE;
}

void CHyperLink::OnClicked(UINT) {
    m_bOverControl = false;
    const auto result = reinterpret_cast<INT_PTR>(GotoURL(m_strURL, SW_SHOW));
    if (result > 32) {
        m_bVisited = true;
        if (::IsWindow(m_hWnd))
            Invalidate();
    } else {
        m_bVisited = false;
        Beep(MB_ICONEXCLAMATION);
        ReportError(result);
    }
}

void CHyperLink::SetWinHelpPath(const std::wstring& path) {
    WinHelpPathForTests() = path;
}

void CHyperLink::SetBeepObserver(std::function<void(UINT)> observer) {
    BeepObserver() = std::move(observer);
}
