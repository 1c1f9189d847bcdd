// The one-line text entry window that asks for the names of notes: what it
// shows, how it answers the keyboard, what Show returns and where the focus
// goes afterwards. Each window is answered from inside its own modal loop.
#include <gtest/gtest.h>
#include <windows.h>

#include <array>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "dialogs/TextEntryDlg.h"
#include "framework/WinApp.h"
#include "framework/WindowText.h"
#include "support/ModalAnswer.h"
#include "support/Pump.h"

namespace {
using Step = TextEntryAnswer::Step;

// Stands in for the main window: a visible top-level window with two edit
// controls, whose pre-translation takes Escape as the main window's does.
class OwnerWindow : public CWnd {
public:
    ~OwnerWindow() override {
        if (m_hWnd)
            ::DestroyWindow(m_hWnd);
    }

    bool Create(const RECT& rect) {
        const wchar_t* cls =
            RegisterClass(L"TallyleafTestOwner", CS_DBLCLKS, nullptr, ::GetSysColorBrush(COLOR_WINDOW));
        if (!CreateEx(0, cls, L"Owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, rect, nullptr, 0))
            return false;
        first = AddEdit(101, 10);
        second = AddEdit(102, 40);
        return first && second;
    }

    bool PreTranslateMessage(MSG* msg) override {
        if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST)
            return false;
        ++keysSeen;
        return msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE;
    }

    HWND first = nullptr;
    HWND second = nullptr;
    int keysSeen = 0;
    int ticks = 0;

private:
    HWND AddEdit(int id, int top) {
        return ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"text", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, top, 200,
                                 22, m_hWnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 ::GetModuleHandleW(nullptr), nullptr);
    }
    LRESULT OnTimer(WPARAM, LPARAM) {
        ++ticks;
        return 0;
    }

    DECLARE_MESSAGE_TABLE()
};

// clang-format off
DEFINE_MESSAGE_TABLE(OwnerWindow, CWnd, OnMessage(WM_TIMER, &OwnerWindow::OnTimer))
// clang-format on

class TestApp : public CWinApp {
public:
    bool InitInstance() override { return false; }
};

using Edges = std::array<LONG, 4>;  // left, top, right, bottom

// A child's rectangle in its parent's client area.
Edges ClientRectOf(HWND child) {
    RECT r;
    ::GetWindowRect(child, &r);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right, r.bottom};
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    return name;
}

DWORD StyleOf(HWND hwnd) {
    return static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_STYLE));
}

DWORD ButtonType(HWND button) {
    return StyleOf(button) & BS_TYPEMASK;
}

HWND OpenTextEntryWindow() {
    return ::FindWindowW(CTextEntryDlg::kClassName, nullptr);
}

// While it lives, refuses the creation of the windows `refuse` names, as a
// system out of resources would.
class CreationVeto {
public:
    explicit CreationVeto(std::function<bool(HWND)> refuse) {
        s_refuse = std::move(refuse);
        m_hook = ::SetWindowsHookExW(WH_CBT, &CreationVeto::Proc, nullptr, ::GetCurrentThreadId());
    }
    ~CreationVeto() {
        if (m_hook)
            ::UnhookWindowsHookEx(m_hook);
        s_refuse = nullptr;
    }
    CreationVeto(const CreationVeto&) = delete;
    CreationVeto& operator=(const CreationVeto&) = delete;
    bool Active() const { return m_hook != nullptr; }

private:
    static LRESULT CALLBACK Proc(int code, WPARAM w, LPARAM l) {
        if (code == HCBT_CREATEWND && s_refuse && s_refuse(reinterpret_cast<HWND>(w)))
            return 1;
        return ::CallNextHookEx(nullptr, code, w, l);
    }
    static inline std::function<bool(HWND)> s_refuse;
    HHOOK m_hook = nullptr;
};
}  // namespace

class TextEntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(owner.Create(kOwnerRect));
        ::SetActiveWindow(owner);
        ::SetFocus(owner.second);
        PumpPending();
        ASSERT_EQ(::GetFocus(), owner.second);
    }

    // Shows the window over the owner with the add-note texts, answered by `steps`.
    int ShowAnswered(std::vector<Step> steps, const std::wstring& initialText = L"New Note",
                     const std::wstring& prompt = L"Enter Name:") {
        answer.Script(std::move(steps));
        return dlg.Show(owner, L"Add New Note", prompt, initialText);
    }

    const TextEntryAnswer::Window& Seen() {
        static const TextEntryAnswer::Window none;
        return answer.Windows().empty() ? none : answer.Windows().back();
    }

    static constexpr RECT kOwnerRect = {200, 150, 800, 550};
    OwnerWindow owner;
    ModalAnswer modal;
    TextEntryAnswer& answer = modal.Names();
    CTextEntryDlg dlg;
};

