#include "editor/NotePrinter.h"

#include <commdlg.h>

#include <algorithm>

#include "framework/SystemError.h"

namespace NotePrinter {
namespace {
// Measuring and drawing share these, so that what was measured is what prints.
constexpr UINT kTextFlags = DT_WORDBREAK | DT_EXPANDTABS | DT_EDITCONTROL | DT_NOCLIP;

constexpr const wchar_t* kFailure = L"Tallyleaf error: Can't print the note.";

bool IsBreak(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

// The bottom of the rectangle the first `count` characters need on the page.
int BottomOf(HDC dc, const wchar_t* text, int count, const RECT& page) {
    RECT r = page;
    ::DrawTextW(dc, text, count, &r, kTextFlags | DT_CALCRECT);
    return r.bottom;
}

// The decimal search: the largest count of characters (up to `length`) whose
// bottom stays above `limit`. Counts go up in thousands, then hundreds, tens
// and ones, each measured from the start of this page only.
int LargestFitting(HDC dc, const wchar_t* text, int length, const RECT& page, int limit) {
    int n = 0;
    int step = 1000;
    bool fits = true;
    for (;;) {
        // No characters take no room (DrawText measures nothing for them).
        fits = n <= 0 || BottomOf(dc, text, std::min(n, length), page) < limit;
        if (!fits || n >= length) {
            if (step == 1)
                break;
            n -= step;
            step /= 10;
        }
        n += step;
    }
    if (!fits)
        --n;
    return std::min(n, length);
}

std::wstring Failure(DWORD error) {
    const std::wstring detail = SystemErrorText(error);
    return detail.empty() ? kFailure : kFailure + std::wstring(L"\n - ") + detail;
}
}  // namespace

bool ChoosePrinter(HWND owner, PrinterChoice& choice) {
    PRINTDLGW pd{};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = owner;
    pd.Flags = PD_RETURNDC | PD_PAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE | PD_HIDEPRINTTOFILE;
    // The page range is offered, as the dialog has it, but every page prints.
    pd.nMinPage = 1;
    pd.nMaxPage = 0xFFFF;
    pd.nFromPage = 1;
    pd.nToPage = 0xFFFF;
    pd.nCopies = 1;
    const bool chosen = ::PrintDlgW(&pd) != FALSE;
    choice.dc = COwnedDC(pd.hDC);
    choice.selectionOnly = (pd.Flags & PD_SELECTION) != 0;
    choice.copies = pd.nCopies;
    if (pd.hDevMode) {
        if (auto* mode = static_cast<DEVMODEW*>(::GlobalLock(pd.hDevMode))) {
            if (mode->dmFields & DM_COPIES) {
                choice.copies = mode->dmCopies;
                // The program prints every copy itself: a driver that made
                // copies too would print each one that many times over.
                if (mode->dmCopies > 1 && pd.hDC) {
                    mode->dmCopies = 1;
                    ::ResetDCW(pd.hDC, mode);
                }
            }
            ::GlobalUnlock(pd.hDevMode);
        }
        ::GlobalFree(pd.hDevMode);
    }
    if (pd.hDevNames)
        ::GlobalFree(pd.hDevNames);
    choice.copies = std::max(choice.copies, 1);
    return chosen && pd.hDC;
}

RECT PageRect(int width, int height) {
    RECT page{kMargin, kMargin, width - kMargin, height - kMargin};
    if (page.right <= page.left || page.bottom <= page.top)
        page = RECT{};
    return page;
}

LOGFONTW PrinterFont(const LOGFONTW& screen, int screenDpiY, int printerDpiY) {
    LOGFONTW font = screen;
    // A character height (negative) on the screen becomes a cell height on paper.
    font.lfHeight = -::MulDiv(::MulDiv(72, screen.lfHeight, screenDpiY), printerDpiY, 72);
    return font;
}

int FitOnPage(HDC dc, const wchar_t* text, int length, const RECT& page) {
    if (length <= 0 || ::IsRectEmpty(&page))
        return 0;
    int n = LargestFitting(dc, text, length, page, page.bottom);
    if (n == 0) {
        // Not even one line fits (a font taller than the page): one line goes
        // on the page all the same, as much as the first character's line holds.
        n = LargestFitting(dc, text, length, page, BottomOf(dc, text, 1, page) + 1);
        n = std::max(n, 1);
    }
    if (n < length && !IsBreak(text[n]) && !IsBreak(text[n - 1])) {
        // The page would end inside a word whose start fits: the whole word
        // goes to the next page, unless it is the page's only word.
        int start = n;
        while (start > 0 && !IsBreak(text[start - 1]))
            --start;
        if (start > 0)
            n = start;
    }
    // The spaces and the line break that end the page's last line stay with
    // it, so the next page starts with text.
    while (n < length && (text[n] == L' ' || text[n] == L'\t'))
        ++n;
    if (n < length && text[n] == L'\r')
        ++n;
    if (n < length && text[n] == L'\n')
        ++n;
    return n;
}

std::vector<int> Paginate(HDC dc, const std::wstring& text, const RECT& page) {
    std::vector<int> pages;
    const int total = static_cast<int>(text.size());
    for (int p = 0; p < total;) {
        const int n = FitOnPage(dc, text.c_str() + p, total - p, page);
        if (n <= 0)
            break;
        pages.push_back(n);
        p += n;
    }
    return pages;
}

std::wstring PrintText(HDC dc, const std::wstring& text, int copies, const RECT& page, PrintDevice& device) {
    if (::IsRectEmpty(&page))
        return kFailure + std::wstring(L"\n - The page is smaller than its margins.");
    DOCINFOW doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = kDocumentName;
    ::SetLastError(0);
    if (device.StartDoc(dc, doc) <= 0) {
        const DWORD error = ::GetLastError();
        device.AbortDoc(dc);
        return Failure(error);
    }
    const std::vector<int> pages = Paginate(dc, text, page);
    bool good = true;
    for (int copy = 0; good && copy < copies; ++copy) {
        int p = 0;
        for (std::size_t i = 0; good && i < pages.size(); ++i) {
            ::SetLastError(0);
            good = device.StartPage(dc) > 0;
            if (good) {
                RECT r = page;
                ::DrawTextW(dc, text.c_str() + p, pages[i], &r, kTextFlags);
                p += pages[i];
                good = device.EndPage(dc) > 0;
            }
        }
    }
    if (good) {
        ::SetLastError(0);
        good = device.EndDoc(dc) > 0;
        if (good)
            return {};
    }
    const DWORD error = ::GetLastError();
    device.AbortDoc(dc);
    return Failure(error);
}

}  // namespace NotePrinter
