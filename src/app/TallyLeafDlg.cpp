#include "app/TallyLeafDlg.h"

#include <algorithm>

#include "app/AppConstants.h"
#include "app/CloseForUpdate.h"
#include "app/MayChangeTheTree.h"
#include "app/PortableFolderNotice.h"
#include "framework/AppMessageBox.h"
#include "framework/Dpi.h"
#include "res/resource.h"
#include "settings/AppFolders.h"
#include "settings/Profile.h"
#include "settings/UsageCounters.h"
#include "shell/LaunchCounter.h"
#include "shell/ScreenPlacement.h"

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
    OnMessage(WM_SEARCH_WARMED, &CTallyLeafDlg::OnSearchWarmed),
    OnRegisteredMessage(&CTrayIcon::s_nTaskbarCreatedMsg, &CTallyLeafDlg::OnTaskbarCreated),
    OnMessage(WM_HOTKEY, &CTallyLeafDlg::OnHotKey),
    OnMessage(WM_ACTIVATE, &CTallyLeafDlg::OnActivate),
    OnMessage(WM_INITMENUPOPUP, &CTallyLeafDlg::OnInitMenuPopup),
    OnRegisteredMessage(&TrayAndHotKey::s_applyAlwaysOnTopMsg, &CTallyLeafDlg::OnApplyAlwaysOnTop),
    OnRegisteredMessage(&CTallyLeafDlg::s_closeForUpdateMsg, &CTallyLeafDlg::OnCloseForUpdate),
    OnNotify(IDC_TREE_NOTES, TVN_SELCHANGEDW, &CTallyLeafDlg::OnNoteSelChanged),
    OnNotify(IDC_TREE_NOTES, TVN_NOTEMOVED, &CTallyLeafDlg::OnNoteMoved),
    OnControlNotify(IDC_EDIT_NOTE, EN_CHANGE, &CTallyLeafDlg::OnEditorChange),
    // The menu commands, by the command table (MainCommands.cpp).
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
// How long after the start the search in all notes reads the stored texts
// ahead of its first use (at 10,000 notes about a second on its own thread).
constexpr UINT kWarmSearchDelayMs = 1000;

HICON LoadProgramIcon(int widthMetric, int heightMetric) {
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                           ::GetSystemMetrics(widthMetric), ::GetSystemMetrics(heightMetric), 0));
}
}  // namespace

const UINT CTallyLeafDlg::s_closeForUpdateMsg = ::RegisterWindowMessageW(kCloseForUpdateMessage);

CTallyLeafDlg::CTallyLeafDlg(SaveScheduler::Timings typingSaves)
    : CNewDialog(IDD_TALLYLEAF_DIALOG),
      m_icon(LoadProgramIcon(SM_CXICON, SM_CYICON)),
      m_smallIcon(LoadProgramIcon(SM_CXSMICON, SM_CYSMICON)),
      m_notes(theDB, m_treeView, m_editorView, m_notesHost, typingSaves) {}

CTallyLeafDlg::~CTallyLeafDlg() {
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
    if (m_icon)
        ::DestroyIcon(m_icon);
    if (m_smallIcon)
        ::DestroyIcon(m_smallIcon);
}

MainWindowParts CTallyLeafDlg::Parts() {
    return {m_tree,          m_editor,         m_notes.session, m_notes,
            m_commands.tray, m_commands.files, m_commands.find, m_commands.insert};
}

void CTallyLeafDlg::DoDataExchange(CDataExchange& dx) {
    DDX_Control(dx, IDC_TREE_NOTES, m_tree);
    DDX_Control(dx, IDC_EDIT_NOTE, m_editor);
}

BOOL CTallyLeafDlg::OnInitDialog() {
    CNewDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon));
    LoadSettings();
    m_editor.EnableDragDrop(3);
    m_editor.m_onFileDropped = [this](const std::wstring& path) { m_commands.files.LoadFileIntoNote(path); };
    MainCommands::AttachMenuIcons(MenuBar());
    m_notes.session.Open();
    m_notes.backups.BackUpIfDue();
    // A moment after the start, when the window is usually still in the tray.
    SetTimer(TIMER_WARM_SEARCH, kWarmSearchDelayMs);
    m_editor.SetFocus();
    return FALSE;  // the focus is set
}

