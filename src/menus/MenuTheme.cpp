#include "menus/MenuTheme.h"

#include <utility>

#include "menus/MenuDrawXP.h"
#include "menus/MenuShade.h"
#include "menus/NewMenuHook.h"
#include "framework/DC.h"
#include "framework/Dpi.h"
#include "framework/WindowsVersion.h"

namespace MenuPlatform {
bool IsWine() {
    static const bool wine =
        ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name") != nullptr;
    return wine;
}

bool VisualStylesActive() {
    using IsThemeActiveFn = BOOL(WINAPI*)();
    static const auto isThemeActive = [] {
        HMODULE uxtheme = ::LoadLibraryW(L"uxtheme.dll");
        return uxtheme ? reinterpret_cast<IsThemeActiveFn>(
                             reinterpret_cast<void*>(::GetProcAddress(uxtheme, "IsThemeActive")))
                       : nullptr;
    }();
    return isThemeActive && isThemeActive();
}

bool SystemDrawsMenuShadows() {
    BOOL shadows = FALSE;
    return ::SystemParametersInfoW(SPI_GETDROPSHADOW, 0, &shadows, 0) && shadows;
}

namespace {
Settings g_settings;
bool g_settingsRead = false;
}  // namespace

void ReadSettings(UINT dpi) {
    g_settings.dpi = dpi;
    HIGHCONTRASTW contrast{sizeof contrast, 0, nullptr};
    g_settings.highContrast = ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
                              (contrast.dwFlags & HCF_HIGHCONTRASTON);
    BOOL flat = FALSE;
    g_settings.flatMenus = ::SystemParametersInfoW(SPI_GETFLATMENU, 0, &flat, 0) && flat;
    g_settings.visualStyles = VisualStylesActive();
    NONCLIENTMETRICSW metrics{};
    if (Dpi::NonClientMetrics(metrics, kNonClientMetricsSize, dpi))
        g_settings.menuFont = metrics.lfMenuFont;
    g_settingsRead = true;
}

void ReadSettings() {
    ReadSettings(g_settingsRead ? g_settings.dpi : Dpi::OfSystem());
}

int Scaled(int value) {
    return Dpi::Scale(value, CurrentSettings().dpi);
}

const Settings& CurrentSettings() {
    if (!g_settingsRead)
        ReadSettings();
    return g_settings;
}

bool SystemTracksMenuBar() {
    return CurrentWindowsVersion().major >= 5 && !::GetSystemMetrics(SM_REMOTESESSION);
}
}  // namespace MenuPlatform

CMenuTheme::CMenuTheme(int id, DWORD flags, MeasureRoutine measure, DrawRoutine draw, TitleRoutine title)
    : m_pMeasureItem(measure), m_pDrawItem(draw), m_pDrawTitle(title), m_nId(id), m_dwFlags(flags) {
    UpdateSysColors();
    UpdateSizes();
}

void CMenuTheme::UpdateSysColors() {
    m_crBtnFace = ::GetSysColor(COLOR_BTNFACE);
    m_crBtnShadow = ::GetSysColor(COLOR_BTNSHADOW);
    m_crBtnHilight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    m_crBtnText = ::GetSysColor(COLOR_BTNTEXT);
    m_crWindowFrame = ::GetSysColor(COLOR_WINDOWFRAME);
}

void CMenuTheme::UpdateSizes() {
    m_shade = MenuPlatform::SystemDrawsMenuShadows() ? SIZE{0, 0} : SIZE{4, 4};
}

void CMenuTheme::OnInitWnd(HWND hwnd, CMenuHookData& data) {
    data.m_dwStyle = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
    data.m_dwExStyle = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    UpdateSizes();
    if (!DoDrawBorder())
        return;
    const LONG_PTR style = data.m_dwStyle & ~static_cast<LONG_PTR>(WS_BORDER);
    const LONG_PTR exStyle = data.m_dwExStyle & ~static_cast<LONG_PTR>(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE);
    RECT before{0, 0, 0, 0}, after{0, 0, 0, 0};
    ::AdjustWindowRectEx(&before, static_cast<DWORD>(data.m_dwStyle), FALSE, static_cast<DWORD>(data.m_dwExStyle));
    ::AdjustWindowRectEx(&after, static_cast<DWORD>(style), FALSE, static_cast<DWORD>(exStyle));
    data.m_removedFrame = {after.left - before.left, after.top - before.top, before.right - after.right,
                           before.bottom - after.bottom};
    ::SetWindowLongPtrW(hwnd, GWL_STYLE, style);
    ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle);
    data.m_bStylesChanged = true;
}

void CMenuTheme::OnUnInitWnd(HWND hwnd, CMenuHookData& data) {
    if (!data.m_bStylesChanged)
        return;
    ::SetWindowLongPtrW(hwnd, GWL_STYLE, data.m_dwStyle);
    ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, data.m_dwExStyle);
    data.m_bStylesChanged = false;
}

RECT CMenuTheme::ExtraFrame(const CMenuHookData&) const {
    if (DoDrawBorder())
        return {m_border.cx, m_border.cy, m_border.cx + m_shade.cx, m_border.cy + m_shade.cy};
    return {0, 0, m_shade.cx, m_shade.cy};
}

void CMenuTheme::OnNcCalcSize(HWND, RECT& rect, const CMenuHookData& data) {
    const RECT extra = ExtraFrame(data);
    rect.left += extra.left;
    rect.top += extra.top;
    rect.right -= extra.right;
    rect.bottom -= extra.bottom;
}

