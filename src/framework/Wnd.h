// CWnd: the binding between an HWND and the object that handles its messages.
//
// Conventions of the framework:
// - A CWnd owns nothing but its binding. Windows the program creates bind at
//   WM_NCCREATE (the create parameter); dialogs bind at WM_INITDIALOG; controls
//   from a template bind by subclassing (SubclassDlgItem / Attach).
// - The object is found from the HWND by FromHandle: GWLP_USERDATA for windows
//   that run the framework's procedures, a window property for any other.
// - A control is subclassed by replacing its procedure (GWLP_WNDPROC), not through
//   SetWindowSubclass, which costs about 90 microseconds a message under Wine.
// - Each class declares a static message table (see DECLARE_MESSAGE_TABLE and the
//   On... entry builders). Dispatch walks the class's table, then its base's.
//   A handler in a table handles its message; it may call Default() first or last.
//   A window with a table of commands of its own (their rules, keys, icons)
//   routes WM_COMMAND through it with one entry (OnCommandRouter).
// - WM_NOTIFY, WM_CTLCOLOR*, WM_DRAWITEM, WM_MEASUREITEM and a control's
//   WM_COMMAND notifications are first offered to the child's own object as
//   kReflectBase + message, so a control can own its behaviour (a reflected
//   WM_NOTIFY handler returns a non-zero result only to stop the parent seeing
//   the message; the others, once handled, end at the child).
// - A control bound by Attach gets PreSubclassWindow once it is bound, to
//   prepare itself (styles, fonts) before it handles anything else.
// - No exception crosses a window procedure: the one static procedure catches
//   and shows the exception's own message (ReportCurrentException, CallbackGuard.h).
// - GetWindowText reads text of any length (WindowText, WindowText.h).
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

class CWnd;

// Reflected messages arrive at the child as kReflectBase + original message.
constexpr UINT kReflectBase = 0x2000;

struct MessageEntry {
    enum class Kind {
        Message,
        RegisteredMessage,
        Command,
        CommandRouter,
        Notify,
        ReflectedNotify,
        ControlNotify,
        ReflectedCommand
    };
    union Handler {
        LRESULT (CWnd::*onMessage)(WPARAM, LPARAM);
        void (CWnd::*onCommand)(UINT id);
        bool (CWnd::*onRoute)(UINT id, HWND control);
        LRESULT (CWnd::*onNotify)(NMHDR*);
    };

    Kind kind;
    UINT message;  // Message: the message; Notify/ControlNotify: the notification code
    UINT idFirst;  // Command, Notify, ControlNotify: the control or command id range
    UINT idLast;
    Handler handler;
    // RegisteredMessage: where the number RegisterWindowMessage gave is kept.
    const UINT* registered = nullptr;
};

struct MessageTable {
    const MessageTable* base;
    const MessageEntry* entries;
    std::size_t count;
};

class CWnd {
public:
    using MessageHandler = LRESULT (CWnd::*)(WPARAM, LPARAM);
    using CommandHandler = void (CWnd::*)(UINT id);
    using CommandRouter = bool (CWnd::*)(UINT id, HWND control);
    using NotifyHandler = LRESULT (CWnd::*)(NMHDR*);

    CWnd() = default;
    explicit CWnd(HWND hwnd) : m_hWnd(hwnd) {}
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;
    virtual ~CWnd();

    HWND m_hWnd = nullptr;
    operator HWND() const { return m_hWnd; }

    // The object bound to a window, or null when the window has none.
    static CWnd* FromHandle(HWND hwnd);

