// The About box and its links as the user meets them: what the box shows, the
// links' addresses, tooltips, sizes and colours, hovering with the real
// pointer, clicks that open (through the shell or the browser registered for
// .htm files) and clicks that fail, and the hand cursor.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <memory>
#include <string>
#include <vector>

#include "dialogs/About.h"
#include "shell/HtmBrowser.h"
#include "controls/HyperLink.h"
#include "app/TestSeams.h"
#include "framework/AppMessageBox.h"
#include "framework/DC.h"
#include "framework/WindowText.h"
#include "res/resource.h"
#include "support/MainWindowFixture.h"
#include "support/ModalAnswer.h"
#include "support/Pump.h"
#include "support/RegistrySandbox.h"
#include "support/ShellProbes.h"
#include "support/TempDir.h"

namespace {
constexpr INT_PTR kOpened = 42;  // the shell's answer for success

// The colour a static control's text is drawn in: the parent is asked, as the
// control does while it paints (and reflects the question to a link).
COLORREF TextColour(HWND control) {
    CMemoryDC dc(nullptr);
    ::SendMessageW(::GetParent(control), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)),
                   reinterpret_cast<LPARAM>(control));
    return ::GetTextColor(dc);
}

LOGFONTW FontOf(HWND control) {
    LOGFONTW lf{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    return lf;
}

bool Underlined(HWND control) {
    return FontOf(control).lfUnderline != FALSE;
}

// The size of a control's text in its font, underlined as a link measures it.
SIZE UnderlinedTextSize(HWND control) {
    LOGFONTW lf = FontOf(control);
    lf.lfUnderline = TRUE;
    CFont font;
    font.CreateFontIndirect(lf);
    CClientDC dc(control);
    CSelectObject selected(dc, font);
    const std::wstring text = WindowText(control);
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size;
}

// A window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND control) {
    RECT rect;
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

LPARAM ClientCentre(HWND control) {
    RECT client;
    ::GetClientRect(control, &client);
    return MAKELPARAM(client.right / 2, client.bottom / 2);
}

void PutPointerOn(HWND control) {
    RECT rect;
    ::GetWindowRect(control, &rect);
    ::SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
}

// The pointer enters a link: the system's move to the link, as a real mouse sends it.
void Hover(HWND link) {
    PutPointerOn(link);
    ::PostMessageW(link, WM_MOUSEMOVE, 0, ClientCentre(link));
    PumpPending();
}

void Click(HWND link) {
    ::PostMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, ClientCentre(link));
    ::PostMessageW(link, WM_LBUTTONUP, 0, ClientCentre(link));
    PumpPending();
}

std::wstring SystemFolder() {
    wchar_t folder[MAX_PATH] = {};
    ::GetSystemDirectoryW(folder, MAX_PATH);
    return folder;
}

// Registers `command` as the open command of the browser for .htm files, in
// the sandboxed HKEY_CLASSES_ROOT.
void RegisterHtmBrowser(const std::wstring& command) {
    ::RegSetKeyValueW(HKEY_CLASSES_ROOT, L".htm", nullptr, REG_SZ, L"TallyleafTestPage", sizeof L"TallyleafTestPage");
    ::RegSetKeyValueW(HKEY_CLASSES_ROOT, L"TallyleafTestPage\\shell\\open\\command", nullptr, REG_SZ, command.c_str(),
                      static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
}

// A browser that "opens" an address by creating the file it names.
std::wstring FileCreatingBrowser() {
    return L"\"" + SystemFolder() + L"\\cmd.exe\" /c type nul > \"%1\"";
}

// Whether a browser a link started (FileCreatingBrowser's cmd.exe) still runs;
// a console host the system started beside it may outlive it, and is no browser.
bool ABrowserRuns() {
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more && !found; more = ::Process32NextW(snapshot, &entry))
        found = entry.th32ParentProcessID == ::GetCurrentProcessId() && ::lstrcmpiW(entry.szExeFile, L"cmd.exe") == 0;
    ::CloseHandle(snapshot);
    return found;
}

// What identifies a cursor's look: its hot spot and its mask's bits.
std::vector<BYTE> CursorLook(HCURSOR cursor) {
    ICONINFO info{};
    if (!cursor || !::GetIconInfo(cursor, &info))
        return {};
    BITMAP bm{};
    ::GetObjectW(info.hbmMask, sizeof bm, &bm);
    std::vector<BYTE> look(static_cast<size_t>(bm.bmWidthBytes) * static_cast<size_t>(bm.bmHeight));
    ::GetBitmapBits(info.hbmMask, static_cast<LONG>(look.size()), look.data());
    look.push_back(static_cast<BYTE>(info.xHotspot));
    look.push_back(static_cast<BYTE>(info.yHotspot));
    ::DeleteObject(info.hbmMask);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    return look;
}

