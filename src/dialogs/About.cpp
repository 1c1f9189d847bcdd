#include "dialogs/About.h"

#include "shell/WebAddresses.h"
#include "res/resource.h"
#include "Version.h"

namespace {
// The version of the project() line in CMakeLists.txt, as the version resource has it.
constexpr const wchar_t* kVersion = L"" TALLYLEAF_VERSION;
constexpr const wchar_t* kReleaseDate = L"March 21, 2006";
constexpr COLORREF kWhite = RGB(255, 255, 255);
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
    return TRUE;
}

LRESULT CAbout::OnCtlColor(WPARAM w, LPARAM) {
    const LRESULT standard = Default();
    if (!m_brWhite)
        return standard;
    ::SetBkColor(reinterpret_cast<HDC>(w), kWhite);
    return reinterpret_cast<LRESULT>(m_brWhite.GetSafeHandle());
}