    // Binds a window the program creates (class registered by RegisterClass below).
    bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, const RECT& rect,
                  HWND parent, UINT id);
    // Registers a window class whose procedure dispatches to CWnd objects.
    static const wchar_t* RegisterClass(const wchar_t* name, UINT style = CS_DBLCLKS, HCURSOR cursor = nullptr,
                                        HBRUSH background = nullptr);

    // Binds an existing window by subclassing it (a control from a template).
    bool Attach(HWND hwnd);
    bool SubclassDlgItem(UINT id, CWnd* parent);
    // Removes the binding (and the subclass); the window lives on.
    HWND Detach();

    virtual bool DestroyWindow();

    // Offers a message to this window before it is dispatched; true consumes it.
    virtual bool PreTranslateMessage(MSG* msg);
    // Walks from the message's window up to its top-level window, offering the
    // message to each bound object's PreTranslateMessage. A top-level window
    // without an object (a common dialog the program opened modeless) hands
    // on to its owner, whose pre-translation gives the dialog its keys.
    static bool WalkPreTranslateTree(MSG* msg);

    // One-line conveniences.
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    bool IsWindowVisible() const { return ::IsWindowVisible(m_hWnd) != FALSE; }
    // Turns the window's drawing off or back on (WM_SETREDRAW); it draws nothing while off.
    void SetRedraw(bool redraw) { SendMessage(WM_SETREDRAW, redraw ? TRUE : FALSE); }
    bool ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd) != FALSE; }
    LRESULT SendMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageW(m_hWnd, msg, w, l); }
    bool PostMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::PostMessageW(m_hWnd, msg, w, l) != FALSE; }
    std::wstring GetWindowText() const;
    void SetWindowText(const std::wstring& text) { ::SetWindowTextW(m_hWnd, text.c_str()); }
    UINT_PTR SetTimer(UINT_PTR id, UINT ms) { return ::SetTimer(m_hWnd, id, ms, nullptr); }
    bool KillTimer(UINT_PTR id) { return ::KillTimer(m_hWnd, id) != FALSE; }
    HWND SetFocus() { return ::SetFocus(m_hWnd); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    // Takes `remove` out of the window's style and puts `add` in.
    void ModifyStyle(DWORD remove, DWORD add) {
        ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, static_cast<LONG_PTR>((GetStyle() & ~remove) | add));
    }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    void SetFont(HFONT font, bool redraw = true) { SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw); }
    void Invalidate(bool erase = true) { ::InvalidateRect(m_hWnd, nullptr, erase ? TRUE : FALSE); }

    // Table entry builders, used in the static tables (DEFINE_MESSAGE_TABLE).
    template <class T>
    static MessageEntry OnMessage(UINT msg, LRESULT (T::*fn)(WPARAM, LPARAM)) {
        MessageEntry e{MessageEntry::Kind::Message, msg, 0, 0, {}};
        e.handler.onMessage = static_cast<MessageHandler>(fn);
        return e;
    }
    // A message whose number is known only at run time (RegisterWindowMessage):
    // the entry names the variable holding it; 0 (not registered) never matches.
    template <class T>
    static MessageEntry OnRegisteredMessage(const UINT* msg, LRESULT (T::*fn)(WPARAM, LPARAM)) {
        MessageEntry e = OnMessage(0, fn);
        e.kind = MessageEntry::Kind::RegisteredMessage;
        e.registered = msg;
        return e;
    }
    template <class T>
    static MessageEntry OnCommand(UINT id, void (T::*fn)(UINT)) {
        return OnCommandRange(id, id, fn);
    }
    template <class T>
    static MessageEntry OnCommandRange(UINT first, UINT last, void (T::*fn)(UINT)) {
        MessageEntry e{MessageEntry::Kind::Command, 0, first, last, {}};
        e.handler.onCommand = static_cast<CommandHandler>(fn);
        return e;
    }
    // Commands a window looks up in a table of its own: the router runs the
    // command from a menu item, a key or a control (`control`, null for the
    // first two) and returns false for an id the table lacks, which the
    // entries after it then see.
    template <class T>
    static MessageEntry OnCommandRouter(bool (T::*fn)(UINT id, HWND control)) {
        MessageEntry e{MessageEntry::Kind::CommandRouter, 0, 0, 0, {}};
        e.handler.onRoute = static_cast<CommandRouter>(fn);
        return e;
    }
    template <class T>
    static MessageEntry OnNotify(UINT id, UINT code, LRESULT (T::*fn)(NMHDR*)) {
        MessageEntry e{MessageEntry::Kind::Notify, code, id, id, {}};
        e.handler.onNotify = static_cast<NotifyHandler>(fn);
        return e;
    }
    // A WM_NOTIFY the control sent to its parent, offered back to the control first.
    template <class T>
    static MessageEntry OnReflectedNotify(UINT code, LRESULT (T::*fn)(NMHDR*)) {
        MessageEntry e{MessageEntry::Kind::ReflectedNotify, code, 0, 0, {}};
        e.handler.onNotify = static_cast<NotifyHandler>(fn);
        return e;
    }
    // A control's WM_COMMAND notification (STN_CLICKED and the like) sent to its
    // parent, offered back to the control first; once handled it ends there.
    template <class T>
    static MessageEntry OnReflectedCommand(UINT code, void (T::*fn)(UINT)) {
        MessageEntry e{MessageEntry::Kind::ReflectedCommand, code, 0, 0, {}};
        e.handler.onCommand = static_cast<CommandHandler>(fn);
        return e;
    }
    // A WM_COMMAND notification from a control (EN_CHANGE and the like).
    template <class T>
    static MessageEntry OnControlNotify(UINT id, UINT code, void (T::*fn)(UINT)) {
        MessageEntry e{MessageEntry::Kind::ControlNotify, code, id, id, {}};
        e.handler.onCommand = static_cast<CommandHandler>(fn);
        return e;
    }