// A window of the program's own framework holding static controls, which the
// tests make into links: it reflects their colour requests and clicks.
class LinkHost : public CWnd {
public:
    LinkHost() {
        const wchar_t* cls =
            RegisterClass(L"TallyleafTestLinkHost", CS_DBLCLKS, nullptr, ::GetSysColorBrush(COLOR_3DFACE));
        CreateEx(0, cls, L"Links", WS_POPUP | WS_VISIBLE, RECT{200, 200, 700, 450}, nullptr, 0);
    }
    ~LinkHost() override {
        if (m_hWnd)
            ::DestroyWindow(m_hWnd);
    }
    LinkHost(const LinkHost&) = delete;
    LinkHost& operator=(const LinkHost&) = delete;
};
}  // namespace

// Links on a window of their own, one per test case.
class HyperLinks : public ::testing::Test {
protected:
    void TearDown() override { TestSeams::SetWinHelpPath(L""); }

    // A static control with `text` and `style` made into a link; `url`, when
    // given, is set before the link is bound.
    CHyperLink& AddLink(const wchar_t* text, DWORD style, const RECT& rect, const wchar_t* url = nullptr) {
        HWND control = ::CreateWindowExW(0, L"STATIC", text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                                         rect.right - rect.left, rect.bottom - rect.top, host, nullptr,
                                         ::GetModuleHandleW(nullptr), nullptr);
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        links.push_back(std::make_unique<CHyperLink>());
        if (url)
            links.back()->SetURL(url);
        links.back()->Attach(control);
        return *links.back();
    }
    CHyperLink& AddLink(const wchar_t* url) { return AddLink(L"a link", 0, RECT{10, 10, 300, 30}, url); }

    TempDir dir;
    ModalAnswer modal;
    // The links go after their windows (the host is destroyed first).
    std::vector<std::unique_ptr<CHyperLink>> links;
    LinkHost host;
};

TEST_F(HyperLinks, TheAddressComesFromTheTextAndTheTooltipPutsTheProtocolInWords) {
    CHyperLink& www = AddLink(L"WWW.tallyleaf.example", 0, RECT{10, 10, 300, 30});
    EXPECT_EQ(www.GetURL(), L"http://WWW.tallyleaf.example");
    EXPECT_EQ(www.ToolTip().GetText(www, CHyperLink::kToolId), L"Go to WWW.tallyleaf.example");
    EXPECT_TRUE(www.IsNotifying()) << "clicks must reach the link";

    // An address set beforehand on a control without text becomes its text.
    CHyperLink& mail = AddLink(L"", 0, RECT{10, 40, 300, 60}, L"MailTo:me@tallyleaf.example");
    EXPECT_EQ(WindowText(mail), L"MailTo:me@tallyleaf.example");
    EXPECT_EQ(mail.ToolTip().GetText(mail, CHyperLink::kToolId), L"E-mail me@tallyleaf.example");

    CHyperLink& page = AddLink(L"HTTP://tallyleaf.example/a");
    EXPECT_EQ(WindowText(page), L"a link");
    EXPECT_EQ(page.ToolTip().GetText(page, CHyperLink::kToolId), L"Go to tallyleaf.example/a");
    page.SetToolTipPrefixes(false);
    EXPECT_EQ(page.ToolTip().GetText(page, CHyperLink::kToolId), L"HTTP://tallyleaf.example/a");

    CHyperLink& other = AddLink(L"ftp://tallyleaf.example/");
    EXPECT_EQ(other.ToolTip().GetText(other, CHyperLink::kToolId), L"ftp://tallyleaf.example/");
}

