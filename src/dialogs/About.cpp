#include "dialogs/About.h"

#include "shell/WebAddresses.h"
#include "framework/DC.h"
#include "framework/Dpi.h"
#include "res/resource.h"
#include "Version.h"

namespace {
// The version of the project() line in CMakeLists.txt, as the version resource has it.
constexpr const wchar_t* kVersion = L"" TALLYLEAF_VERSION;
constexpr const wchar_t* kReleaseDate = L"March 21, 2006";
constexpr COLORREF kWhite = RGB(255, 255, 255);

// `bitmap` drawn into `scaled` at `dpi` (its own size is for 96 dpi), smoothed.
bool ScalePicture(HBITMAP bitmap, UINT dpi, CBitmap& scaled) {
    BITMAP size{};
    if (!::GetObjectW(bitmap, sizeof size, &size))
        return false;
    const int cx = Dpi::Scale(size.bmWidth, dpi);
    const int cy = Dpi::Scale(size.bmHeight, dpi);
    CClientDC screen(nullptr);
    CMemoryDC from(screen), to(screen);
    if (!from || !to || !scaled.CreateCompatibleBitmap(screen, cx, cy))
        return false;
    CSelectObject source(from, bitmap);
    CSelectObject target(to, scaled);
    ::SetStretchBltMode(to, HALFTONE);
    ::SetBrushOrgEx(to, 0, 0, nullptr);
    return ::StretchBlt(to, 0, 0, cx, cy, from, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY) != FALSE;
}
}  // namespace

// clang-format off
DEFINE_MESSAGE_TABLE(CAbout, CDialog,
    OnMessage(WM_CTLCOLORMSGBOX, &CAbout::OnCtlColor),
    OnMessage(WM_CTLCOLOREDIT, &CAbout::OnCtlColor),
    OnMessage(WM_CTLCOLORLISTBOX, &CAbout::OnCtlColor),
    OnMessage(WM_CTLCOLORBTN, &CAbout::OnCtlColor),
    OnMessage(WM_CTLCOLORDLG, &CAbout::OnCtlColor),
    OnMessage(WM_CTLCOLORSCROLLBAR, &CAbout::OnCtlColor),
    OnMessage(WM_CTLCOLORSTATIC, &CAbout::OnCtlColor))
// clang-format on

CAbout::CAbout(HWND parent) : CDialog(IDD_ABOUTBOX, parent) {}

CAbout::~CAbout() {
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

std::wstring CAbout::VersionLine() {
    return std::wstring(L"Version ") + kVersion + L",  " + kReleaseDate;
}

void CAbout::DoDataExchange(CDataExchange& dx) {
    CDialog::DoDataExchange(dx);
    DDX_Control(dx, IDC_ABOUT_PRODUCT1, m_ClipkeeperLink);
    DDX_Control(dx, IDC_ABOUT_PRODUCT2, m_TimeslipLink);
    DDX_Control(dx, IDC_ABOUT_MAIL, m_MailLink);
    DDX_Control(dx, IDC_ABOUT_HOME_PAGE, m_HomePageLink);
    DDX_Control(dx, IDC_ABOUT_ARCHIVE, m_ArchiveLink);
}

BOOL CAbout::OnInitDialog() {
    CDialog::OnInitDialog();
    ::SetDlgItemTextW(m_hWnd, IDC_ABOUT_VERSION, VersionLine().c_str());
    m_MailLink.SetURL(WebAddresses::kSupportMail);
    m_HomePageLink.SetURL(WebAddresses::kHomePage);
    m_ArchiveLink.SetURL(WebAddresses::kSoftwareArchive);
    m_ClipkeeperLink.SetURL(WebAddresses::kClipkeeper);
    m_TimeslipLink.SetURL(WebAddresses::kTimeslip);
    m_brWhite.CreateSolidBrush(kWhite);
    ShowPictureAtScreenScale();
    return TRUE;
}

void CAbout::ShowPictureAtScreenScale() {
    const UINT dpi = Dpi::OfWindow(m_hWnd);
    HWND picture = ::GetDlgItem(m_hWnd, IDC_ABOUT_PICTURE);
    if (dpi == Dpi::kStandard || !picture)
        return;
    CBitmap original;
    original.Attach(static_cast<HBITMAP>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_ABOUT), IMAGE_BITMAP, 0, 0, 0)));
    if (!original || !ScalePicture(original, dpi, m_picture))
        return;  // the picture stays at its own size
    // The control gives back the bitmap it loaded from the template, which is now ours to delete.
    HGDIOBJ previous = reinterpret_cast<HGDIOBJ>(
        ::SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_picture.GetSafeHandle())));
    if (previous && previous != m_picture.GetSafeHandle())
        ::DeleteObject(previous);
}

LRESULT CAbout::OnCtlColor(WPARAM w, LPARAM) {
    const LRESULT standard = Default();
    if (!m_brWhite)
        return standard;
    ::SetBkColor(reinterpret_cast<HDC>(w), kWhite);
    return reinterpret_cast<LRESULT>(m_brWhite.GetSafeHandle());
}
