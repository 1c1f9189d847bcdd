#include "app/TallyLeafDlg.h"

#include <algorithm>

#include "app/AppConstants.h"
#include "app/PortableFolderNotice.h"
#include "settings/AppFolders.h"
#include "settings/Profile.h"
#include "settings/UsageCounters.h"
#include "shell/LaunchCounter.h"
#include "shell/ScreenPlacement.h"
#include "framework/AppMessageBox.h"
#include "framework/Dpi.h"
#include "framework/WindowsVersion.h"
#include "res/resource.h"
#include "storage/CppSQLite3DB.h"

// clang-format off
DEFINE_MESSAGE_TABLE(CTallyLeafDlg, CNewDialog,
    OnMessage(WM_WINDOWPOSCHANGING, &CTallyLeafDlg::OnWindowPosChanging),
    OnMessage(WM_SIZE, &CTallyLeafDlg::OnSize),
    OnMessage(WM_DPICHANGED, &CTallyLeafDlg::OnDpiChanged),
    OnMessage(WM_CTLCOLOREDIT, &CTallyLeafDlg::OnCtlColorEditor),
    OnMessage(WM_CTLCOLORSTATIC, &CTallyLeafDlg::OnCtlColorEditor),
    OnMessage(WM_TIMER, &CTallyLeafDlg::OnTimer),
    OnMessage(WM_DESTROY, &CTallyLeafDlg::OnDestroy),
    OnMessage(WM_QUERYENDSESSION, &CTallyLeafDlg::OnQueryEndSession),
    OnMessage(WM_ENDSESSION, &CTallyLeafDlg::OnEndSession),
    OnMessage(WM_TRAYCALLBACK, &CTallyLeafDlg::OnTrayCallback),
    OnMessage(WM_BACKUP_DONE, &CTallyLeafDlg::OnBackupDone),
    OnRegisteredMessage(&CTrayIcon::s_nTaskbarCreatedMsg, &CTallyLeafDlg::OnTaskbarCreated),
    OnMessage(WM_HOTKEY, &CTallyLeafDlg::OnHotKey),
    OnMessage(WM_ACTIVATE, &CTallyLeafDlg::OnActivate),
    OnMessage(WM_INITMENUPOPUP, &CTallyLeafDlg::OnInitMenuPopup),
    OnRegisteredMessage(&CTallyLeafDlg::s_nApplyAlwaysOnTopMsg, &CTallyLeafDlg::OnApplyAlwaysOnTop),
    OnRegisteredMessage(&CTallyLeafDlg::s_nCloseForUpdateMsg, &CTallyLeafDlg::OnCloseForUpdate),
    OnNotify(IDC_TREE_NOTES, TVN_SELCHANGEDW, &CTallyLeafDlg::OnNoteSelChanged),
    OnNotify(IDC_TREE_NOTES, TVN_NOTEMOVED, &CTallyLeafDlg::OnNoteMoved),
    OnControlNotify(IDC_EDIT_NOTE, EN_CHANGE, &CTallyLeafDlg::OnEditorChange),
    // The menu commands, by the command table (TallyLeafDlgCommandTable.cpp).
    OnCommandRouter(&CTallyLeafDlg::RouteCommand),
    OnRegisteredMessage(&CFindReplace::s_nFindReplaceMsg, &CTallyLeafDlg::OnFindReplaceMessage),
    OnCommandRange(ID_INSERT_FIRST, ID_INSERT_LAST, &CTallyLeafDlg::OnInsertSnippet))
// clang-format on

namespace {
// The splitter's left edge stays within these x coordinates of the client
// area; like the other sizes of the layout, in pixels at 96 dpi.
constexpr int kSplitterMin = 120;
constexpr int kSplitterMax = 300;
// The room around and between the tree and the editor, and the bar's width.
constexpr int kMargin = 5;

// Whether other copies' changes may be brought into the tree now: not under a
// box or a dialog of the window's, nor during a drag, whose note or item must
// not change under them (the next check comes a few seconds later).
bool MayChangeTheTree(HWND window) {
    return ::IsWindowEnabled(window) && ::GetCapture() == nullptr;
}
}  // namespace

