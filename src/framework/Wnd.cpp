#include "framework/Wnd.h"

#include <commctrl.h>

#include "framework/CallbackGuard.h"
#include "framework/WindowText.h"

namespace {
// The one mechanism that finds a window's object.
const wchar_t kObjectProperty[] = L"Tallyleaf.CWnd";
// The procedure a subclassed control had before.
const wchar_t kSuperProperty[] = L"Tallyleaf.Super";

bool IsReflected(UINT msg, LPARAM l) {
    return msg == WM_NOTIFY || msg == WM_DRAWITEM || msg == WM_MEASUREITEM ||
           (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) || (msg == WM_COMMAND && l != 0);
}

// The child window a reflectable message comes from.
HWND ReflectSource(HWND self, UINT msg, WPARAM w, LPARAM l) {
    switch (msg) {
        case WM_NOTIFY:
            return reinterpret_cast<NMHDR*>(l)->hwndFrom;
        case WM_DRAWITEM: {
            auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(l);
            return dis->CtlType == ODT_MENU ? nullptr : dis->hwndItem;
        }
        case WM_MEASUREITEM: {
            auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(l);
            return mis->CtlType == ODT_MENU ? nullptr : ::GetDlgItem(self, static_cast<int>(w));
        }
        default:
            return reinterpret_cast<HWND>(l);  // WM_CTLCOLOR*, a control's WM_COMMAND
    }
}
}  // namespace

const MessageTable CWnd::kMessageTable = {nullptr, nullptr, 0};

CWnd::~CWnd() {
    if (m_hWnd && FromHandle(m_hWnd) == this) {
        if (m_bSubclassed)
            Detach();
        else
            Unbind();
    }
}

CWnd* CWnd::FromHandle(HWND hwnd) {
    if (!hwnd)
        return nullptr;
    // A window that runs one of the framework's procedures keeps its object in
    // GWLP_USERDATA, which is read without leaving the process. The property
    // answers for the others (a control subclassed again on top, a foreign
    // window): under Wine every GetPropW is a round trip to its server, about
    // 30 microseconds, too slow for every message of every window.
    const auto proc = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    if (proc == &CWnd::StaticWndProc || proc == &CWnd::ControlProc)
        return reinterpret_cast<CWnd*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    return static_cast<CWnd*>(::GetPropW(hwnd, kObjectProperty));
}

void CWnd::Bind(HWND hwnd) {
    m_hWnd = hwnd;
    ::SetPropW(hwnd, kObjectProperty, this);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

void CWnd::Unbind() {
    if (m_hWnd) {
        ::RemovePropW(m_hWnd, kObjectProperty);
        ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
    }
    m_hWnd = nullptr;
}

const wchar_t* CWnd::RegisterClass(const wchar_t* name, UINT style, HCURSOR cursor, HBRUSH background) {
    WNDCLASSEXW wc{};
    HINSTANCE inst = ::GetModuleHandleW(nullptr);
    if (::GetClassInfoExW(inst, name, &wc))
        return name;
    wc.cbSize = sizeof wc;
    wc.style = style;
    wc.lpfnWndProc = &CWnd::StaticWndProc;
    wc.hInstance = inst;
    wc.hCursor = cursor ? cursor : ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    return ::RegisterClassExW(&wc) ? name : nullptr;
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, const RECT& rect,
                    HWND parent, UINT id) {
    HMENU menu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr;
    HWND hwnd = ::CreateWindowExW(exStyle, className, title, style, rect.left, rect.top, rect.right - rect.left,
                                  rect.bottom - rect.top, parent, menu, ::GetModuleHandleW(nullptr), this);
    return hwnd != nullptr;
}

LRESULT CALLBACK CWnd::StaticWndProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        if (self)
            self->Bind(hwnd);
    }
    // Windows of the framework's own classes hold their object in GWLP_USERDATA.
    auto* self = reinterpret_cast<CWnd*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self)
        return ::DefWindowProcW(hwnd, msg, w, l);
    LRESULT result = self->GuardedDispatch(msg, w, l);
    if (msg == WM_NCDESTROY) {
        self->Unbind();
        self->PostNcDestroy();
    }
    return result;
}

bool CWnd::Attach(HWND hwnd) {
    if (!hwnd || FromHandle(hwnd))
        return false;
    // The control's procedure is replaced, not chained through the common
    // controls' SetWindowSubclass: under Wine that chain costs about 90
    // microseconds a message (10,000 tree items took 0.9 s to insert instead
    // of 13 ms).
    const auto super = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    if (!super)
        return false;
    m_pfnSuper = super;
    // The procedure to hand messages to, for as long as the window lives, even
    // once the object has let go (see ControlProc).
    ::SetPropW(hwnd, kSuperProperty, reinterpret_cast<HANDLE>(super));
    Bind(hwnd);
    ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::ControlProc));
    m_bSubclassed = true;
    PreSubclassWindow();
    return true;
}

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    return Attach(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::Detach() {
    HWND hwnd = m_hWnd;
    if (hwnd && m_bSubclassed) {
        // Put back only while nobody has subclassed the control on top of this
        // object; otherwise ControlProc passes its messages straight on.
        if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) == &CWnd::ControlProc) {
            ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
            ::RemovePropW(hwnd, kSuperProperty);
        }
    }
    m_bSubclassed = false;
    Unbind();
    return hwnd;
}

