// Printing a note: the Print dialog, the pages a text makes on a device
// context, and the print job that draws them.
//
// The paging needs nothing but a device context with the printer font
// selected, so it can be tried on a memory DC. The job's device calls go
// through a PrintDevice, which is the printer's own GDI unless a caller stands
// in for a printer that fails.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/DC.h"

namespace NotePrinter {

// The document name the printer queue shows.
constexpr const wchar_t* kDocumentName = L"Tallyleaf print";
// Distance of the text from each edge of the printable area, in device pixels.
constexpr int kMargin = 50;

// What the user chose in the Print dialog.
struct PrinterChoice {
    COwnedDC dc;
    bool selectionOnly = false;
    int copies = 1;
};

// Shows the Print dialog owned by `owner`. False when the user cancelled (or
// the dialog could not be shown, which the dialog reports itself).
bool ChoosePrinter(HWND owner, PrinterChoice& choice);

// The rectangle text goes in on a printable area of `width` by `height`
// pixels: kMargin in from every side. Empty when the page is not bigger than
// its margins.
RECT PageRect(int width, int height);

// `screen` with its height scaled from the screen's to the printer's resolution.
LOGFONTW PrinterFont(const LOGFONTW& screen, int screenDpiY, int printerDpiY);

// How many of the `length` characters at `text` go on one page: the most the
// page rectangle holds as drawn (word breaks, tab stops, edit-control rules),
// ending at a word break where the last word would otherwise be cut in two.
// When not even one line fits, one line all the same, so that printing always
// moves on. 0 only for an empty text or an empty page.
int FitOnPage(HDC dc, const wchar_t* text, int length, const RECT& page);

// The number of characters on each page of `text` (no pages for an empty text).
std::vector<int> Paginate(HDC dc, const std::wstring& text, const RECT& page);

// The device calls of a print job; by default the GDI calls on the job's DC.
class PrintDevice {
public:
    virtual ~PrintDevice() = default;
    virtual int StartDoc(HDC dc, const DOCINFOW& doc) { return ::StartDocW(dc, &doc); }
    virtual int StartPage(HDC dc) { return ::StartPage(dc); }
    virtual int EndPage(HDC dc) { return ::EndPage(dc); }
    virtual int EndDoc(HDC dc) { return ::EndDoc(dc); }
    virtual int AbortDoc(HDC dc) { return ::AbortDoc(dc); }
};

// Prints `text` as one document, `copies` times over, into `page` (PageRect of
// the printable area) in the font selected into `dc`. Returns the message for
// the user when it failed (the document is aborted then; a page too small for
// its margins starts none), or an empty text when it printed.
std::wstring PrintText(HDC dc, const std::wstring& text, int copies, const RECT& page, PrintDevice& device);

}  // namespace NotePrinter
