// The main window's Format menu (word wrap, font, colours) and printing.
#include "app/TallyLeafDlg.h"
#include "editor/FormatDialogs.h"
#include "editor/NotePrinter.h"
#include "framework/AppMessageBox.h"
#include "framework/DC.h"
#include "framework/Dpi.h"

void CTallyLeafDlg::OnWordWrap(UINT) {
    // An edit control can't change its wrapping: it is made anew, with the
    // note's text, selection and modified flag carried over.
    UpdateData(true);
    int start = 0, end = 0;
    m_wndEditor.GetSel(start, end);
    const bool modified = m_wndEditor.GetModify();

    m_settings.m_bWordWrap = !m_settings.m_bWordWrap;
    // Made hidden, so that the text is laid out once, when it is shown.
    m_wndEditor.Recreate(CDragEdit::Style(WrapsText(m_strNoteText), false) & ~WS_VISIBLE);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    m_settings.SaveWordWrap();
    m_wndEditor.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_fontEditor.GetSafeHandle()), FALSE);

    UpdateData(false);
    m_wndEditor.SetModify(modified);
    m_wndEditor.SetSel(start, end, true);
    m_wndEditor.ShowWindow(SW_SHOW);
    m_wndEditor.SetFocus();
    m_wndEditor.SendMessage(EM_SCROLLCARET);
}

void CTallyLeafDlg::OnChooseFont(UINT) {
    // The dialog works in the screen's pixels; the configuration keeps 96-dpi ones.
    LOGFONTW font = Dpi::Rescale(m_settings.m_font, Dpi::kStandard, WindowDpi());
    if (!ChooseEditorFont(m_hWnd, font))
        return;
    m_settings.m_font = Dpi::Rescale(font, WindowDpi(), Dpi::kStandard);
    LoadFont();
    m_settings.SaveFont();
}

void CTallyLeafDlg::OnFontColor(UINT) {
    if (!ChooseColour(m_hWnd, m_settings.m_crText))
        return;
    m_settings.SaveTextColor();
    ::RedrawWindow(m_wndEditor, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    m_wndTree.SetTextColor(m_settings.m_crText);
}

void CTallyLeafDlg::OnBackColor(UINT) {
    if (!ChooseColour(m_hWnd, m_settings.m_crBack))
        return;
    m_settings.SaveBackColor();
    m_brBack.CreateSolidBrush(m_settings.m_crBack);
    ::RedrawWindow(m_wndEditor, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    m_wndTree.SetBkColor(m_settings.m_crBack);
}

void CTallyLeafDlg::OnPrint(UINT) {
    int start = 0, end = 0;
    m_wndEditor.GetSel(start, end);
    UpdateData(true);
    NotePrinter::PrinterChoice printer;
    if (NotePrinter::ChoosePrinter(m_hWnd, printer)) {
        HDC dc = printer.dc;
        ::SetBkMode(dc, OPAQUE);
        ::SetMapMode(dc, MM_TEXT);
        CFont font;
        font.CreateFontIndirect(
            NotePrinter::PrinterFont(m_settings.m_font, Dpi::kStandard, ::GetDeviceCaps(dc, LOGPIXELSY)));
        std::wstring failure;
        {
            CSelectObject selected(dc, font);
            std::wstring selection;
            if (printer.selectionOnly && static_cast<std::size_t>(start) < m_strNoteText.size())
                selection = m_strNoteText.substr(start, end - start);
            const RECT page = NotePrinter::PageRect(::GetDeviceCaps(dc, HORZRES), ::GetDeviceCaps(dc, VERTRES));
            NotePrinter::PrintDevice device;
            failure = NotePrinter::PrintText(dc, printer.selectionOnly ? selection : m_strNoteText, printer.copies,
                                             page, device);
        }
        if (!failure.empty())
            AppMessageBox(failure, nullptr, MB_ICONERROR, m_hWnd);
    }
    m_wndEditor.SetSel(start, end);
}