CTallyLeafDlg::CTallyLeafDlg() : CNewDialog(IDD_TALLYLEAF_DIALOG) {
    HINSTANCE inst = ::GetModuleHandleW(nullptr);
    m_hIcon = static_cast<HICON>(::LoadImageW(inst, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                              ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), 0));
    m_hSmallIcon =
        static_cast<HICON>(::LoadImageW(inst, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                        ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
}

CTallyLeafDlg::~CTallyLeafDlg() {
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
    if (m_hIcon)
        ::DestroyIcon(m_hIcon);
    if (m_hSmallIcon)
        ::DestroyIcon(m_hSmallIcon);
}

void CTallyLeafDlg::DoDataExchange(CDataExchange& dx) {
    DDX_Control(dx, IDC_TREE_NOTES, m_wndTree);
    DDX_Control(dx, IDC_EDIT_NOTE, m_wndEditor);
    DDX_Text(dx, IDC_EDIT_NOTE, m_strNoteText);
}

BOOL CTallyLeafDlg::OnInitDialog() {
    CNewDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hSmallIcon));
    LoadSettings();
    m_wndEditor.EnableDragDrop(3);
    m_wndEditor.m_onFileDropped = [this](const std::wstring& path) { LoadFileIntoNote(path); };
    AttachMenuIcons();
    m_notes.Open();
    m_notes.BackUpIfDue();
    m_wndEditor.SetFocus();
    return FALSE;  // the focus is set
}

void CTallyLeafDlg::LoadSettings() {
    m_nCallUps = 0;
    AppFolders::Initialise();
    WarnIfPortableFolderIsReadOnly(m_hWnd);
    Profile::UseUnicodeFile();
    m_settings = Settings::Load();
    m_notes.SetDatabasePath(Settings::LoadDbPath());

    if (!RegisterGlobalHotKey())
        ReportHotKeyRefused(m_hWnd);  // and the program runs on without a hot key
    // Wine ignores making this window topmost while it is being initialised
    // (its tree control's tooltip is in the way), so that waits for the first
    // message, which comes before anything can show the window.
    if (m_settings.m_bAlwaysOnTop)
        PostMessage(s_nApplyAlwaysOnTopMsg);
    RecreateEditor(m_settings.m_bWordWrap);
    // The bar between tree and editor, in place before the first layout.
    const UINT dpi = WindowDpi();
    // A position the bar can't be dragged to (a hand-edited file) would hide the tree or the editor.
    m_settings.m_nSplitterPos = std::clamp(m_settings.m_nSplitterPos, kSplitterMin, kSplitterMax);
    m_wndSplitter.Create(m_hWnd, IDC_SPLITTER, Dpi::Scale(m_settings.m_nSplitterPos, dpi),
                         Dpi::Scale(kSplitterMin, dpi), Dpi::Scale(kSplitterMax, dpi), IDC_SIZEWE);

    if (m_settings.m_bIconInTray)
        AddTrayIcon(kTrayTipAtStartUp);
    if (UsageCounters::Runs() == 1 && CurrentWindowsVersion().ntFamily)
        ShowFirstRunBalloon();
    if (!AppFolders::Portable())  // a portable copy leaves the registry alone
        IncrementLaunchCounter();

    const RECT r = PlaceOnScreen(Dpi::Scale(m_settings.m_rcWindow, dpi),
                                 {::GetSystemMetrics(SM_CXMINTRACK), ::GetSystemMetrics(SM_CYMINTRACK)});
    ::SetWindowPos(m_hWnd, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, 0);
    if (m_settings.m_bMaximized)
        ShowWindow(SW_SHOWMAXIMIZED);  // stays invisible until the first call-up

    LoadFontAndColours();
    BuildInsertMenu();
}

namespace {
// Wine's edit control wraps a paragraph in time that grows with the square of
// its length (measured: 30,000 characters 2.7 s, 100,000 40 s, 300,000 several
// minutes), while it shows 300,000 characters unwrapped in 1-2 s. A note with
// a longer paragraph than this is therefore shown unwrapped (about 0.3 s to
// wrap at this length).
constexpr std::size_t kLongestWrappedParagraph = 10000;

std::size_t LongestParagraph(const std::wstring& text) {
    std::size_t longest = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos)
            end = text.size();
        longest = std::max(longest, end - start);
        start = end + 1;
    }
    return longest;
}

bool EditorWraps(HWND editor) {
    return (::GetWindowLongW(editor, GWL_STYLE) & ES_AUTOHSCROLL) == 0;
}
}  // namespace

bool CTallyLeafDlg::WrapsText(const std::wstring& text) const {
    return m_settings.m_bWordWrap && LongestParagraph(text) <= kLongestWrappedParagraph;
}