// --- What the window looks like ---------------------------------------------

class TextEntryLook : public TextEntryTest {};

TEST_F(TextEntryLook, WindowHasItsCaptionSizeAndFrameAndIsCentredOverItsOwner) {
    RECT frame{};
    DWORD style = 0, exStyle = 0;
    UINT classStyle = 0;
    HCURSOR cursor = nullptr;
    int result = ShowAnswered({[&](HWND w) {
        ::GetWindowRect(w, &frame);
        style = StyleOf(w);
        exStyle = static_cast<DWORD>(::GetWindowLongW(w, GWL_EXSTYLE));
        classStyle = static_cast<UINT>(::GetClassLongPtrW(w, GCL_STYLE));
        cursor = reinterpret_cast<HCURSOR>(::GetClassLongPtrW(w, GCLP_HCURSOR));
        TextEntryAnswer::PressKey(w, VK_ESCAPE);
    }});
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(Seen().caption, L"Add New Note");
    EXPECT_EQ(Seen().owner, owner.m_hWnd);
    EXPECT_EQ(frame.right - frame.left, 348);
    EXPECT_EQ(frame.bottom - frame.top, ::GetSystemMetrics(SM_CYCAPTION) + 100);
    EXPECT_NEAR((frame.left + frame.right) / 2, (kOwnerRect.left + kOwnerRect.right) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, (kOwnerRect.top + kOwnerRect.bottom) / 2, 1);

    EXPECT_EQ(style & (WS_POPUP | WS_CAPTION | WS_SYSMENU), static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_CHILD), 0u);
    EXPECT_TRUE(exStyle & WS_EX_DLGMODALFRAME);
    EXPECT_EQ(classStyle & (CS_HREDRAW | CS_VREDRAW), static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(cursor, ::LoadCursorW(nullptr, IDC_ARROW));
}

