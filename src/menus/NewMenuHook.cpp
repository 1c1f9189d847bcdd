#include "menus/NewMenuHook.h"

#include "menus/MenuTheme.h"
#include "menus/NewBrush.h"
#include "menus/NewMenu.h"
#include "menus/NewMenuIcons.h"
#include "framework/CallbackGuard.h"
#include "framework/DC.h"

namespace {
CNewMenuHook* g_hook = nullptr;

const wchar_t kOldMenuProc[] = L"OldMenuProc";
// The system's messages to popup menu windows: the menu's handle, and the window's size.
constexpr UINT kGetMenuHandle = 0x01E1;  // MN_GETHMENU
constexpr UINT kSizeWindow = 0x01E2;

bool IsPopupMenuWindow(HWND hwnd) {
    wchar_t name[16] = {};
    return ::GetClassNameW(hwnd, name, 16) && lstrcmpW(name, L"#32768") == 0;
}
}  // namespace

CNewMenuHook::CNewMenuHook() {
    MenuThemes::RegisterAll();
    g_hook = this;
}

CNewMenuHook::~CNewMenuHook() {
    ReleaseAll();
    m_hook.reset();
    g_hook = nullptr;
    CNewMenuIcons::FreeAll();
    CNewBrushList::FreeAll();
    MenuThemes::FreeAll();
}

CNewMenuHook* CNewMenuHook::Instance() {
    return g_hook;
}

void CNewMenuHook::BeginMenuLoop() {
    if (!g_hook || g_hook->m_nMenuLoops++ > 0)
        return;
    g_hook->m_hook.reset(::SetWindowsHookExW(WH_CALLWNDPROC, &CallWndProc, nullptr, ::GetCurrentThreadId()));
}

void CNewMenuHook::EndMenuLoop() {
    if (!g_hook || g_hook->m_nMenuLoops == 0 || --g_hook->m_nMenuLoops > 0)
        return;
    // Popups taken over keep their procedure until they close; only new ones go uncaught.
    g_hook->m_hook.reset();
}

bool CNewMenuHook::IsHooked() {
    return g_hook && g_hook->m_hook;
}

void CNewMenuHook::NotePopupMenu(HMENU menu) {
    if (!g_hook)
        return;
    g_hook->m_hNotedMenu = menu;
    // Wine creates the window of a context menu before its menu loop begins, so
    // before the hook is there to see it: that window is found here instead.
    if (menu && g_hook->m_hook)
        ::EnumThreadWindows(::GetCurrentThreadId(), &CatchCreatedPopup, reinterpret_cast<LPARAM>(menu));
}

BOOL CALLBACK CNewMenuHook::CatchCreatedPopup(HWND hwnd, LPARAM menuParam) {
    const auto menu = reinterpret_cast<HMENU>(menuParam);
    return Guarded<BOOL>(FALSE, [&]() -> BOOL {
        if (!g_hook || !IsPopupMenuWindow(hwnd) || g_hook->m_popups.count(hwnd) || ::GetPropW(hwnd, kOldMenuProc) ||
            reinterpret_cast<HMENU>(::SendMessageW(hwnd, kGetMenuHandle, 0, 0)) != menu ||
            !CNewMenu::FromHandle(menu) || !MenuThemes::Current())
            return TRUE;
        g_hook->m_hNotedMenu = nullptr;
        g_hook->TakeOver(hwnd, menu);
        return FALSE;
    });
}

void CNewMenuHook::ReleaseAll() {
    while (g_hook && !g_hook->m_popups.empty())
        g_hook->Release(g_hook->m_popups.begin()->first);
}

CMenuHookData* CNewMenuHook::DataOf(HWND popup) {
    if (!g_hook)
        return nullptr;
    auto found = g_hook->m_popups.find(popup);
    return found == g_hook->m_popups.end() ? nullptr : found->second.get();
}

size_t CNewMenuHook::TakenOverCount() {
    return g_hook ? g_hook->m_popups.size() : 0;
}