void CMenuTheme::OnWindowPosChanging(HWND, WINDOWPOS& pos, const CMenuHookData& data) {
    if (pos.flags & SWP_NOSIZE)
        return;
    const RECT extra = ExtraFrame(data);
    const RECT& removed = data.m_removedFrame;
    pos.cx += extra.left + extra.right - removed.left - removed.right;
    pos.cy += extra.top + extra.bottom - removed.top - removed.bottom;
}

namespace {
RECT WindowBox(HWND hwnd, RECT* onScreen = nullptr) {
    RECT window{};
    ::GetWindowRect(hwnd, &window);
    if (onScreen)
        *onScreen = window;
    return {0, 0, window.right - window.left, window.bottom - window.top};
}

MenuColours ColoursOf(HDC dc, const CMenuHookData& data) {
    return MenuColours::For(MenuEnvironment::Of(dc, data.m_hMenu), dc);
}
}  // namespace

void CMenuTheme::DrawFrame(HWND hwnd, HDC dc, CMenuHookData& data) {
    RECT screen{};
    const RECT box = WindowBox(hwnd, &screen);
    const RECT frame{box.left, box.top, box.right - m_shade.cx, box.bottom - m_shade.cy};
    // The system's own frame, drawn where the system would if the window had no shade.
    if ((data.m_dwExStyle & WS_EX_DLGMODALFRAME) || (data.m_dwStyle & WS_DLGFRAME)) {
        RECT edge = frame;
        ::DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
    } else if (data.m_dwStyle & WS_BORDER) {
        CDC(dc).FrameRect(frame, ::GetSysColor(COLOR_WINDOWFRAME));
    }
    if (m_shade.cx > 0)
        PaintMenuShadow(dc, screen, m_shade, data.m_capture, ColoursOf(dc, data));
}

bool CMenuTheme::OnEraseBkgnd(HWND, HDC) {
    return false;
}

void CMenuThemeXP::DrawFrame(HWND hwnd, HDC dc, CMenuHookData& data) {
    if (!DoDrawBorder()) {
        CMenuTheme::DrawFrame(hwnd, dc, data);
        return;
    }
    RECT screen{};
    const RECT box = WindowBox(hwnd, &screen);
    const MenuColours colours = ColoursOf(dc, data);
    DrawMenuBorderXP(dc, {box.left, box.top, box.right - m_shade.cx, box.bottom - m_shade.cy}, colours);
    if (m_shade.cx > 0)
        PaintMenuShadow(dc, screen, m_shade, data.m_capture, colours);
}

bool CMenuThemeXP::OnEraseBkgnd(HWND hwnd, HDC dc) {
    const CMenuHookData* data = CNewMenuHook::DataOf(hwnd);
    const MenuColours colours = MenuColours::For(MenuEnvironment::Of(dc, data ? data->m_hMenu : nullptr), dc);
    RECT client{};
    ::GetClientRect(hwnd, &client);
    CDC(dc).FillSolidRect(client, colours.textArea);
    return true;
}

namespace MenuThemes {
namespace {
struct Registry {
    std::vector<std::unique_ptr<CMenuTheme>> themes;
    CMenuTheme* current = nullptr;
    bool derivedIconEffects = true;
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

template <class Theme>
void AddPair(Registry& registry, int id, MeasureRoutine measure, DrawRoutine draw) {
    registry.themes.push_back(std::make_unique<Theme>(id, CMenuTheme::kOwnBorder, measure, draw, &DrawTitleXP));
    registry.themes.push_back(std::make_unique<Theme>(id + 1, 0, measure, draw, &DrawTitleXP));
}
}  // namespace

void RegisterAll() {
    Registry& registry = TheRegistry();
    if (!registry.themes.empty())
        return;
    // The program only ever shows theme 2 (3 under Wine); the other looks draw like it.
    AddPair<CMenuTheme>(registry, 0, &MeasureItemXP, &DrawItemXP);
    AddPair<CMenuThemeXP>(registry, 2, &MeasureItemXP, &DrawItemXP);
    AddPair<CMenuTheme>(registry, 4, &MeasureItemXP, &DrawItemXP);
    AddPair<CMenuTheme>(registry, 6, &MeasureItemXP, &DrawItemXP);
    AddPair<CMenuTheme2003>(registry, 8, &MeasureItemXP, &DrawItemXP);
    AddPair<CMenuThemeXP>(registry, 10, &MeasureItemXP, &DrawItemXP);
    registry.current = nullptr;
    SelectMenuTheme(2);
}

void FreeAll() {
    Registry& registry = TheRegistry();
    registry.current = nullptr;
    registry.themes.clear();
}

int SelectMenuTheme(int id) {
    Registry& registry = TheRegistry();
    if (MenuPlatform::IsWine() && id >= 0 && id % 2 == 0)
        ++id;
    for (const auto& theme : registry.themes) {
        if (theme->Id() == id) {
            const int previous = registry.current ? registry.current->Id() : -1;
            registry.current = theme.get();
            return previous;
        }
    }
    return -1;
}

CMenuTheme* Current() {
    return TheRegistry().current;
}

bool SetDerivedIconEffects(bool on) {
    return std::exchange(TheRegistry().derivedIconEffects, on);
}

bool DerivedIconEffects() {
    return TheRegistry().derivedIconEffects;
}
}  // namespace MenuThemes