LRESULT CALLBACK CWnd::ControlProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) {
    auto* self = reinterpret_cast<CWnd*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) {
        // The object let go while another subclass stood on top of it.
        const auto super = reinterpret_cast<WNDPROC>(::GetPropW(hwnd, kSuperProperty));
        if (msg == WM_NCDESTROY)
            ::RemovePropW(hwnd, kSuperProperty);
        return super ? ::CallWindowProcW(super, hwnd, msg, w, l) : ::DefWindowProcW(hwnd, msg, w, l);
    }
    if (msg == WM_NCDESTROY) {
        LRESULT result = self->GuardedDispatch(msg, w, l);
        ::RemovePropW(hwnd, kSuperProperty);
        self->m_bSubclassed = false;
        self->Unbind();
        self->PostNcDestroy();
        return result;
    }
    return self->GuardedDispatch(msg, w, l);
}

bool CWnd::DestroyWindow() {
    return m_hWnd && ::DestroyWindow(m_hWnd) != FALSE;
}

LRESULT CWnd::GuardedDispatch(UINT msg, WPARAM w, LPARAM l) {
    CurrentMessage saved = m_current;
    m_current = {msg, w, l};
    const LRESULT result = Guarded<LRESULT>(0, [&] { return WindowProc(msg, w, l); });
    m_current = saved;
    return result;
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM w, LPARAM l) {
    LRESULT result = 0;
    if (IsReflected(msg, l) && ReflectToChild(msg, w, l, result))
        return result;
    if (DispatchTable(msg, w, l, result))
        return result;
    return DefaultProc(msg, w, l);
}

LRESULT CWnd::Default() {
    return DefaultProc(m_current.msg, m_current.w, m_current.l);
}

LRESULT CWnd::DefaultProc(UINT msg, WPARAM w, LPARAM l) {
    if (m_bSubclassed)
        return ::CallWindowProcW(m_pfnSuper, m_hWnd, msg, w, l);
    return ::DefWindowProcW(m_hWnd, msg, w, l);
}

bool CWnd::ReflectToChild(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
    CWnd* child = FromHandle(ReflectSource(m_hWnd, msg, w, l));
    if (!child || child == this)
        return false;
    LRESULT reflected = 0;
    if (!child->DispatchTable(kReflectBase + msg, w, l, reflected))
        return false;
    // Colour and drawing messages answered by the child end there; a reflected
    // notification reaches the parent too unless the child answered non-zero.
    if (msg == WM_NOTIFY && reflected == 0)
        return false;
    result = reflected;
    return true;
}

bool CWnd::DispatchTable(UINT msg, WPARAM w, LPARAM l, LRESULT& result) {
    const UINT id = LOWORD(w);
    const UINT code = HIWORD(w);
    for (const MessageTable* table = GetMessageTable(); table; table = table->base) {
        for (std::size_t i = 0; i < table->count; ++i) {
            const MessageEntry& e = table->entries[i];
            switch (e.kind) {
                case MessageEntry::Kind::Message:
                    if (e.message == msg) {
                        result = (this->*e.handler.onMessage)(w, l);
                        return true;
                    }
                    break;
                case MessageEntry::Kind::RegisteredMessage:
                    if (*e.registered != 0 && *e.registered == msg) {
                        result = (this->*e.handler.onMessage)(w, l);
                        return true;
                    }
                    break;
                case MessageEntry::Kind::Command:
                    // Menu items send code 0, accelerators 1; buttons send BN_CLICKED (0).
                    if (msg == WM_COMMAND && code <= 1 && id >= e.idFirst && id <= e.idLast) {
                        (this->*e.handler.onCommand)(id);
                        result = 0;
                        return true;
                    }
                    break;
                case MessageEntry::Kind::CommandRouter:
                    if (msg == WM_COMMAND && code <= 1 && (this->*e.handler.onRoute)(id, reinterpret_cast<HWND>(l))) {
                        result = 0;
                        return true;
                    }
                    break;
                case MessageEntry::Kind::ControlNotify:
                    if (msg == WM_COMMAND && l != 0 && code == e.message && id == e.idFirst) {
                        (this->*e.handler.onCommand)(id);
                        result = 0;
                        return true;
                    }
                    break;
                case MessageEntry::Kind::Notify:
                    if (msg == WM_NOTIFY) {
                        auto* hdr = reinterpret_cast<NMHDR*>(l);
                        if (hdr->code == e.message && hdr->idFrom == e.idFirst) {
                            result = (this->*e.handler.onNotify)(hdr);
                            return true;
                        }
                    }
                    break;
                case MessageEntry::Kind::ReflectedCommand:
                    if (msg == kReflectBase + WM_COMMAND && code == e.message) {
                        (this->*e.handler.onCommand)(id);
                        result = 0;
                        return true;
                    }
                    break;
                case MessageEntry::Kind::ReflectedNotify:
                    if (msg == kReflectBase + WM_NOTIFY && reinterpret_cast<NMHDR*>(l)->code == e.message) {
                        result = (this->*e.handler.onNotify)(reinterpret_cast<NMHDR*>(l));
                        return true;
                    }
                    break;
            }
        }
    }
    return false;
}

bool CWnd::PreTranslateMessage(MSG*) {
    return false;
}

bool CWnd::WalkPreTranslateTree(MSG* msg) {
    for (HWND hwnd = msg->hwnd; hwnd;) {
        CWnd* wnd = FromHandle(hwnd);
        if (wnd && wnd->PreTranslateMessage(msg))
            return true;
        if (::GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD)
            hwnd = ::GetParent(hwnd);
        else if (!wnd)
            hwnd = ::GetWindow(hwnd, GW_OWNER);  // a window without an object of its own
        else
            break;
    }
    return false;
}

std::wstring CWnd::GetWindowText() const {
    return WindowText(m_hWnd);
}

const MessageTable* CWnd::GetMessageTable() const {
    return &kMessageTable;
}