TEST_F(TextEntryLook, ControlsSitInPlaceWithTheirTextsIdsAndStyles) {
    std::vector<HWND> children;
    int result = ShowAnswered({[&](HWND w) {
        for (HWND c = ::GetWindow(w, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
            children.push_back(c);
        ASSERT_EQ(children.size(), 4u);
        HWND prompt = children[0], ok = children[1], cancel = children[2], field = children[3];

        EXPECT_EQ(ClassOf(prompt), L"Static");
        EXPECT_EQ(::GetDlgCtrlID(prompt), 0xFFFF);
        EXPECT_EQ(ClientRectOf(prompt), (Edges{6, 6, 340, 35}));
        EXPECT_EQ(WindowText(prompt), L"Enter Name:");
        EXPECT_TRUE(StyleOf(prompt) & WS_VISIBLE);

        EXPECT_EQ(ClassOf(ok), L"Button");
        EXPECT_EQ(::GetDlgCtrlID(ok), IDOK);
        EXPECT_EQ(ClientRectOf(ok), (Edges{188, 62, 258, 85}));
        EXPECT_EQ(WindowText(ok), L"OK");
        EXPECT_EQ(ButtonType(ok), static_cast<DWORD>(BS_DEFPUSHBUTTON));
        EXPECT_TRUE(StyleOf(ok) & WS_TABSTOP);

        EXPECT_EQ(ClassOf(cancel), L"Button");
        EXPECT_EQ(::GetDlgCtrlID(cancel), IDCANCEL);
        EXPECT_EQ(ClientRectOf(cancel), (Edges{265, 62, 335, 85}));
        EXPECT_EQ(WindowText(cancel), L"Cancel");
        EXPECT_EQ(ButtonType(cancel), static_cast<DWORD>(BS_PUSHBUTTON));
        EXPECT_TRUE(StyleOf(cancel) & WS_TABSTOP);

        EXPECT_EQ(ClassOf(field), L"Edit");
        EXPECT_EQ(::GetDlgCtrlID(field), 11);
        EXPECT_EQ(ClientRectOf(field), (Edges{6, 36, 335, 57}));
        EXPECT_EQ(WindowText(field), L"New Note");
        EXPECT_TRUE(StyleOf(field) & ES_AUTOHSCROLL);
        EXPECT_FALSE(StyleOf(field) & ES_MULTILINE);
        EXPECT_TRUE(StyleOf(field) & WS_TABSTOP);
        EXPECT_TRUE(::GetWindowLongW(field, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        TextEntryAnswer::PressKey(w, VK_ESCAPE);
    }});
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(children.size(), 4u);
}

TEST_F(TextEntryLook, ControlsShowEightPointMsSansSerifAndTheFontGoesWithTheWindow) {
    std::vector<HFONT> fonts;
    LOGFONTW lf{};
    std::wstring realised;
    int result = ShowAnswered({[&](HWND w) {
        for (HWND c = ::GetWindow(w, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT))
            fonts.push_back(reinterpret_cast<HFONT>(::SendMessageW(c, WM_GETFONT, 0, 0)));
        ASSERT_FALSE(fonts.empty());
        ::GetObjectW(fonts[0], sizeof lf, &lf);
        HDC dc = ::GetDC(w);
        HGDIOBJ old = ::SelectObject(dc, fonts[0]);
        wchar_t face[LF_FACESIZE] = {};
        ::GetTextFaceW(dc, LF_FACESIZE, face);
        realised = face;
        ::SelectObject(dc, old);
        ::ReleaseDC(w, dc);
        TextEntryAnswer::PressKey(w, VK_ESCAPE);
    }});
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_EQ(fonts.size(), 4u);
    for (HFONT font : fonts)
        EXPECT_EQ(font, fonts[0]);
    ASSERT_NE(fonts[0], nullptr);
    EXPECT_STREQ(lf.lfFaceName, L"MS Sans Serif");
    HDC screen = ::GetDC(nullptr);
    EXPECT_EQ(lf.lfHeight, -::MulDiv(8, ::GetDeviceCaps(screen, LOGPIXELSY), 72));
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(realised, L"MS Sans Serif");
    EXPECT_EQ(::GetObjectType(fonts[0]), 0u) << "the font outlived the window";
}

TEST_F(TextEntryLook, BackgroundIsPaintedInTheButtonFaceColour) {
    COLORREF painted = CLR_INVALID;
    LRESULT erased = 0;
    ShowAnswered({[&](HWND w) {
        HDC screen = ::GetDC(nullptr);
        HDC mem = ::CreateCompatibleDC(screen);
        HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 16, 16);
        HGDIOBJ old = ::SelectObject(mem, bitmap);
        RECT all = {0, 0, 16, 16};
        HBRUSH other = ::CreateSolidBrush(RGB(1, 2, 3));
        ::FillRect(mem, &all, other);
        erased = ::SendMessageW(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(mem), 0);
        painted = ::GetPixel(mem, 8, 8);
        ::SelectObject(mem, old);
        ::DeleteObject(other);
        ::DeleteObject(bitmap);
        ::DeleteDC(mem);
        ::ReleaseDC(nullptr, screen);
        TextEntryAnswer::PressKey(w, VK_ESCAPE);
    }});
    EXPECT_NE(erased, 0);
    EXPECT_EQ(painted, ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(TextEntryLook, AmpersandsInThePromptAreDrawnAsTheyAre) {
    const std::wstring prompt = L"Fish && &Chips:";
    int inkRight = -1, literalWidth = 0, prefixedWidth = 0;
    int result = ShowAnswered(
        {[&](HWND w) {
            HWND label = ::GetDlgItem(w, 0xFFFF);
            RECT rc;
            ::GetClientRect(label, &rc);
            HDC screen = ::GetDC(nullptr);
            HDC mem = ::CreateCompatibleDC(screen);
            HBITMAP bitmap = ::CreateCompatibleBitmap(screen, rc.right, rc.bottom);
            HGDIOBJ oldBitmap = ::SelectObject(mem, bitmap);
            ::SendMessageW(label, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT);
            // The background is what the last column shows; ink is anything else.
            const COLORREF background = ::GetPixel(mem, rc.right - 1, rc.bottom - 1);
            for (int x = 0; x < rc.right; ++x)
                for (int y = 0; y < rc.bottom; ++y)
                    if (::GetPixel(mem, x, y) != background)
                        inkRight = x;
            HGDIOBJ oldFont = ::SelectObject(mem, reinterpret_cast<HFONT>(::SendMessageW(label, WM_GETFONT, 0, 0)));
            SIZE size;
            ::GetTextExtentPoint32W(mem, prompt.c_str(), static_cast<int>(prompt.size()), &size);
            literalWidth = size.cx;
            const std::wstring prefixed = L"Fish & Chips:";
            ::GetTextExtentPoint32W(mem, prefixed.c_str(), static_cast<int>(prefixed.size()), &size);
            prefixedWidth = size.cx;
            ::SelectObject(mem, oldFont);
            ::SelectObject(mem, oldBitmap);
            ::DeleteObject(bitmap);
            ::DeleteDC(mem);
            ::ReleaseDC(nullptr, screen);
            TextEntryAnswer::PressKey(w, VK_ESCAPE);
        }},
        L"New Note", prompt);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(Seen().prompt, prompt);
    ASSERT_GT(literalWidth, prefixedWidth);
    // Drawn as mnemonics, the three ampersands would leave one, and the text
    // would end near the shorter width.
    EXPECT_GT(inkRight, (literalWidth + prefixedWidth) / 2);
    EXPECT_LE(inkRight, literalWidth + 1);
}

TEST_F(TextEntryLook, WithoutAShownOwnerItIsCentredOnTheWorkArea) {
    ::ShowWindow(owner, SW_HIDE);
    RECT frame{};
    ShowAnswered({[&](HWND w) {
        ::GetWindowRect(w, &frame);
        TextEntryAnswer::PressKey(w, VK_ESCAPE);
    }});
    RECT work;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((frame.left + frame.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, (work.top + work.bottom) / 2, 1);
}

TEST_F(TextEntryLook, OverAnOwnerAtTheScreensEdgeItStaysWholeOnScreen) {
    RECT work;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    ::SetWindowPos(owner, nullptr, work.right - 100, work.bottom - 60, 200, 120, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT frame{};
    ShowAnswered({[&](HWND w) {
        ::GetWindowRect(w, &frame);
        TextEntryAnswer::PressKey(w, VK_ESCAPE);
    }});
    EXPECT_EQ(frame.right, work.right);
    EXPECT_EQ(frame.bottom, work.bottom);
    EXPECT_EQ(frame.right - frame.left, 348);
}

// --- Typing, OK and the keyboard --------------------------------------------

class TextEntryKeys : public TextEntryTest {};

TEST_F(TextEntryKeys, InitialTextIsSelectedWholeAndTypingReplacesIt) {
    answer.Type(L"Shopping");
    EXPECT_EQ(dlg.Show(owner, L"Rename Note", L"Enter new name:", L"Old name"), IDOK);
    EXPECT_EQ(dlg.GetText(), L"Shopping");
    ASSERT_EQ(answer.Windows().size(), 1u);
    const auto& seen = answer.Windows()[0];
    EXPECT_EQ(seen.caption, L"Rename Note");
    EXPECT_EQ(seen.prompt, L"Enter new name:");
    EXPECT_EQ(seen.text, L"Old name");
    EXPECT_EQ(seen.selStart, 0);
    EXPECT_EQ(seen.selEnd, 8);
    EXPECT_TRUE(seen.fieldHasFocus);
    EXPECT_TRUE(seen.okEnabled);
    EXPECT_FALSE(seen.leftOpen);
}

TEST_F(TextEntryKeys, ClearingTheFieldDisablesOkAndEnterUntilOneCharacterIsTyped) {
    bool okAfterClear = true, openAfterEnter = false, openAfterCommand = false, okAfterTyping = false;
    int result = ShowAnswered({
        [](HWND w) { TextEntryAnswer::TypeChars(w, L"\b"); },
        [&](HWND w) {
            okAfterClear = ::IsWindowEnabled(TextEntryAnswer::Button(w, IDOK));
            TextEntryAnswer::PressKey(w, VK_RETURN);
        },
        [&](HWND w) {
            openAfterEnter = ::IsWindowVisible(w);
            // However OK's command arrives, an empty name is not taken.
            ::PostMessageW(w, WM_COMMAND, IDOK, 0);
        },
        [&](HWND w) {
            openAfterCommand = ::IsWindowVisible(w);
            TextEntryAnswer::TypeChars(w, L"x");
        },
        [&](HWND w) {
            okAfterTyping = ::IsWindowEnabled(TextEntryAnswer::Button(w, IDOK));
            TextEntryAnswer::PressKey(w, VK_RETURN);
        },
    });
    EXPECT_FALSE(okAfterClear);
    EXPECT_TRUE(openAfterEnter);
    EXPECT_TRUE(openAfterCommand);
    EXPECT_TRUE(okAfterTyping);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dlg.GetText(), L"x");
}

TEST_F(TextEntryKeys, EmptyInitialTextStartsWithOkDisabledAndCannotBeConfirmed) {
    answer.Accept();
    EXPECT_EQ(dlg.Show(owner, L"Add New Note", L"Enter Name:", L""), IDCANCEL);
    ASSERT_EQ(answer.Windows().size(), 1u);
    EXPECT_FALSE(answer.Windows()[0].okEnabled);
    EXPECT_TRUE(answer.Windows()[0].leftOpen) << "Enter closed a window with an empty field";
}

TEST_F(TextEntryKeys, TextOfSpacesOnlyIsAccepted) {
    bool okEnabled = false;
    int result = ShowAnswered({[](HWND w) { TextEntryAnswer::TypeChars(w, L"   "); },
                               [&](HWND w) {
                                   okEnabled = ::IsWindowEnabled(TextEntryAnswer::Button(w, IDOK));
                                   TextEntryAnswer::PressKey(w, VK_RETURN);
                               }});
    EXPECT_TRUE(okEnabled);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(dlg.GetText(), L"   ");
}

TEST_F(TextEntryKeys, TabAndShiftTabCycleThroughFieldOkAndCancel) {
    std::vector<HWND> focus;
    std::vector<bool> okIsDefault;  // OK drawn as the button Enter presses
    auto press = [&](UINT vk, bool shift) {
        return [&focus, &okIsDefault, vk, shift](HWND w) {
            focus.push_back(::GetFocus());
            okIsDefault.push_back(ButtonType(TextEntryAnswer::Button(w, IDOK)) == BS_DEFPUSHBUTTON);
            TextEntryAnswer::PressKey(w, vk, shift);
        };
    };
    HWND field = nullptr, ok = nullptr, cancel = nullptr;
    int result = ShowAnswered({[&](HWND w) {
                                   field = TextEntryAnswer::Field(w);
                                   ok = TextEntryAnswer::Button(w, IDOK);
                                   cancel = TextEntryAnswer::Button(w, IDCANCEL);
                               },
                               press(VK_TAB, false), press(VK_TAB, false), press(VK_TAB, false), press(VK_TAB, true),
                               press(VK_TAB, true), press(VK_TAB, true), press(VK_TAB, true), press(VK_RETURN, false)});
    ASSERT_EQ(focus.size(), 8u);
    // Forwards field, OK, Cancel, field; then backwards Cancel, OK, field, Cancel.
    const std::vector<HWND> expected = {field, ok, cancel, field, cancel, ok, field, cancel};
    EXPECT_EQ(focus, expected);
    // Whenever the focus is not on Cancel, OK is the default button again.
    EXPECT_EQ(okIsDefault, (std::vector<bool>{true, true, false, true, false, true, true, false}));
    EXPECT_EQ(result, IDCANCEL) << "Enter on the focused Cancel button cancels";
}

TEST_F(TextEntryKeys, LongInitialTextIsScrolledToShowTheCaretAtItsEnd) {
    const std::wstring text = std::wstring(120, L'W') + L"end";
    int lastX = -1, firstX = 0, width = 0;
    ShowAnswered({[&](HWND w) {
                     HWND field = TextEntryAnswer::Field(w);
                     RECT client;
                     ::GetClientRect(field, &client);
                     width = client.right;
                     LRESULT last = ::SendMessageW(field, EM_POSFROMCHAR, text.size() - 1, 0);
                     LRESULT first = ::SendMessageW(field, EM_POSFROMCHAR, 0, 0);
                     lastX = static_cast<short>(LOWORD(last));
                     firstX = static_cast<short>(LOWORD(first));
                     TextEntryAnswer::PressKey(w, VK_ESCAPE);
                 }},
                 text);
    EXPECT_GE(lastX, 0);
    EXPECT_LT(lastX, width);
    EXPECT_LT(firstX, 0) << "the start of the text should have scrolled out of view";
}

// --- What Show returns -------------------------------------------------------

class TextEntryResult : public TextEntryTest {};

TEST_F(TextEntryResult, OkButtonAndEnterConfirmWithTheTextAsTyped) {
    const std::wstring name = L"O'Brien & S\u00f8n \u2014 \u6771\u4eac";
    int clicked = ShowAnswered({[&](HWND w) { TextEntryAnswer::TypeChars(w, name); },
                                [](HWND w) { ::SendMessageW(TextEntryAnswer::Button(w, IDOK), BM_CLICK, 0, 0); }});
    EXPECT_EQ(clicked, IDOK);
    EXPECT_EQ(dlg.GetText(), name);

    answer.Accept();
    EXPECT_EQ(dlg.Show(owner, L"Add New Note", L"Enter Name:", L"New Note"), IDOK);
    EXPECT_EQ(dlg.GetText(), L"New Note");
    EXPECT_EQ(OpenTextEntryWindow(), nullptr);
}

TEST_F(TextEntryResult, CancelEscapeAndTheCloseBoxAllCancelAndKeepTheFieldsText) {
    const std::vector<std::pair<const char*, Step>> ways = {
        {"Cancel button", [](HWND w) { ::SendMessageW(TextEntryAnswer::Button(w, IDCANCEL), BM_CLICK, 0, 0); }},
        {"Escape", [](HWND w) { TextEntryAnswer::PressKey(w, VK_ESCAPE); }},
        {"close box", [](HWND w) { ::PostMessageW(w, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& [how, step] : ways) {
        const std::wstring typed(how, how + strlen(how));
        int result = ShowAnswered({[typed](HWND w) { TextEntryAnswer::TypeChars(w, typed); }, step});
        EXPECT_EQ(result, IDCANCEL) << how;
        EXPECT_EQ(dlg.GetText(), typed) << how;
        EXPECT_FALSE(Seen().leftOpen) << how;
        EXPECT_EQ(OpenTextEntryWindow(), nullptr) << how;
    }
}

TEST_F(TextEntryResult, WindowThatCannotBeMadeGivesZeroAndLeavesNothingBehind) {
    answer.Type(L"taken by the first window that comes up");
    {
        CreationVeto fieldRefused([](HWND hwnd) {
            HWND parent = ::GetParent(hwnd);
            return ClassOf(hwnd) == L"Edit" && parent && ClassOf(parent) == CTextEntryDlg::kClassName;
        });
        ASSERT_TRUE(fieldRefused.Active());
        EXPECT_EQ(dlg.Show(owner, L"Add New Note", L"Enter Name:", L"New Note"), 0);
        EXPECT_EQ(OpenTextEntryWindow(), nullptr);
        EXPECT_TRUE(::IsWindowEnabled(owner));
        EXPECT_EQ(::GetFocus(), owner.second);
    }
    {
        CreationVeto windowRefused([](HWND hwnd) { return ClassOf(hwnd) == CTextEntryDlg::kClassName; });
        ASSERT_TRUE(windowRefused.Active());
        EXPECT_EQ(dlg.Show(owner, L"Add New Note", L"Enter Name:", L"New Note"), 0);
        EXPECT_TRUE(::IsWindowEnabled(owner));
        EXPECT_EQ(::GetFocus(), owner.second);
    }
    // The same object works once windows can be made again.
    EXPECT_TRUE(answer.Windows().empty());
    EXPECT_EQ(dlg.Show(owner, L"Add New Note", L"Enter Name:", L"New Note"), IDOK);
    EXPECT_EQ(dlg.GetText(), L"taken by the first window that comes up");
}

TEST_F(TextEntryResult, QuitRequestEndsItAsCancelAndReachesTheOuterLoop) {
    int result = ShowAnswered({[](HWND) { ::PostQuitMessage(7); }});
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(OpenTextEntryWindow(), nullptr);
    MSG msg{};
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST_F(TextEntryResult, OwnerDestroyedMeanwhileEndsItAsCancel) {
    int result = ShowAnswered({[&](HWND) { ::DestroyWindow(owner); }});
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(OpenTextEntryWindow(), nullptr);
    EXPECT_EQ(owner.m_hWnd, nullptr);
}

// --- The owner and the focus -------------------------------------------------

class TextEntryOwner : public TextEntryTest {};

TEST_F(TextEntryOwner, OwnerIsDisabledMeanwhileAndTheFocusReturnsWhereItWas) {
    for (bool confirm : {true, false}) {
        if (confirm)
            answer.Type(L"Name");
        else
            answer.Cancel();
        int result = dlg.Show(owner, L"Add New Note", L"Enter Name:", L"New Note");
        EXPECT_EQ(result, confirm ? IDOK : IDCANCEL);
        ASSERT_FALSE(answer.Windows().empty());
        EXPECT_EQ(Seen().owner, owner.m_hWnd);
        EXPECT_FALSE(Seen().ownerEnabled);
        EXPECT_TRUE(Seen().fieldHasFocus);
        EXPECT_TRUE(::IsWindowEnabled(owner));
        EXPECT_EQ(::GetFocus(), owner.second);
        EXPECT_EQ(::GetActiveWindow(), owner.m_hWnd);
    }
}

TEST_F(TextEntryOwner, WithoutParentTheApplicationsMainWindowOwnsIt) {
    {
        TestApp app;
        CWnd mainWindow(owner.m_hWnd);
        app.m_pMainWnd = &mainWindow;
        answer.Type(L"Name");
        EXPECT_EQ(dlg.Show(nullptr, L"Add New Note", L"Enter Name:", L"New Note"), IDOK);
        ASSERT_EQ(answer.Windows().size(), 1u);
        EXPECT_EQ(Seen().owner, owner.m_hWnd);
        EXPECT_FALSE(Seen().ownerEnabled);
        EXPECT_TRUE(::IsWindowEnabled(owner));
        EXPECT_EQ(::GetFocus(), owner.second);
    }
    // With no main window either, it stands alone and still gives the focus back.
    answer.Type(L"Alone");
    EXPECT_EQ(dlg.Show(nullptr, L"Add New Note", L"Enter Name:", L"New Note"), IDOK);
    ASSERT_EQ(answer.Windows().size(), 2u);
    EXPECT_EQ(Seen().owner, nullptr);
    EXPECT_EQ(dlg.GetText(), L"Alone");
    EXPECT_EQ(::GetFocus(), owner.second);
}

TEST_F(TextEntryOwner, AControlGivenAsParentStandsForItsWindow) {
    answer.Type(L"Name");
    EXPECT_EQ(dlg.Show(owner.first, L"Add New Note", L"Enter Name:", L"New Note"), IDOK);
    ASSERT_EQ(answer.Windows().size(), 1u);
    EXPECT_EQ(Seen().owner, owner.m_hWnd);
    EXPECT_FALSE(Seen().ownerEnabled);
    EXPECT_TRUE(::IsWindowEnabled(owner));
    EXPECT_TRUE(::IsWindowEnabled(owner.first));
    EXPECT_EQ(::GetFocus(), owner.second);
}

TEST_F(TextEntryOwner, AnOwnerAlreadyDisabledStaysDisabled) {
    ::EnableWindow(owner, FALSE);
    answer.Cancel();
    EXPECT_EQ(dlg.Show(owner, L"Add New Note", L"Enter Name:", L"New Note"), IDCANCEL);
    EXPECT_FALSE(::IsWindowEnabled(owner));
    ::EnableWindow(owner, TRUE);
}

TEST_F(TextEntryOwner, ItsKeysNeverReachTheOwnersPreTranslation) {
    int result = ShowAnswered({[](HWND w) { TextEntryAnswer::TypeChars(w, L"abc"); },
                               [](HWND w) { TextEntryAnswer::PressKey(w, VK_TAB); },
                               [](HWND w) { TextEntryAnswer::PressKey(w, VK_ESCAPE); }});
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(owner.keysSeen, 0);
}

TEST_F(TextEntryOwner, OwnersTimersKeepRunningAndMouseCaptureIsReleased) {
    // The capture is held by a window the owner's disabling leaves alone.
    HWND other = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(other, nullptr);
    ::SetCapture(other);
    ASSERT_EQ(::GetCapture(), other);
    owner.SetTimer(1, 10);
    HWND captureWhileShown = other;
    int result = ShowAnswered({[&](HWND) { captureWhileShown = ::GetCapture(); },
                               TextEntryAnswer::WaitUntil([&] { return owner.ticks >= 3; }),
                               [](HWND w) { TextEntryAnswer::PressKey(w, VK_ESCAPE); }});
    owner.KillTimer(1);
    ::DestroyWindow(other);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(captureWhileShown, nullptr);
    EXPECT_GE(owner.ticks, 3);
}
