#include "menus/NewMenuIcons.h"

#include "menus/MenuColours.h"
#include "framework/DC.h"
#include "framework/Dpi.h"
#include "framework/Gdi.h"

namespace {
std::vector<std::unique_ptr<CNewMenuIcons>>& Stores() {
    static std::vector<std::unique_ptr<CNewMenuIcons>> stores;
    return stores;
}

// The pixels of `bitmap` as 32-bit top-down rows (0x00RRGGBB).
bool ReadPixels(HBITMAP bitmap, std::vector<DWORD>& pixels, int& width, int& height) {
    BITMAP info{};
    if (!::GetObjectW(bitmap, sizeof info, &info))
        return false;
    width = info.bmWidth;
    height = info.bmHeight;
    BITMAPINFO header = TopDown32Info(width, height);
    pixels.assign(static_cast<size_t>(width) * height, 0);
    CClientDC screen(nullptr);
    return ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(height), pixels.data(), &header, DIB_RGB_COLORS) == height;
}

DWORD Pack(COLORREF c) {
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

COLORREF Unpack(DWORD p) {
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

// Adds the pixels, changed by `change` except where transparent, to `list` as masked images.
template <class Change>
void AddTo(CImageList& list, const std::vector<DWORD>& pixels, int width, int height, COLORREF transparent,
           Change change) {
    CBitmap bitmap;
    DWORD* bits = nullptr;
    if (!bitmap.CreateDIB32(width, height, &bits))
        return;
    for (size_t i = 0; i < pixels.size(); ++i) {
        const COLORREF c = Unpack(pixels[i]);
        bits[i] = c == transparent ? pixels[i] : Pack(change(c));
    }
    ImageList_AddMasked(list, bitmap, transparent);
}
}  // namespace

bool CNewMenuIcons::CreateLists(int cx, int cy) {
    if (m_images)
        return m_cx == cx && m_cy == cy;
    m_cx = cx;
    m_cy = cy;
    return CreateScaledLists();
}

bool CNewMenuIcons::CreateScaledLists() {
    const int cx = Dpi::Scale(m_cx, m_nDpi);
    const int cy = Dpi::Scale(m_cy, m_nDpi);
    return m_images.Create(cx, cy, ILC_COLOR24 | ILC_MASK, 10, 10) &&
           m_darkened.Create(cx, cy, ILC_COLOR24 | ILC_MASK, 10, 10) &&
           m_faded.Create(cx, cy, ILC_COLOR24 | ILC_MASK, 10, 10);
}

void CNewMenuIcons::Fill() {
    const std::vector<DWORD> pixels = ScaledPixels();
    const int cy = Dpi::Scale(m_cy, m_nDpi);
    const int width = cy > 0 ? static_cast<int>(pixels.size()) / cy : 0;
    ImageList_RemoveAll(m_images);
    ImageList_RemoveAll(m_darkened);
    ImageList_RemoveAll(m_faded);
    const COLORREF menu = ::GetSysColor(COLOR_MENU);
    AddTo(m_images, pixels, width, cy, m_crTransparent, [](COLORREF c) { return c; });
    AddTo(m_darkened, pixels, width, cy, m_crTransparent, [](COLORREF c) { return DarkenColour(c, 50); });
    AddTo(m_faded, pixels, width, cy, m_crTransparent, [menu](COLORREF c) { return MixColour(c, menu, 50); });
}

std::vector<DWORD> CNewMenuIcons::ScaledPixels() const {
    const int cx = Dpi::Scale(m_cx, m_nDpi);
    const int cy = Dpi::Scale(m_cy, m_nDpi);
    const int width = m_cx > 0 ? m_nWidth / m_cx * cx : 0;
    std::vector<DWORD> scaled(static_cast<size_t>(width) * cy);
    for (int y = 0; y < cy; ++y) {
        const int from = y * m_cy / cy;
        for (int x = 0; x < width; ++x)
            scaled[static_cast<size_t>(y) * width + x] = m_pixels[from * m_nWidth + x / cx * m_cx + x % cx * m_cx / cx];
    }
    return scaled;
}

void CNewMenuIcons::ScaleFor(UINT dpi) {
    if (dpi == m_nDpi || !m_images)
        return;
    m_nDpi = dpi;
    if (CreateScaledLists())
        Fill();
}

bool CNewMenuIcons::LoadStrip(const WORD* description, COLORREF transparent) {
    const UINT resource = description[0];
    const int cx = description[1];
    const int cy = description[2];
    std::vector<UINT> ids;
    for (const WORD* id = description + 3; *id; ++id)
        ids.push_back(*id);
    CBitmap strip;
    strip.Attach(static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource),
                                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    std::vector<DWORD> pixels;
    int width = 0, height = 0;
    if (!strip || !ReadPixels(strip, pixels, width, height) || height != cy ||
        width < cx * static_cast<int>(ids.size()))
        return false;
    m_crTransparent = transparent;
    m_nResourceId = resource;
    if (!CreateLists(cx, cy))
        return false;
    AddPictures(pixels, width, height, ids);
    return true;
}

void CNewMenuIcons::AddPictures(const std::vector<DWORD>& pixels, int width, int height, const std::vector<UINT>& ids) {
    // The pictures are kept side by side, as one strip, for rebuilding the derived images.
    const int images = static_cast<int>(ids.size());
    std::vector<DWORD> joined(static_cast<size_t>(m_nWidth + images * m_cx) * m_cy);
    for (int y = 0; y < m_cy && y < height; ++y) {
        for (int x = 0; x < m_nWidth; ++x)
            joined[y * (m_nWidth + images * m_cx) + x] = m_pixels[y * m_nWidth + x];
        for (int x = 0; x < images * m_cx && x < width; ++x)
            joined[y * (m_nWidth + images * m_cx) + m_nWidth + x] = pixels[y * width + x];
    }
    m_pixels = std::move(joined);
    m_nWidth += images * m_cx;
    m_ids.insert(m_ids.end(), ids.begin(), ids.end());
    Fill();
}

void CNewMenuIcons::BuildDerived() {
    Fill();
}

int CNewMenuIcons::FindIndex(UINT commandId) const {
    for (size_t i = 0; i < m_ids.size(); ++i) {
        if (m_ids[i] == commandId)
            return static_cast<int>(i);
    }
    return -1;
}

CNewMenuIcons* CNewMenuIcons::Share(const WORD* description, COLORREF transparent) {
    std::vector<UINT> ids;
    for (const WORD* id = description + 3; *id; ++id)
        ids.push_back(*id);
    for (const auto& store : Stores()) {
        if (store->m_nResourceId == description[0] && store->m_crTransparent == transparent && store->m_ids == ids)
            return store.get();
    }
    auto store = std::make_unique<CNewMenuIcons>();
    if (!store->LoadStrip(description, transparent))
        return nullptr;
    Stores().push_back(std::move(store));
    return Stores().back().get();
}

void CNewMenuIcons::RebuildAllDerived() {
    for (const auto& store : Stores())
        store->BuildDerived();
}

void CNewMenuIcons::ScaleAllFor(UINT dpi) {
    for (const auto& store : Stores())
        store->ScaleFor(dpi);
}

void CNewMenuIcons::FreeAll() {
    Stores().clear();
}

int CNewMenuBitmaps::Add(HBITMAP bitmap, UINT commandId, COLORREF transparent) {
    std::vector<DWORD> pixels;
    int width = 0, height = 0;
    if (!ReadPixels(bitmap, pixels, width, height) || !CreateLists(width, height))
        return -1;
    m_crTransparent = transparent;
    AddPictures(pixels, width, height, {commandId});
    return static_cast<int>(m_ids.size()) - 1;
}