TEST_F(HyperLinks, TheLinkTakesTheSizeOfItsTextPlusItsFrame) {
    // Bordered, so the frame counts: one pixel on each side.
    const RECT box{20, 20, 320, 60};
    const CHyperLink& centred = AddLink(L"centred", WS_BORDER | SS_CENTER | SS_CENTERIMAGE, box);
    const CHyperLink& left = AddLink(L"left and top", WS_BORDER, RECT{20, 80, 320, 120});
    for (const CHyperLink* link : {&centred, &left}) {
        const SIZE text = UnderlinedTextSize(*link);
        const RECT rect = RectInParent(*link);
        EXPECT_EQ(rect.right - rect.left, text.cx + 2) << WindowText(*link);
        EXPECT_EQ(rect.bottom - rect.top, text.cy + 2) << WindowText(*link);
    }
    const RECT c = RectInParent(centred);
    EXPECT_NEAR((c.left + c.right) / 2.0, (box.left + box.right) / 2.0, 1.0);
    EXPECT_NEAR((c.top + c.bottom) / 2.0, (box.top + box.bottom) / 2.0, 1.0);
    const RECT l = RectInParent(left);
    EXPECT_EQ(l.left, 20);
    EXPECT_EQ(l.top, 80);
}

TEST_F(HyperLinks, HoveringUnderlinesAndReddensTheLinkUntilThePointerLeaves) {
    CHyperLink& link = AddLink(L"https://tallyleaf.example/");
    EXPECT_EQ(TextColour(link), CHyperLink::kLinkColour);
    EXPECT_FALSE(Underlined(link));

    Hover(link);
    EXPECT_TRUE(Underlined(link));
    EXPECT_EQ(TextColour(link), CHyperLink::kHoverColour);
    // While the pointer stays, the hover timer keeps the link lit (and ticks on).
    MessageWatch hoverTimer{link, WM_TIMER, MessageWatch::kAnyWParam};
    EXPECT_TRUE(PumpUntil([&] { return hoverTimer.seen >= 3; }, 5000, &hoverTimer));
    EXPECT_TRUE(link.IsOver());

    ::SetCursorPos(5, 5);
    ASSERT_TRUE(PumpUntil([&] { return !link.IsOver(); }, 2000));
    EXPECT_FALSE(Underlined(link));
    EXPECT_EQ(TextColour(link), CHyperLink::kLinkColour);
}

TEST_F(HyperLinks, AClickThatOpensTheAddressMarksTheLinkVisited) {
    ShellRequests shell(kOpened);
    CHyperLink& link = AddLink(L"https://tallyleaf.example/page");
    Hover(link);
    Click(link);

    ASSERT_EQ(shell.Requests().size(), 1u);
    const ShellRequests::Request& request = shell.Requests().front();
    EXPECT_EQ(request.file, L"https://tallyleaf.example/page");
    EXPECT_EQ(request.verb, L"open");
    EXPECT_FALSE(request.hasOwner || request.hasParameters || request.hasDirectory);
    EXPECT_EQ(request.show, SW_SHOW);
    EXPECT_TRUE(link.IsVisited());
    // The click ended the hover: the visited colour shows at once.
    EXPECT_EQ(TextColour(link), CHyperLink::kVisitedColour);
    EXPECT_TRUE(modal.Boxes().empty());
}

TEST_F(HyperLinks, AnAddressNothingCanOpenBeepsAndNamesTheReason) {
    RegistrySandbox classes(HKEY_CLASSES_ROOT);  // no browser registered for .htm
    std::vector<UINT> beeps;
    TestSeams::SetBeepObserver([&](UINT type) { beeps.push_back(type); });
    ShellRequests shell(kOpened);
    CHyperLink& link = AddLink(L"https://tallyleaf.example/page");
    Click(link);
    ASSERT_TRUE(link.IsVisited());

    const std::pair<INT_PTR, const wchar_t*> failures[] = {
        {SE_ERR_FNF, L"The specified file was not found."},
        {SE_ERR_NOASSOC, L"There is no application associated\nwith the given filename extension."},
        {12, L"Unknown Error (12) occurred."},
    };
    for (const auto& [code, reason] : failures) {
        shell.SetAnswer(code);
        Click(link);
        ASSERT_FALSE(modal.Boxes().empty());
        const ModalAnswer::Box& box = modal.Boxes().back();
        EXPECT_EQ(box.text, std::wstring(L"Unable to open hyperlink:\n\n") + reason);
        EXPECT_EQ(box.caption, AppName());
        EXPECT_EQ(box.icon, ModalAnswer::StockIcon(IDI_EXCLAMATION));
        EXPECT_FALSE(link.IsVisited());
        EXPECT_EQ(TextColour(link), CHyperLink::kLinkColour);
    }
    EXPECT_EQ(modal.Boxes().size(), 3u);
    EXPECT_EQ(beeps, std::vector<UINT>(3, MB_ICONEXCLAMATION));
    TestSeams::SetBeepObserver(nullptr);
}