protected:
    // Hooks for derived classes that need them.
    virtual const MessageTable* GetMessageTable() const;
    virtual LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l);
    // Default processing of the message being handled (or of the one given).
    LRESULT Default();
    virtual LRESULT DefaultProc(UINT msg, WPARAM w, LPARAM l);
    // Called after WM_NCDESTROY, when the binding is gone.
    virtual void PostNcDestroy() {}
    // Called by Attach once the control is bound to this object.
    virtual void PreSubclassWindow() {}

    static const MessageTable kMessageTable;

    static LRESULT CALLBACK StaticWndProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
    // The procedure of a control bound by Attach (it replaces the control's own).
    static LRESULT CALLBACK ControlProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
    // Binds this object to hwnd (the window property); used by the procedures.
    void Bind(HWND hwnd);
    void Unbind();
    // Runs the table and the default processing, catching what a handler throws.
    LRESULT GuardedDispatch(UINT msg, WPARAM w, LPARAM l);

    bool m_bSubclassed = false;
    WNDPROC m_pfnSuper = nullptr;  // the control's own procedure, while subclassed

private:
    // Looks the message up in the tables; true when a handler ran.
    bool DispatchTable(UINT msg, WPARAM w, LPARAM l, LRESULT& result);
    // Offers WM_NOTIFY and the like to the child that sent them.
    bool ReflectToChild(UINT msg, WPARAM w, LPARAM l, LRESULT& result);

    struct CurrentMessage {
        UINT msg;
        WPARAM w;
        LPARAM l;
    };
    CurrentMessage m_current{};
};

// Declares a class's message table; the entries are defined in its .cpp with
// DEFINE_MESSAGE_TABLE(Class, Base, entries...), in the class's scope so the
// entries may name its private handlers.
#define DECLARE_MESSAGE_TABLE()                            \
protected:                                                 \
    static const MessageEntry kMessageEntries[];           \
    static const MessageTable kMessageTable;               \
    const MessageTable* GetMessageTable() const override { \
        return &kMessageTable;                             \
    }

#define DEFINE_MESSAGE_TABLE(Class, Base, ...)                                               \
    const MessageEntry Class::kMessageEntries[] = {__VA_ARGS__};                             \
    const MessageTable Class::kMessageTable = {&Base::kMessageTable, Class::kMessageEntries, \
                                               sizeof(Class::kMessageEntries) / sizeof(MessageEntry)};