void CTallyLeafDlg::LoadSettings() {
    AppFolders::Initialise();
    WarnIfPortableFolderIsReadOnly(m_hWnd);
    Profile::UseUnicodeFile();
    m_settings = Settings::Load();
    m_notes.session.SetDatabasePath(Settings::LoadDbPath());

    m_commands.tray.Start();
    m_commands.format.MakeEditor();
    // The bar between tree and editor, in place before the first layout.
    const UINT dpi = WindowDpi();
    // A position the bar can't be dragged to (a hand-edited file) would hide the tree or the editor.
    m_settings.m_nSplitterPos = std::clamp(m_settings.m_nSplitterPos, kSplitterMin, kSplitterMax);
    m_splitter.Create(m_hWnd, IDC_SPLITTER, Dpi::Scale(m_settings.m_nSplitterPos, dpi), Dpi::Scale(kSplitterMin, dpi),
                      Dpi::Scale(kSplitterMax, dpi), IDC_SIZEWE);

    if (!AppFolders::Portable())  // a portable copy leaves the registry alone
        IncrementLaunchCounter();

    const RECT r = PlaceOnScreen(Dpi::Scale(m_settings.m_rcWindow, dpi),
                                 {::GetSystemMetrics(SM_CXMINTRACK), ::GetSystemMetrics(SM_CYMINTRACK)});
    ::SetWindowPos(m_hWnd, HWND_TOP, r.left, r.top, r.right - r.left, r.bottom - r.top, 0);
    if (m_settings.m_bMaximized)
        ShowWindow(SW_SHOWMAXIMIZED);  // stays invisible until the first call-up

    m_commands.format.LoadFontAndColours();
    m_commands.insert.BuildMenu();
}

void CTallyLeafDlg::LayoutChildren() {
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    const int w = client.right;
    const int h = client.bottom;
    const int p = m_splitter.m_nPos;
    const int m = Dpi::Scale(kMargin, WindowDpi());
    ::LockWindowUpdate(m_hWnd);
    ::MoveWindow(m_tree, m, m, p - m, h - 2 * m, TRUE);
    ::MoveWindow(m_splitter, p, m, m, h - 2 * m, TRUE);
    ::MoveWindow(m_editor, p + m, m, w - p - 2 * m, h - 2 * m, TRUE);
    ::LockWindowUpdate(nullptr);
}

LRESULT CTallyLeafDlg::OnWindowPosChanging(WPARAM, LPARAM l) {
    if (!m_commands.tray.ShowAllowed())
        reinterpret_cast<WINDOWPOS*>(l)->flags &= ~SWP_SHOWWINDOW;
    return Default();
}

LRESULT CTallyLeafDlg::OnSize(WPARAM w, LPARAM) {
    LRESULT result = Default();
    if (w == SIZE_MINIMIZED)
        m_commands.tray.Hide();
    else if (m_editor.m_hWnd)
        LayoutChildren();
    return result;
}

