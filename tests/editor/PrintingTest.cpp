// Printing: the paging of a text on a page-sized memory DC, the print job's
// failures, and whole prints through the Print dialog on a printer that
// writes PostScript into a file.
#include <windows.h>
#include <dlgs.h>

#include <algorithm>
#include <numeric>

#include "settings/FontRecord.h"
#include "editor/NotePrinter.h"
#include "framework/DC.h"
#include "framework/Gdi.h"
#include "framework/SystemError.h"
#include "res/resource.h"
#include "support/FilePrinter.h"
#include "support/MainWindowFixture.h"
#include "support/Pump.h"

namespace {
constexpr UINT kMeasure = DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_EDITCONTROL | DT_NOCLIP;
constexpr const wchar_t* kFailure = L"Tallyleaf error: Can't print the note.";

bool IsBreak(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

// Words of every length from 1 to 12 letters, tabs now and then, and
// paragraphs of one to eight lines' worth.
std::wstring Prose(std::size_t length) {
    std::wstring text;
    for (unsigned i = 1; text.size() < length; ++i) {
        text.append(1 + (i * 7) % 12, static_cast<wchar_t>(L'a' + i % 26));
        text += (i % 97 == 0) ? L"\r\n" : (i % 31 == 0) ? L"\t" : L" ";
    }
    return text.substr(0, length);
}

// The text as the printer shows it: line breaks draw nothing.
std::wstring Shown(std::wstring text) {
    text.erase(std::remove_if(text.begin(), text.end(), [](wchar_t c) { return c == L'\r' || c == L'\n'; }),
               text.end());
    return text;
}

// A memory DC with the printer font of the default editor font at `dpi`.
class PageDC {
public:
    explicit PageDC(int dpi, int height = 0) : m_dc(nullptr) {
        LOGFONTW font = NotePrinter::PrinterFont(FontRecord::Default(), 96, dpi);
        if (height)
            font.lfHeight = height;
        m_font.CreateFontIndirect(font);
        m_previous = ::SelectObject(m_dc, m_font);
    }
    ~PageDC() { ::SelectObject(m_dc, m_previous); }
    operator HDC() const { return m_dc; }

    int Bottom(const std::wstring& text, const RECT& page) const {
        RECT r = page;
        ::DrawTextW(m_dc, text.c_str(), static_cast<int>(text.size()), &r, kMeasure);
        return r.bottom;
    }

private:
    CMemoryDC m_dc;
    CFont m_font;
    HGDIOBJ m_previous;
};

// The job's device calls, passed on to the DC, counted; a page end can be made to fail.
class CountingDevice : public NotePrinter::PrintDevice {
public:
    int StartDoc(HDC dc, const DOCINFOW& doc) override {
        ++starts;
        name = doc.lpszDocName;
        return PrintDevice::StartDoc(dc, doc);
    }
    int EndPage(HDC dc) override {
        if (++pages == failingPage) {
            ::SetLastError(ERROR_OUT_OF_PAPER);
            return SP_ERROR;
        }
        return PrintDevice::EndPage(dc);
    }
    int EndDoc(HDC dc) override {
        ++ends;
        return PrintDevice::EndDoc(dc);
    }
    int AbortDoc(HDC dc) override {
        ++aborts;
        return PrintDevice::AbortDoc(dc);
    }

    int starts = 0, pages = 0, ends = 0, aborts = 0;
    int failingPage = 0;
    std::wstring name;
};
}  // namespace

TEST(Paging, EveryCharacterGoesOnOnePageInOrderAndFullPagesEndAtWordBreaks) {
    PageDC dc(600);
    // A letter page at 600 dpi less the margins; the editor's 14-pixel font
    // becomes a cell of 92 device pixels.
    EXPECT_EQ(NotePrinter::PrinterFont(FontRecord::Default(), 96, 600).lfHeight, 92);
    const RECT page = NotePrinter::PageRect(4800, 6600);
    EXPECT_EQ(page.left, 50);
    EXPECT_EQ(page.top, 50);
    EXPECT_EQ(page.right, 4750);
    EXPECT_EQ(page.bottom, 6550);
    const std::wstring text = Prose(60000);

    const std::vector<int> pages = NotePrinter::Paginate(dc, text, page);
    ASSERT_GT(pages.size(), 3u);
    EXPECT_EQ(std::accumulate(pages.begin(), pages.end(), std::size_t{0}), text.size());
    std::size_t p = 0;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const std::wstring onPage = text.substr(p, pages[i]);
        p += pages[i];
        // What goes on the page fits on it ...
        std::wstring drawn = onPage;
        while (!drawn.empty() && IsBreak(drawn.back()))
            drawn.pop_back();
        EXPECT_LT(dc.Bottom(drawn, page), page.bottom) << "page " << i + 1;
        if (i + 1 == pages.size())
            break;
        // ... ends between words, and the next word would not have fitted.
        EXPECT_TRUE(IsBreak(onPage.back())) << "page " << i + 1;
        EXPECT_FALSE(IsBreak(text[p])) << "page " << i + 2;
        std::size_t next = p;
        while (next < text.size() && !IsBreak(text[next]))
            ++next;
        EXPECT_GE(dc.Bottom(text.substr(p - pages[i], next - (p - pages[i])), page), page.bottom) << "page " << i + 1;
    }
    EXPECT_TRUE(NotePrinter::Paginate(dc, L"", page).empty());
}

