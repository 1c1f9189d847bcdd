#include "app/FormatCommands.h"

#include <algorithm>

#include "editor/FormatDialogs.h"
#include "framework/Dpi.h"

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

void FormatCommands::MakeEditor() {
    // The template's editor goes; its successor keeps the selection shown
    // without the focus. Binding it also lifts its typing limit for long notes.
    m_editor.Recreate(CDragEdit::Style(m_settings.m_bWordWrap, true));
}

void FormatCommands::LoadFontAndColours() {
    LoadFont();
    m_backBrush.CreateSolidBrush(m_settings.m_crBack);
    m_tree.SetBkColor(m_settings.m_crBack);
    m_tree.SetTextColor(m_settings.m_crText);
}

void FormatCommands::LoadFont() {
    CFont font;
    if (!font.CreateFontIndirect(Dpi::Rescale(m_settings.m_font, Dpi::kStandard, m_window.WindowDpi())))
        return;
    // Editor and tree take the new font before the old one is deleted.
    m_editor.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font.GetSafeHandle()), TRUE);
    m_tree.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font.GetSafeHandle()), TRUE);
    m_font = std::move(font);
}

bool FormatCommands::WrapsText(const std::wstring& text) const {
    return m_settings.m_bWordWrap && LongestParagraph(text) <= kLongestWrappedParagraph;
}

void FormatCommands::WrapEditorFor(const std::wstring& text) {
    const bool wrap = WrapsText(text);
    if (!m_editor.m_hWnd || EditorWraps(m_editor) == wrap)
        return;
    const bool focused = ::GetFocus() == m_editor.m_hWnd;
    const bool keepSelectionShown = (::GetWindowLongW(m_editor, GWL_STYLE) & ES_NOHIDESEL) != 0;
    m_editor.Recreate(CDragEdit::Style(wrap, keepSelectionShown));
    if (focused)
        m_editor.SetFocus();
}

HBRUSH FormatCommands::ColourEditor(HDC dc) const {
    ::SetTextColor(dc, m_settings.m_crText);
    ::SetBkColor(dc, m_settings.m_crBack);
    return static_cast<HBRUSH>(m_backBrush.GetSafeHandle());
}

void FormatCommands::ToggleWordWrap() {
    // An edit control can't change its wrapping: it is made anew, with the
    // note's text, selection and modified flag carried over.
    const std::wstring text = m_editor.GetWindowText();
    int start = 0, end = 0;
    m_editor.GetSel(start, end);
    const bool modified = m_editor.GetModify();

    m_settings.m_bWordWrap = !m_settings.m_bWordWrap;
    // Made hidden, so that the text is laid out once, when it is shown.
    m_editor.Recreate(CDragEdit::Style(WrapsText(text), false) & ~WS_VISIBLE);
    ::InvalidateRect(m_window, nullptr, TRUE);
    m_settings.SaveWordWrap();
    m_editor.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), FALSE);

    m_editor.SetWindowText(text);
    m_editor.SetModify(modified);
    m_editor.SetSel(start, end, true);
    m_editor.ShowWindow(SW_SHOW);
    m_editor.SetFocus();
    m_editor.SendMessage(EM_SCROLLCARET);
}

void FormatCommands::PickFont() {
    // The dialog works in the screen's pixels; the configuration keeps 96-dpi ones.
    LOGFONTW font = Dpi::Rescale(m_settings.m_font, Dpi::kStandard, m_window.WindowDpi());
    if (!ChooseEditorFont(m_window, font))
        return;
    m_settings.m_font = Dpi::Rescale(font, m_window.WindowDpi(), Dpi::kStandard);
    LoadFont();
    m_settings.SaveFont();
}

void FormatCommands::PickTextColour() {
    if (!ChooseColour(m_window, m_settings.m_crText))
        return;
    m_settings.SaveTextColor();
    ::RedrawWindow(m_editor, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    m_tree.SetTextColor(m_settings.m_crText);
}

void FormatCommands::PickBackColour() {
    if (!ChooseColour(m_window, m_settings.m_crBack))
        return;
    m_settings.SaveBackColor();
    m_backBrush.CreateSolidBrush(m_settings.m_crBack);
    ::RedrawWindow(m_editor, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    m_tree.SetBkColor(m_settings.m_crBack);
}
