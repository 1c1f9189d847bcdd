#include "support/TextEntryAnswer.h"

#include <memory>

#include "dialogs/TextEntryDlg.h"
#include "framework/WindowText.h"

namespace {
TextEntryAnswer* g_current = nullptr;
// Shift held for a key press: released at the next tick, when the key is handled.
bool g_shiftHeld = false;

void SetShift(bool down) {
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    keys[VK_SHIFT] = keys[VK_LSHIFT] = down ? 0x80 : 0;
    ::SetKeyboardState(keys);
    g_shiftHeld = down;
}

// The control with the focus, when it belongs to the window; else the window.
HWND KeyTarget(HWND window) {
    HWND focus = ::GetFocus();
    return focus && (focus == window || ::IsChild(window, focus)) ? focus : window;
}

LPARAM KeyData(UINT vk, bool up) {
    const UINT scan = ::MapVirtualKeyW(vk, MAPVK_VK_TO_VSC);
    LPARAM data = 1 | static_cast<LPARAM>(scan << 16);
    if (up)
        data |= static_cast<LPARAM>(0xC0000000u);
    return data;
}
}  // namespace

TextEntryAnswer::TextEntryAnswer() {
    g_current = this;
}

TextEntryAnswer::~TextEntryAnswer() {
    StopWatching();
    if (g_current == this)
        g_current = nullptr;
}

void TextEntryAnswer::Type(const std::wstring& text) {
    Script({[text](HWND window) { TypeChars(window, text.empty() ? std::wstring(1, L'\b') : text); },
            [](HWND window) { PressKey(window, VK_RETURN); }});
}

void TextEntryAnswer::Accept() {
    Script({[](HWND window) { PressKey(window, VK_RETURN); }});
}

void TextEntryAnswer::Cancel() {
    Script({[](HWND window) { PressKey(window, VK_ESCAPE); }});
}

void TextEntryAnswer::Script(std::vector<Step> steps) {
    m_answers.push_back(std::move(steps));
}

HWND TextEntryAnswer::Field(HWND window) {
    return ::GetDlgItem(window, CTextEntryDlg::kFieldId);
}

HWND TextEntryAnswer::Button(HWND window, int id) {
    return ::GetDlgItem(window, id);
}

void TextEntryAnswer::TypeChars(HWND window, const std::wstring& text) {
    HWND target = KeyTarget(window);
    for (wchar_t c : text)
        ::PostMessageW(target, WM_CHAR, c, 1);
}

void TextEntryAnswer::PressKey(HWND window, UINT vk, bool shift) {
    if (shift)
        SetShift(true);
    HWND target = KeyTarget(window);
    ::PostMessageW(target, WM_KEYDOWN, vk, KeyData(vk, false));
    ::PostMessageW(target, WM_KEYUP, vk, KeyData(vk, true));
}

TextEntryAnswer::Step TextEntryAnswer::WaitUntil(std::function<bool()> done, DWORD timeoutMs) {
    struct Clock {
        bool running = false;
        DWORD start = 0;
    };
    auto clock = std::make_shared<Clock>();
    return [done = std::move(done), timeoutMs, clock](HWND) {
        if (!clock->running)
            *clock = {true, ::GetTickCount()};
        if (!done() && ::GetTickCount() - clock->start < timeoutMs && g_current)
            g_current->m_repeatStep = true;
    };
}

void CALLBACK TextEntryAnswer::TimerProc(HWND, UINT, UINT_PTR, DWORD) {
    if (g_current)
        g_current->OnTick();
}

// The window exists but is not ready yet: it is answered from its own loop,
// whose first timer message comes once it is shown and waits for the user.
void TextEntryAnswer::OnCreated(HWND window) {
    m_window = window;
    m_steps.clear();
    m_nextStep = 0;
    m_recorded = false;
    m_closing = false;
    if (!m_timer)
        m_timer = ::SetTimer(nullptr, 0, 10, &TextEntryAnswer::TimerProc);
}

void TextEntryAnswer::OnTick() {
    if (g_shiftHeld)
        SetShift(false);
    if (!m_window || !::IsWindow(m_window)) {
        StopWatching();
        return;
    }
    if (!::IsWindowVisible(m_window))
        return;
    if (!m_recorded) {
        // The answer is taken only by a window that came up: one that failed to
        // be made leaves it for the next.
        Record();
        m_recorded = true;
        if (m_answers.empty()) {
            m_steps = {[](HWND hwnd) { PressKey(hwnd, VK_ESCAPE); }};
        } else {
            m_steps = std::move(m_answers.front());
            m_answers.pop_front();
        }
    }
    if (m_nextStep < m_steps.size()) {
        m_repeatStep = false;
        Step step = m_steps[m_nextStep++];
        step(m_window);
        if (m_repeatStep)
            --m_nextStep;
    } else if (!m_closing) {
        m_closing = true;
        m_windows.back().leftOpen = true;
        ::PostMessageW(m_window, WM_CLOSE, 0, 0);
    }
}

void TextEntryAnswer::Record() {
    Window seen;
    seen.handle = m_window;
    seen.owner = ::GetWindow(m_window, GW_OWNER);
    seen.ownerEnabled = seen.owner && ::IsWindowEnabled(seen.owner);
    seen.caption = WindowText(m_window);
    seen.prompt = WindowText(::GetDlgItem(m_window, 0xFFFF));
    HWND field = Field(m_window);
    seen.text = WindowText(field);
    DWORD start = 0, end = 0;
    ::SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    seen.selStart = static_cast<int>(start);
    seen.selEnd = static_cast<int>(end);
    seen.fieldHasFocus = field && ::GetFocus() == field;
    seen.okEnabled = ::IsWindowEnabled(Button(m_window, IDOK)) != FALSE;
    m_windows.push_back(seen);
}

void TextEntryAnswer::StopWatching() {
    if (g_shiftHeld)
        SetShift(false);
    if (m_timer)
        ::KillTimer(nullptr, m_timer);
    m_timer = 0;
    m_window = nullptr;
    m_steps.clear();
}