LRESULT CTallyLeafDlg::OnDpiChanged(WPARAM w, LPARAM l) {
    const UINT before = WindowDpi();
    CNewDialog::OnDpiChanged(w, l);
    const UINT dpi = WindowDpi();
    m_splitter.m_nPos = Dpi::Rescale(m_splitter.m_nPos, before, dpi);
    m_splitter.m_nMin = Dpi::Scale(kSplitterMin, dpi);
    m_splitter.m_nMax = Dpi::Scale(kSplitterMax, dpi);
    m_commands.format.LoadFont();
    // The system's suggestion keeps the window's size on the new screen; the layout follows with WM_SIZE.
    const RECT& r = *reinterpret_cast<const RECT*>(l);
    ::SetWindowPos(m_hWnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
    LayoutChildren();
    return 0;
}

LRESULT CTallyLeafDlg::OnCtlColorEditor(WPARAM w, LPARAM l) {
    if (reinterpret_cast<HWND>(l) != m_editor.m_hWnd)
        return Default();
    return reinterpret_cast<LRESULT>(m_commands.format.ColourEditor(reinterpret_cast<HDC>(w)));
}

LRESULT CTallyLeafDlg::OnTimer(WPARAM w, LPARAM l) {
    NotesHost::Timer timer{};
    if (WindowNotesHost::SessionTimer(w, timer)) {
        if (timer != NotesHost::Timer::CheckForChanges || MayChangeTheTree(m_hWnd))
            m_notes.session.OnTimer(timer);
    } else if (w == TIMER_HIDE_DELAY) {
        m_commands.tray.Hide();
        KillTimer(TIMER_HIDE_DELAY);
    } else if (w == TIMER_WARM_SEARCH) {
        KillTimer(TIMER_WARM_SEARCH);
        m_commands.find.WarmUpSearch();
    }
    return CNewDialog::OnTimer(w, l);
}

void CTallyLeafDlg::OnOK() {
    // Enter never closes the main window.
}

void CTallyLeafDlg::OnCancel() {
    if (m_settings.m_bMinimizeOnClose) {
        m_commands.tray.Hide();
        return;
    }
    if (AppMessageBox(L"Do you want to close Tallyleaf?", nullptr, MB_YESNO | MB_ICONEXCLAMATION, m_hWnd) == IDYES)
        EndDialog(IDCANCEL);
}

LRESULT CTallyLeafDlg::OnDestroy(WPARAM w, LPARAM l) {
    SaveOnExit();
    m_commands.tray.UnregisterHotKey();
    m_commands.find.OnWindowDestroyed();
    return CNewDialog::OnDestroy(w, l);
}

LRESULT CTallyLeafDlg::OnQueryEndSession(WPARAM, LPARAM) {
    SaveOnExit();
    m_commands.tray.OnQueryEndSession();
    return Default();
}

LRESULT CTallyLeafDlg::OnEndSession(WPARAM w, LPARAM) {
    m_commands.tray.OnEndSession(w != FALSE);
    return Default();
}

void CTallyLeafDlg::SaveOnExit() {
    m_notes.session.SaveOnExit();
    m_notes.backups.Finish();
    m_commands.tray.RemoveIcon();
    UsageCounters::CountRun(m_commands.tray.CallUps());
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
    m_settings.m_nSplitterPos = Dpi::Unscale(m_splitter.m_nPos, dpi);
    m_settings.SavePlacement();
}

LRESULT CTallyLeafDlg::OnCloseForUpdate(WPARAM, LPARAM) {
    // Under a box or a dialog of its own the window is disabled: the user is
    // in the middle of something, and the program would only end once it is
    // answered, long after the installer gave up. The installer says so instead.
    if (!::IsWindowEnabled(m_hWnd))
        return 0;
    // No question: the installer waits for the window to go. The note, the
    // placement and the counters are written as the window goes (OnDestroy).
    EndDialog(IDOK);
    return 1;
}

bool CTallyLeafDlg::PreTranslateMessage(MSG* msg) {
    // An open Find or Replace dialog keeps its own keys (Tab, Enter, Esc) first.
    if (m_commands.find.PreTranslateMessage(msg))
        return true;
    if ((msg->hwnd == m_hWnd || ::IsChild(m_hWnd, msg->hwnd)) && m_keys.Take(*msg))
        return true;
    return CDialog::PreTranslateMessage(msg);
}

bool CTallyLeafDlg::RouteCommand(UINT id, HWND control) {
    return m_commands.Route(id, control);
}

// Each menu's items take their states as the menu opens.
LRESULT CTallyLeafDlg::OnInitMenuPopup(WPARAM w, LPARAM l) {
    HMENU popup = reinterpret_cast<HMENU>(w);
    const bool systemMenu = HIWORD(l) != 0;
    if (!systemMenu)
        m_commands.notes.ShowUndoDeleteText(popup);
    LRESULT result = CNewDialog::OnInitMenuPopup(w, l);
    if (!systemMenu)
        m_commands.ShowStates(popup);
    return result;
}

LRESULT CTallyLeafDlg::OnTrayCallback(WPARAM, LPARAM l) {
    m_commands.tray.OnTrayCallback(l);
    return 0;
}

LRESULT CTallyLeafDlg::OnTaskbarCreated(WPARAM, LPARAM) {
    m_commands.tray.OnTaskbarCreated();
    return 0;
}

LRESULT CTallyLeafDlg::OnHotKey(WPARAM, LPARAM) {
    m_commands.tray.OnHotKey();
    return 1;
}

LRESULT CTallyLeafDlg::OnActivate(WPARAM w, LPARAM) {
    LRESULT result = Default();
    m_commands.tray.OnActivate(w);
    return result;
}

LRESULT CTallyLeafDlg::OnApplyAlwaysOnTop(WPARAM, LPARAM) {
    m_commands.tray.ApplyAlwaysOnTop();
    return 0;
}

LRESULT CTallyLeafDlg::OnNoteSelChanged(NMHDR* hdr) {
    const auto* change = reinterpret_cast<const NMTREEVIEWW*>(hdr);
    m_notes.session.OnSelectionChanged(change->itemNew.hItem != nullptr, m_tree.NoteId(change->itemNew.hItem));
    return 0;
}

LRESULT CTallyLeafDlg::OnNoteMoved(NMHDR* hdr) {
    const auto* moved = reinterpret_cast<const NMNOTEMOVED*>(hdr);
    m_notes.session.OnNoteMoved(moved->noteId, moved->newParentId);
    return 0;
}

void CTallyLeafDlg::OnEditorChange(UINT) {
    // Text the program puts in to show a note is not typing.
    if (!m_editor.IsShowingText())
        m_notes.session.OnTyped();
}

LRESULT CTallyLeafDlg::OnFindReplaceMessage(WPARAM, LPARAM l) {
    m_commands.find.OnNotification(l);
    return 0;
}

void CTallyLeafDlg::OnInsertSnippet(UINT id) {
    m_commands.insert.Insert(id);
}

LRESULT CTallyLeafDlg::OnBackupDone(WPARAM, LPARAM l) {
    m_notes.backups.OnDone(l);
    return 0;
}

LRESULT CTallyLeafDlg::OnSearchWarmed(WPARAM, LPARAM l) {
    m_commands.find.OnSearchWarmed(l);
    return 0;
}