void CTallyLeafDlg::WrapEditorFor(const std::wstring& text) {
    const bool wrap = WrapsText(text);
    if (!m_wndEditor.m_hWnd || EditorWraps(m_wndEditor) == wrap)
        return;
    const bool focused = ::GetFocus() == m_wndEditor.m_hWnd;
    const bool keepSelectionShown = (::GetWindowLongW(m_wndEditor, GWL_STYLE) & ES_NOHIDESEL) != 0;
    m_wndEditor.Recreate(CDragEdit::Style(wrap, keepSelectionShown));
    if (focused)
        m_wndEditor.SetFocus();
}

void CTallyLeafDlg::RecreateEditor(bool wrap) {
    // The template's editor goes; its successor keeps the selection shown
    // without the focus. Binding it also lifts its typing limit for long notes.
    m_wndEditor.Recreate(CDragEdit::Style(wrap, true));
}

void CTallyLeafDlg::LoadFont() {
    CFont font;
    if (!font.CreateFontIndirect(Dpi::Rescale(m_settings.m_font, Dpi::kStandard, WindowDpi())))
        return;
    // Editor and tree take the new font before the old one is deleted.
    m_wndEditor.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font.GetSafeHandle()), TRUE);
    m_wndTree.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font.GetSafeHandle()), TRUE);
    m_fontEditor = std::move(font);
}

void CTallyLeafDlg::LoadFontAndColours() {
    LoadFont();

    m_brBack.CreateSolidBrush(m_settings.m_crBack);
    m_wndTree.SetBkColor(m_settings.m_crBack);
    m_wndTree.SetTextColor(m_settings.m_crText);
}

void CTallyLeafDlg::CallUpWindow() {
    ++m_nCallUps;
    m_bShowAllowed = true;
    // What other copies changed while the window was away shows at once.
    m_notes.OnWindowShown();
    if (MayChangeTheTree(m_hWnd))
        m_notes.CheckForChanges();
    // A window hidden by minimising comes back restored, not as an icon. A window
    // that is shown already is not hidden first: hiding the active window hands
    // the activation to another window (under Wine's X11 driver the desktop),
    // whose focus change can arrive after this call-up and take the window's
    // place in front.
    if (::IsIconic(m_hWnd)) {
        ShowWindow(SW_HIDE);
        ShowWindow(SW_RESTORE);
    } else if (!IsWindowVisible()) {
        ShowWindow(SW_SHOW);
    }
    SendMessage(WM_SYSCOMMAND, SC_HOTKEY, reinterpret_cast<LPARAM>(m_hWnd));
    ::SetForegroundWindow(m_hWnd);
    // A menu left open (or the menu bar in keyboard mode) would keep taking
    // the keys meant for the editor.
    ::EndMenu();
    m_wndEditor.SetFocus();
}

void CTallyLeafDlg::HideWindow() {
    ShowWindow(SW_HIDE);
    m_notes.OnWindowHidden();
    m_notes.SaveShownNote();
    // A quiet moment: the program runs in the tray for weeks.
    m_notes.BackUpIfDue();
}

void CTallyLeafDlg::LayoutChildren() {
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const int w = client.right;
    const int h = client.bottom;
    const int p = m_wndSplitter.m_nPos;
    const int m = Dpi::Scale(kMargin, WindowDpi());
    ::LockWindowUpdate(m_hWnd);
    ::MoveWindow(m_wndTree, m, m, p - m, h - 2 * m, TRUE);
    ::MoveWindow(m_wndSplitter, p, m, m, h - 2 * m, TRUE);
    ::MoveWindow(m_wndEditor, p + m, m, w - p - 2 * m, h - 2 * m, TRUE);
    ::LockWindowUpdate(nullptr);
}

LRESULT CTallyLeafDlg::OnWindowPosChanging(WPARAM, LPARAM l) {
    // Until the first call-up the window stays hidden, whatever asks to show it.
    if (!m_bShowAllowed)
        reinterpret_cast<WINDOWPOS*>(l)->flags &= ~SWP_SHOWWINDOW;
    return Default();
}

LRESULT CTallyLeafDlg::OnSize(WPARAM w, LPARAM) {
    LRESULT result = Default();
    if (w == SIZE_MINIMIZED)
        HideWindow();
    else if (m_wndEditor.m_hWnd)
        LayoutChildren();
    return result;
}