TEST(Paging, APageThatHoldsNotEvenOneLineStillTakesOneAndASmallerPageThanItsMarginsPrintsNothing) {
    // A font ten times taller than the page: each page takes one line of it.
    PageDC dc(600, 3000);
    const RECT page = NotePrinter::PageRect(400, 400);
    const std::wstring text = L"ab cd\r\nef";
    const std::vector<int> pages = NotePrinter::Paginate(dc, text, page);
    ASSERT_FALSE(pages.empty());
    EXPECT_EQ(std::accumulate(pages.begin(), pages.end(), std::size_t{0}), text.size());
    EXPECT_GE(pages.size(), 3u);
    for (int n : pages)
        EXPECT_GT(n, 0);
    const std::wstring letters = L"abcdefghij";
    EXPECT_EQ(NotePrinter::Paginate(dc, letters, page).size(), letters.size());

    // Margins of 50 leave nothing of a page 100 pixels wide: no document starts.
    EXPECT_TRUE(::IsRectEmpty(&static_cast<const RECT&>(NotePrinter::PageRect(100, 1000))));
    CountingDevice device;
    EXPECT_EQ(NotePrinter::PrintText(dc, text, 1, NotePrinter::PageRect(100, 1000), device),
              kFailure + std::wstring(L"\n - The page is smaller than its margins."));
    EXPECT_EQ(device.starts, 0);
}

TEST(PrintJob, ADocumentThatCannotStartIsAbortedAndReportedOnce) {
    // A memory DC has no printer behind it: the system refuses to start a document.
    PageDC dc(96);
    CountingDevice device;
    EXPECT_EQ(NotePrinter::PrintText(dc, L"text", 1, NotePrinter::PageRect(800, 1000), device), kFailure);
    EXPECT_EQ(device.starts, 1);
    EXPECT_EQ(device.pages, 0);
    EXPECT_EQ(device.aborts, 1);
}

class PrintingToAFile : public MainWindowTest {
protected:
    void Print(ModalAnswer::Action answer) {
        modal.Answer(std::move(answer));
        Command(ID_FILE_PRINT);
        PumpPending();
    }
};

TEST_F(PrintingToAFile, AFailingPageEndAbortsTheJobAndTellsWhy) {
    FilePrinter printer(dir.File(L"out.ps"));
    ASSERT_TRUE(printer.Ready());
    COwnedDC dc(::CreateDCW(nullptr, printer.Name(), nullptr, nullptr));
    ASSERT_NE(static_cast<HDC>(dc), nullptr);
    const RECT page = NotePrinter::PageRect(::GetDeviceCaps(dc, HORZRES), ::GetDeviceCaps(dc, VERTRES));
    CountingDevice device;
    device.failingPage = 2;  // the paper runs out after the first page
    std::wstring text;
    for (int i = 0; i < 400; ++i)
        text += L"line " + std::to_wstring(i) + L"\r\n";
    EXPECT_EQ(NotePrinter::PrintText(dc, text, 1, page, device),
              kFailure + std::wstring(L"\n - ") + SystemErrorText(ERROR_OUT_OF_PAPER));
    EXPECT_EQ(device.name, L"Tallyleaf print");
    EXPECT_EQ(device.pages, 2);
    EXPECT_EQ(device.ends, 0);
    EXPECT_EQ(device.aborts, 1);
    EXPECT_TRUE(printer.Output().empty());
}

TEST_F(PrintingToAFile, TheNotePrintsPageByPageAndTheSelectionAsManyTimesAsCopiesAsked) {
    FilePrinter printer(dir.File(L"out.ps"));
    ASSERT_TRUE(printer.Ready());
    std::wstring note;
    for (int i = 0; i < 180; ++i)
        note += L"Line " + std::to_wstring(i) + L" of the note\r\n";
    SeedNotes({{1, 0, L"Printed", note}});
    Start();
    dlg->Parts().tray.CallUp();
    Select(L"Printed");
    dlg->Parts().editor.SetSel(7, 40);

    Print([](HWND) { return IDOK; });
    ASSERT_EQ(modal.Boxes().size(), 1u);  // the Print dialog, and no error after it
    std::string out = printer.Output();
    EXPECT_NE(out.find("%%Title: Tallyleaf print"), std::string::npos);
    // 180 lines of a 10.5-point font on the generic printer's pages.
    EXPECT_EQ(PageCount(out), 3);
    EXPECT_EQ(ShownText(out), Shown(note));
    EXPECT_EQ(Selection(), std::make_pair(7, 40));

    // Each job replaces the file.
    ::DeleteFileW(dir.File(L"out.ps").c_str());
    Print([](HWND dialog) {
        ::CheckRadioButton(dialog, rad1, rad3, rad2);  // Selection
        ::SetDlgItemInt(dialog, edt3, 2, FALSE);       // copies
        return IDOK;
    });
    out = printer.Output();
    const std::wstring selection = Shown(note.substr(7, 33));
    EXPECT_EQ(ShownText(out), selection + selection);
    EXPECT_EQ(PageCount(out), 2);
    // The driver is not asked for copies of its own (its job ticket would say "copies=2").
    EXPECT_EQ(out.find("copies=2"), std::string::npos);
    EXPECT_EQ(modal.Boxes().size(), 2u);

    // Cancelled: nothing prints, the selection stays.
    ::DeleteFileW(dir.File(L"out.ps").c_str());
    Print([](HWND) { return IDCANCEL; });
    EXPECT_TRUE(printer.Output().empty());
    EXPECT_EQ(Selection(), std::make_pair(7, 40));
}