TEST_F(HyperLinks, TheBrowserForHtmFilesOpensWhatTheShellCannot) {
    RegistrySandbox classes(HKEY_CLASSES_ROOT);
    RegisterHtmBrowser(FileCreatingBrowser());
    ShellRequests shell(SE_ERR_NOASSOC);
    const std::wstring page = dir.File(L"opened page.txt");
    CHyperLink& link = AddLink(page.c_str());
    Click(link);
    EXPECT_TRUE(PumpUntil([&] { return FileExists(page); }, 15000)) << "the browser did not get the address";
    EXPECT_TRUE(link.IsVisited());
    EXPECT_TRUE(modal.Boxes().empty());

    // A browser that cannot be started: its failure is the one reported.
    RegisterHtmBrowser(L"\"" + dir.File(L"browser.exe") + L"\" \"%1\"");
    CHyperLink& second = AddLink(L"https://tallyleaf.example/");
    Click(second);
    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_EQ(modal.Boxes()[0].text, L"Unable to open hyperlink:\n\nThe specified file was not found.");
    EXPECT_FALSE(second.IsVisited());
}

TEST_F(HyperLinks, AnAddressCannotAddCommandsToTheBrowsersCommandLine) {
    RegistrySandbox classes(HKEY_CLASSES_ROOT);
    RegisterHtmBrowser(FileCreatingBrowser());
    ShellRequests shell(SE_ERR_NOASSOC);
    const std::wstring injected = dir.File(L"injected.txt");
    const std::wstring escaped = dir.File(L"escaped.txt");
    // Unquoted, this would be a second command; quoted, it is a strange file name.
    CHyperLink& spaced = AddLink((dir.File(L"x") + L" & type nul > " + injected).c_str());
    // This one would end the quoted argument: it is refused, and the shell's failure shown.
    CHyperLink& quoted = AddLink((dir.File(L"y") + L"\" & type nul > \"" + escaped).c_str());
    Click(spaced);
    Click(quoted);
    ASSERT_EQ(modal.Boxes().size(), 1u);
    EXPECT_EQ(modal.Boxes()[0].text,
              L"Unable to open hyperlink:\n\nThere is no application associated\nwith the given filename extension.");

    // A harmless address through the same browser, to know the others had their time.
    const std::wstring done = dir.File(L"done.txt");
    Click(AddLink(done.c_str()));
    ASSERT_TRUE(PumpUntil([&] { return FileExists(done) && !ABrowserRuns(); }, 60000))
        << "page opened: " << FileExists(done) << ", a browser runs: " << ABrowserRuns();
    EXPECT_FALSE(FileExists(injected));
    EXPECT_FALSE(FileExists(escaped));
}

TEST(HtmBrowserCommandLine, TheAddressReplacesThePlaceholderAsOneQuotedArgument) {
    const std::wstring address = L"https://tallyleaf.example/a b";
    EXPECT_EQ(HtmBrowser::CommandLine(L"\"C:\\Web\\browser.exe\" \"%1\"", address),
              L"\"C:\\Web\\browser.exe\" \"https://tallyleaf.example/a b\"");
    EXPECT_EQ(HtmBrowser::CommandLine(L"C:\\Web\\browser.exe -new %1 -end", address),
              L"C:\\Web\\browser.exe -new \"https://tallyleaf.example/a b\"");
    EXPECT_EQ(HtmBrowser::CommandLine(L"C:\\Web\\browser.exe -nohome", address),
              L"C:\\Web\\browser.exe -nohome \"https://tallyleaf.example/a b\"");
    // Backslashes before the closing quotation mark stay backslashes.
    EXPECT_EQ(HtmBrowser::CommandLine(L"b.exe %1", L"C:\\pages\\"), L"b.exe \"C:\\pages\\\\\"");

    for (const wchar_t* refused : {L"https://x.example/\"", L"https://x.example/\r\nb.exe", L"a\nb"})
        EXPECT_EQ(HtmBrowser::CommandLine(L"b.exe \"%1\"", refused), L"") << refused;

    std::string ansi;
    EXPECT_TRUE(HtmBrowser::ToAnsi(L"b.exe \"https://x.example/\"", ansi));
    EXPECT_EQ(ansi, "b.exe \"https://x.example/\"");
    // A full-width quotation mark would become a plain one by best fit.
    EXPECT_FALSE(HtmBrowser::ToAnsi(L"b.exe \"https://x.example/\xFF02 & c.exe\"", ansi));
    EXPECT_FALSE(HtmBrowser::ToAnsi(L"b.exe \"https://x.example/\x4E2D\"", ansi));
}