LRESULT CALLBACK CNewMenuHook::CallWndProc(int code, WPARAM w, LPARAM l) {
    if (code == HC_ACTION && g_hook) {
        const auto* sent = reinterpret_cast<const CWPSTRUCT*>(l);
        if (sent->message == WM_CREATE || sent->message == kSizeWindow)
            Guarded(false, [sent] {
                g_hook->Consider(sent->hwnd, sent->message, sent->lParam);
                return true;
            });
    }
    return ::CallNextHookEx(nullptr, code, w, l);
}

void CNewMenuHook::Consider(HWND hwnd, UINT msg, LPARAM l) {
    if (!IsPopupMenuWindow(hwnd) || ::GetPropW(hwnd, kOldMenuProc) || m_popups.count(hwnd))
        return;
    auto menu = reinterpret_cast<HMENU>(::SendMessageW(hwnd, kGetMenuHandle, 0, 0));
    // Wine creates the popup window before WM_INITMENUPOPUP and names the
    // menu in its creation data; Windows initialises the popup first.
    if (!menu && msg == WM_CREATE) {
        auto* create = reinterpret_cast<const CREATESTRUCTW*>(l);
        if (create && ::IsMenu(static_cast<HMENU>(create->lpCreateParams)))
            menu = static_cast<HMENU>(create->lpCreateParams);
    }
    if (!menu)
        menu = m_hNotedMenu;
    m_hNotedMenu = nullptr;
    if (menu && CNewMenu::FromHandle(menu) && MenuThemes::Current())
        TakeOver(hwnd, menu);
}

void CNewMenuHook::TakeOver(HWND hwnd, HMENU menu) {
    auto data = std::make_unique<CMenuHookData>();
    data->m_hMenu = menu;
    data->m_pOldProc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    if (!data->m_pOldProc || !::SetPropW(hwnd, kOldMenuProc, reinterpret_cast<HANDLE>(data->m_pOldProc)))
        return;
    ::GlobalAddAtomW(kOldMenuProc);
    CMenuHookData& kept = *data;
    m_popups[hwnd] = std::move(data);
    ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MenuProc));
    MenuThemes::Current()->OnInitWnd(hwnd, kept);
}

void CNewMenuHook::Release(HWND hwnd) {
    auto found = m_popups.find(hwnd);
    if (found == m_popups.end())
        return;
    std::unique_ptr<CMenuHookData> data = std::move(found->second);
    m_popups.erase(found);
    if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) == &MenuProc)
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(data->m_pOldProc));
    ::RemovePropW(hwnd, kOldMenuProc);
    if (ATOM atom = ::GlobalFindAtomW(kOldMenuProc))
        ::GlobalDeleteAtom(atom);
    if (CMenuTheme* theme = MenuThemes::Current())
        theme->OnUnInitWnd(hwnd, *data);
}

LRESULT CNewMenuHook::OnWindowPosChanging(HWND hwnd, CMenuHookData& data, WPARAM w, LPARAM l) {
    auto& pos = *reinterpret_cast<WINDOWPOS*>(l);
    CMenuTheme* theme = MenuThemes::Current();
    if (theme)
        theme->OnWindowPosChanging(hwnd, pos, data);
    // The screen under the window is copied just before it first shows, while it still can be.
    if (theme && theme->m_shade.cx > 0 && (pos.flags & SWP_SHOWWINDOW) && !::IsWindowVisible(hwnd) &&
        !data.m_capture.IsTaken()) {
        RECT window{};
        ::GetWindowRect(hwnd, &window);
        const int x = (pos.flags & SWP_NOMOVE) ? window.left : pos.x;
        const int y = (pos.flags & SWP_NOMOVE) ? window.top : pos.y;
        const int cx = (pos.flags & SWP_NOSIZE) ? window.right - window.left : pos.cx;
        const int cy = (pos.flags & SWP_NOSIZE) ? window.bottom - window.top : pos.cy;
        data.m_capture.Take({x - 10, y - 10, x + cx + 10, y + cy + 10});
    }
    return ::CallWindowProcW(data.m_pOldProc, hwnd, WM_WINDOWPOSCHANGING, w, l);
}