LRESULT CTallyLeafDlg::OnDpiChanged(WPARAM w, LPARAM l) {
    const UINT before = WindowDpi();
    CNewDialog::OnDpiChanged(w, l);
    const UINT dpi = WindowDpi();
    m_wndSplitter.m_nPos = Dpi::Rescale(m_wndSplitter.m_nPos, before, dpi);
    m_wndSplitter.m_nMin = Dpi::Scale(kSplitterMin, dpi);
    m_wndSplitter.m_nMax = Dpi::Scale(kSplitterMax, dpi);
    LoadFont();
    // The system's suggestion keeps the window's size on the new screen; the layout follows with WM_SIZE.
    const RECT& r = *reinterpret_cast<const RECT*>(l);
    ::SetWindowPos(m_hWnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    LayoutChildren();
    return 0;
}

LRESULT CTallyLeafDlg::OnCtlColorEditor(WPARAM w, LPARAM l) {
    if (reinterpret_cast<HWND>(l) != m_wndEditor.m_hWnd)
        return Default();
    HDC dc = reinterpret_cast<HDC>(w);
    ::SetTextColor(dc, m_settings.m_crText);
    ::SetBkColor(dc, m_settings.m_crBack);
    return reinterpret_cast<LRESULT>(m_brBack.GetSafeHandle());
}

LRESULT CTallyLeafDlg::OnTimer(WPARAM w, LPARAM l) {
    NotesHost::Timer timer{};
    if (WindowNotesHost::SessionTimer(w, timer)) {
        if (timer != NotesHost::Timer::CheckForChanges || MayChangeTheTree(m_hWnd))
            m_notes.OnTimer(timer);
    } else if (w == TIMER_HIDE_DELAY) {
        HideWindow();
        KillTimer(TIMER_HIDE_DELAY);
    }
    return CNewDialog::OnTimer(w, l);
}

void CTallyLeafDlg::OnOK() {
    // Enter never closes the main window.
}

void CTallyLeafDlg::OnCancel() {
    if (m_settings.m_bMinimizeOnClose) {
        HideWindow();
        return;
    }
    if (AppMessageBox(L"Do you want to close Tallyleaf?", nullptr, MB_YESNO | MB_ICONEXCLAMATION, m_hWnd) == IDYES)
        EndDialog(IDCANCEL);
}

void CTallyLeafDlg::OnExit(UINT) {
    if (AppMessageBox(L"Do you want to close tallyleaf?", nullptr, MB_YESNO | MB_ICONEXCLAMATION, m_hWnd) == IDYES)
        EndDialog(IDOK);
}

void CTallyLeafDlg::OnHide(UINT) {
    HideWindow();
}

LRESULT CTallyLeafDlg::OnDestroy(WPARAM w, LPARAM l) {
    SaveOnExit();
    UnregisterGlobalHotKey();
    return CNewDialog::OnDestroy(w, l);
}

LRESULT CTallyLeafDlg::OnQueryEndSession(WPARAM, LPARAM) {
    SaveOnExit();
    UnregisterGlobalHotKey();
    m_bShutDown = true;
    return Default();
}

LRESULT CTallyLeafDlg::OnEndSession(WPARAM w, LPARAM) {
    // The end of the session was cancelled: the program runs on, so it needs
    // its hot key and its tray icon back.
    if (!w && m_bShutDown) {
        m_bShutDown = false;
        // Silent if refused: a box here would hold up the system's broadcast.
        RegisterGlobalHotKey();
        if (m_settings.m_bIconInTray)
            m_trayIcon.Restore();
    }
    return Default();
}

void CTallyLeafDlg::SaveOnExit() {
    m_notes.SaveOnExit();
    if (m_settings.m_bIconInTray)
        RemoveTrayIcon();
    UsageCounters::CountRun(m_nCallUps);
    SavePlacement();
}

void CTallyLeafDlg::SavePlacement() {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    ::GetWindowPlacement(m_hWnd, &wp);
    // Kept in pixels at 96 dpi, whatever the screen the window is on.
    const UINT dpi = WindowDpi();
    m_settings.m_rcWindow = Dpi::Unscale(wp.rcNormalPosition, dpi);
    m_settings.m_bMaximized = wp.showCmd == SW_SHOWMAXIMIZED || ::IsZoomed(m_hWnd);
    m_settings.m_nSplitterPos = Dpi::Unscale(m_wndSplitter.m_nPos, dpi);
    m_settings.SavePlacement();
}
