// Opening the largest popups of the owner-drawn menus: the Insert menu with
// 51 snippets and the Edit menu, from the call that opens the popup to its
// last item drawn (every item measured and drawn by the program), and the
// screen captures the shade takes per popup.
#include <windows.h>

#include <string>

#include "Scenarios.h"
#include "app/TallyLeafApp.h"
#include "app/TallyLeafDlg.h"
#include "menus/MenuShade.h"
#include "menus/NewMenuHook.h"
#include "res/resource.h"
#include "support/MenuPopup.h"
#include "support/Pump.h"

namespace bench {
namespace {
constexpr int kReps = 30;
constexpr double kTargetMs = 30;
constexpr int kSnippets = 51;

// Counts the items of one menu measured and drawn, and notes when the last drawing was done.
struct DrawCount {
    HMENU menu = nullptr;
    int measured = 0;
    int drawn = 0;
    Stopwatch* clock = nullptr;
    double lastDrawMs = -1;
};
DrawCount* g_count = nullptr;

// Time spent in the program's handling of the menu's messages: measuring and
// drawing items (to the main window), frame, shade and background (to the popup).
struct Handling {
    double ms = 0;
    double started = 0;
    Stopwatch clock;
};
Handling* g_handling = nullptr;

bool Timed(UINT message) {
    return message == WM_MEASUREITEM || message == WM_DRAWITEM || message == WM_NCPAINT || message == WM_ERASEBKGND;
}

LRESULT CALLBACK BeforeMessage(int code, WPARAM w, LPARAM l) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(l);
    if (code == HC_ACTION && g_handling && Timed(sent->message))
        g_handling->started = g_handling->clock.ElapsedMs();
    return ::CallNextHookEx(nullptr, code, w, l);
}

LRESULT CALLBACK AfterMessage(int code, WPARAM w, LPARAM l) {
    const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(l);
    if (code == HC_ACTION && g_handling && Timed(sent->message)) {
        g_handling->ms += g_handling->clock.ElapsedMs() - g_handling->started;
    }
    if (code == HC_ACTION && g_count && sent->message == WM_DRAWITEM) {
        const auto* dis = reinterpret_cast<const DRAWITEMSTRUCT*>(sent->lParam);
        if (dis->CtlType == ODT_MENU && reinterpret_cast<HMENU>(dis->hwndItem) == g_count->menu) {
            ++g_count->drawn;
            g_count->lastDrawMs = g_count->clock->ElapsedMs();
        }
    } else if (code == HC_ACTION && g_count && sent->message == WM_MEASUREITEM) {
        if (reinterpret_cast<const MEASUREITEMSTRUCT*>(sent->lParam)->CtlType == ODT_MENU)
            ++g_count->measured;
    }
    return ::CallNextHookEx(nullptr, code, w, l);
}

// Two figures: the program's own work on the popup (measuring, drawing, frame
// and background), and the whole opening, from the call to the last item drawn.
void MeasureOpening(CTallyLeafDlg& dlg, int barPosition, const std::string& label, std::vector<Figure>& figures) {
    HMENU menu = ::GetSubMenu(::GetMenu(dlg.m_hWnd), barPosition);
    Samples samples, whole;
    long captures = 0;
    int measured = 0, drawn = 0;
    Stopwatch figureTime;
    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROCRET, &AfterMessage, nullptr, ::GetCurrentThreadId());
    HHOOK beforeHook = ::SetWindowsHookExW(WH_CALLWNDPROC, &BeforeMessage, nullptr, ::GetCurrentThreadId());
    while (MoreReps(samples.Count(), kReps, figureTime)) {
        Stopwatch clock;
        DrawCount count{menu, 0, 0, &clock, -1};
        g_count = &count;
        Handling handling;
        g_handling = &handling;
        const long before = CScreenCapture::Count();
        // Drawn once the popup shows with nothing left to paint.
        const PopupRun run = OpenPopupMenu(dlg.m_hWnd, menu, [&](HWND popup, int) {
            return count.drawn > 0 && !::GetUpdateRect(popup, nullptr, FALSE);
        });
        g_count = nullptr;
        g_handling = nullptr;
        if (!run.shown || run.timedOut || count.lastDrawMs < 0)
            Fail("the " + label + " popup did not open and draw");
        captures += CScreenCapture::Count() - before;
        measured = count.measured;
        drawn = count.drawn;
        samples.Add(handling.ms);
        whole.Add(count.lastDrawMs);
        PumpPending();
    }
    ::UnhookWindowsHookEx(hook);
    ::UnhookWindowsHookEx(beforeHook);
    // Items measured and drawn in the last opening (a long popup scrolls: only what shows is drawn),
    // and the screen captures for the shade per popup.
    const std::string size = std::to_string(measured) + "m " + std::to_string(drawn) + "d " +
                             std::to_string(static_cast<double>(captures) / samples.Count()).substr(0, 3) + "c";
    figures.push_back({"Menu " + label + ": measuring and drawing", size, samples, kTargetMs, kReps, {}});
    figures.push_back({"Menu " + label + ": opened to last item drawn", "", whole, 0, kReps, {}});
}
}  // namespace

void RunMenus(const ScratchFolder& scratch, std::vector<Figure>& figures) {
    // The menu library, as the program has it around its main window.
    CNewMenuHook menus;
    CTallyLeafApp::ConfigureMenus();
    auto dlg = StartWindow(scratch.SubFolder(L"menus"));
    dlg->Parts().tray.CallUp();
    PumpPending();
    // The Insert menu filled as the snippets file fills it: 51 items.
    HMENU insert = ::GetSubMenu(::GetMenu(dlg->m_hWnd), 4);
    while (::GetMenuItemCount(insert) > 0)
        ::DeleteMenu(insert, 0, MF_BYPOSITION);
    for (int k = 0; k < kSnippets; ++k) {
        const std::wstring text = L"Snippet number " + std::to_wstring(k + 1) + L" with some words" +
                                  (k < 10 ? L"\tAlt+" + std::to_wstring((k + 1) % 10) : L"");
        ::AppendMenuW(insert, MF_STRING, ID_INSERT_FIRST + k, text.c_str());
    }
    Progress("menus: the Insert popup");
    MeasureOpening(*dlg, 4, "Insert (51)", figures);
    Progress("menus: the Edit popup");
    MeasureOpening(*dlg, 1, "Edit", figures);
    CloseWindow(dlg);
}

}  // namespace bench