void CNewMenuHook::OnWindowPosChanged(HWND hwnd, CMenuHookData& data, const WINDOWPOS& pos) {
    if (pos.flags & SWP_NOMOVE)
        return;
    if (!data.m_bPositioned) {
        data.m_point = {pos.x, pos.y};
        data.m_bPositioned = true;
        return;
    }
    if (pos.x == data.m_point.x && pos.y == data.m_point.y)
        return;
    if (pos.flags & SWP_NOSIZE) {
        // Moved: the capture shows the wrong place; the next paint takes it again.
        data.m_capture.Drop();
        data.m_point = {pos.x, pos.y};
    } else {
        Release(hwnd);
    }
}

void CNewMenuHook::Print(HWND hwnd, CMenuHookData& data, HDC dc, LPARAM what) {
    data.m_bPrinting = true;
    CMenuTheme* theme = MenuThemes::Current();
    if ((what & PRF_NONCLIENT) && theme)
        theme->DrawFrame(hwnd, dc, data);
    if (what & PRF_CLIENT) {
        // The client area, drawn by the system's procedure at its place in the window.
        RECT window{}, client{};
        ::GetWindowRect(hwnd, &window);
        ::GetClientRect(hwnd, &client);
        ::MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&client), 2);
        POINT old{};
        ::OffsetViewportOrgEx(dc, client.left - window.left, client.top - window.top, &old);
        if (what & PRF_ERASEBKGND)
            ::CallWindowProcW(&MenuProc, hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        ::CallWindowProcW(data.m_pOldProc, hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), what);
        ::SetViewportOrgEx(dc, old.x, old.y, nullptr);
    }
    data.m_bPrinting = false;
}

LRESULT CALLBACK CNewMenuHook::MenuProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    return Guarded<LRESULT>(0, [&] { return HandleMenuMessage(hwnd, msg, w, l); });
}

LRESULT CNewMenuHook::HandleMenuMessage(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    CMenuHookData* data = DataOf(hwnd);
    if (!data) {
        // Given back while a message was on its way: the property still names the procedure.
        auto old = reinterpret_cast<WNDPROC>(::GetPropW(hwnd, kOldMenuProc));
        return old && old != &MenuProc ? ::CallWindowProcW(old, hwnd, msg, w, l) : ::DefWindowProcW(hwnd, msg, w, l);
    }
    CMenuTheme* theme = MenuThemes::Current();
    const WNDPROC old = data->m_pOldProc;
    switch (msg) {
        case WM_NCCALCSIZE: {
            const LRESULT result = ::CallWindowProcW(old, hwnd, msg, w, l);
            RECT* rect = w ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(l)->rgrc[0] : reinterpret_cast<RECT*>(l);
            if (theme)
                theme->OnNcCalcSize(hwnd, *rect, *data);
            return result;
        }
        case WM_WINDOWPOSCHANGING:
            return g_hook->OnWindowPosChanging(hwnd, *data, w, l);
        case WM_WINDOWPOSCHANGED: {
            const LRESULT result = ::CallWindowProcW(old, hwnd, msg, w, l);
            g_hook->OnWindowPosChanged(hwnd, *data, *reinterpret_cast<const WINDOWPOS*>(l));
            return result;
        }
        case WM_NCPAINT:
            if (theme) {
                if (theme->m_shade.cx > 0 && !data->m_capture.IsTaken()) {
                    RECT window{};
                    ::GetWindowRect(hwnd, &window);
                    data->m_capture.Take({window.left - 10, window.top - 10, window.right + 10, window.bottom + 10});
                }
                const UniqueHandle<WindowDCTraits> dc(::GetWindowDC(hwnd), WindowDCTraits{hwnd});
                theme->DrawFrame(hwnd, dc.get(), *data);
                return 0;
            }
            break;
        case WM_ERASEBKGND:
            if (theme && theme->OnEraseBkgnd(hwnd, reinterpret_cast<HDC>(w)))
                return 1;
            break;
        case WM_PRINT:
            g_hook->Print(hwnd, *data, reinterpret_cast<HDC>(w), l);
            return 0;
        case WM_SHOWWINDOW:
            if (!w) {
                const LRESULT result = ::CallWindowProcW(old, hwnd, msg, w, l);
                g_hook->Release(hwnd);
                return result;
            }
            break;
        case WM_NCDESTROY:
            g_hook->Release(hwnd);
            return ::CallWindowProcW(old, hwnd, msg, w, l);
        default:
            break;
    }
    return ::CallWindowProcW(old, hwnd, msg, w, l);
}