TEST_F(HyperLinks, WithoutWinHelpsHandTheLinkShowsTheSystemsHand) {
    TestSeams::SetWinHelpPath(dir.File(L"winhlp32.exe"));  // no such file
    CHyperLink& link = AddLink(L"https://tallyleaf.example/");
    ::SetCursor(::LoadCursorW(nullptr, IDC_ARROW));
    EXPECT_TRUE(
        link.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(link.m_hWnd), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    const std::vector<BYTE> shown = CursorLook(::GetCursor());
    EXPECT_EQ(shown, CursorLook(::LoadCursorW(nullptr, IDC_HAND)));
    EXPECT_NE(shown, CursorLook(::LoadCursorW(nullptr, IDC_ARROW)));
}

// The About box, opened modeless so that the tests can look at it.
class AboutBox : public ::testing::Test {
protected:
    void SetUp() override {
        modal.Answer([](HWND) { return 0; });  // the box itself stays open
        ASSERT_TRUE(about.Create());
        PumpPending();
    }

    CHyperLink& Link(int id) {
        auto* link = dynamic_cast<CHyperLink*>(CWnd::FromHandle(about.GetDlgItem(id)));
        EXPECT_NE(link, nullptr) << "control " << id << " is no link";
        return *link;
    }
    // A rectangle of the template, in the box's pixels.
    RECT TemplateRect(int x, int y, int width, int height) {
        RECT rect{x, y, x + width, y + height};
        ::MapDialogRect(about, &rect);
        return rect;
    }

    ModalAnswer modal;
    CAbout about;
};

TEST_F(AboutBox, ItShowsTheVersionAndFiveLinks) {
    EXPECT_EQ(WindowText(about.GetDlgItem(IDC_ABOUT_VERSION)), L"Version 2.2,  March 21, 2006");
    EXPECT_EQ(WindowText(about.GetDlgItem(IDC_ABOUT_NAME)), L"Tallyleaf");
    EXPECT_NE(::SendMessageW(about.GetDlgItem(IDC_ABOUT_PICTURE), STM_GETIMAGE, IMAGE_BITMAP, 0), 0);
    EXPECT_EQ(WindowText(about), L"") << "the box has no caption";

    struct Expected {
        int id;
        const wchar_t* address;
        std::wstring tip;
    };
    const Expected expected[] = {
        {IDC_ABOUT_MAIL, L"mailto:support@tallyleaf.example", L"E-mail support@tallyleaf.example"},
        {IDC_ABOUT_HOME_PAGE, L"https://tallyleaf.example/", L"Go to tallyleaf.example/"},
        {IDC_ABOUT_PRODUCT1, L"https://tallyleaf.example/clipkeeper", L"Go to tallyleaf.example/clipkeeper"},
        {IDC_ABOUT_PRODUCT2, L"https://tallyleaf.example/timeslip", L"Go to tallyleaf.example/timeslip"},
        {IDC_ABOUT_ARCHIVE, L"https://software-archive.example/", L"Go to software-archive.example/"},
    };
    for (const Expected& e : expected) {
        CHyperLink& link = Link(e.id);
        EXPECT_EQ(link.GetURL(), e.address);
        EXPECT_EQ(link.ToolTip().GetText(link, CHyperLink::kToolId), e.tip);
        EXPECT_EQ(TextColour(link), CHyperLink::kLinkColour);
    }
    EXPECT_EQ(WindowText(Link(IDC_ABOUT_MAIL)), L"support@tallyleaf.example");
    EXPECT_EQ(WindowText(Link(IDC_ABOUT_ARCHIVE)), L"Nice software archive");
}

TEST_F(AboutBox, LinksFitTheirTextsAroundTheirPlaces) {
    // The home page link is centred both ways on its place; a product link
    // keeps its left edge and its vertical centre.
    const RECT home = TemplateRect(131, 73, 133, 8);
    const RECT homeLink = RectInParent(Link(IDC_ABOUT_HOME_PAGE));
    EXPECT_NEAR((homeLink.left + homeLink.right) / 2.0, (home.left + home.right) / 2.0, 1.0);
    EXPECT_NEAR((homeLink.top + homeLink.bottom) / 2.0, (home.top + home.bottom) / 2.0, 1.0);
    const RECT product = TemplateRect(15, 97, 251, 11);
    const RECT productLink = RectInParent(Link(IDC_ABOUT_PRODUCT1));
    EXPECT_EQ(productLink.left, product.left);
    EXPECT_NEAR((productLink.top + productLink.bottom) / 2.0, (product.top + product.bottom) / 2.0, 1.0);
    const SIZE text = UnderlinedTextSize(Link(IDC_ABOUT_PRODUCT1));
    EXPECT_EQ(productLink.right - productLink.left, text.cx);
    EXPECT_EQ(productLink.bottom - productLink.top, text.cy);
}

TEST_F(AboutBox, EverythingIsDrawnOnWhite) {
    const COLORREF white = RGB(255, 255, 255);
    CMemoryDC dc(nullptr);
    // The box's own background and a plain text's.
    for (const auto& [message, control] :
         {std::pair<UINT, HWND>{WM_CTLCOLORDLG, about.m_hWnd},
          std::pair<UINT, HWND>{WM_CTLCOLORSTATIC, about.GetDlgItem(IDC_ABOUT_VERSION)}}) {
        auto brush = reinterpret_cast<HBRUSH>(about.SendMessage(message, reinterpret_cast<WPARAM>(static_cast<HDC>(dc)),
                                                                reinterpret_cast<LPARAM>(control)));
        LOGBRUSH lb{};
        ASSERT_TRUE(::GetObjectW(brush, sizeof lb, &lb));
        EXPECT_EQ(lb.lbColor, white);
        EXPECT_EQ(::GetBkColor(dc), white);
    }
    // A link's background, drawn on a bitmap that starts black.
    CHyperLink& link = Link(IDC_ABOUT_HOME_PAGE);
    CGdiObject<HBITMAP> bitmap(::CreateCompatibleBitmap(CClientDC(nullptr), 8, 8));
    CSelectObject selected(dc, bitmap);
    ::PatBlt(dc, 0, 0, 8, 8, BLACKNESS);
    link.EraseBackground(dc);
    EXPECT_EQ(::GetPixel(dc, 3, 3), white);
}

// Help > About runs the box modally over the main window; the box's own loop
// hands the links their messages, so a link's tooltip shows under the pointer.
class AboutCommand : public MainWindowTest {
protected:
    static void CALLBACK Step(HWND, UINT, UINT_PTR timer, DWORD);

    struct Watch {
        HWND box = nullptr;
        HWND owner = nullptr;
        bool ownerDisabled = false;
        bool tipShown = false;
        int ticks = 0;
    };
    static Watch s_watch;
};

AboutCommand::Watch AboutCommand::s_watch;

void CALLBACK AboutCommand::Step(HWND, UINT, UINT_PTR timer, DWORD) {
    Watch& w = s_watch;
    auto* link = dynamic_cast<CHyperLink*>(CWnd::FromHandle(::GetDlgItem(w.box, IDC_ABOUT_HOME_PAGE)));
    if (++w.ticks == 1 && link) {
        w.ownerDisabled = !::IsWindowEnabled(w.owner);
        // As Hover does, without pumping here: the box's loop delivers the move.
        PutPointerOn(*link);
        ::PostMessageW(*link, WM_MOUSEMOVE, 0, ClientCentre(*link));
        return;
    }
    w.tipShown = link && link->ToolTip().IsWindowVisible();
    // About five seconds at most.
    if (w.tipShown || !link || w.ticks > 250) {
        ::KillTimer(nullptr, timer);
        ::PostMessageW(w.box, WM_COMMAND, IDOK, 0);
    }
}

TEST_F(AboutCommand, HelpAboutShowsTheBoxModallyWithTipsOverItsLinks) {
    Start();
    s_watch = Watch{};
    s_watch.owner = dlg->m_hWnd;
    modal.Answer([](HWND box) {
        s_watch.box = box;
        ::SetTimer(nullptr, 0, 20, &AboutCommand::Step);
        return 0;
    });
    Command(ID_HELP_ABOUT);

    ASSERT_NE(s_watch.box, nullptr) << "no box was shown";
    EXPECT_FALSE(::IsWindow(s_watch.box)) << "the box is destroyed when it closes";
    EXPECT_TRUE(s_watch.ownerDisabled);
    EXPECT_TRUE(s_watch.tipShown);
    EXPECT_TRUE(::IsWindowEnabled(dlg->m_hWnd));
}
