// CNewMenuIcons: a store of menu icons shared by all menus: an image list and
// the command id of each image. It keeps three images per icon: the icon, a
// darkened copy (each channel times 205/255) and a faded copy (half way to
// the menu colour), built whenever it is filled and again after the system's
// colours change. The images are drawn at the menus' resolution: at more
// than 96 dpi the pictures are enlarged (pixel by pixel, so that they stay
// sharp and their transparent colour stays exact). CNewMenuBitmaps is the same store filled one icon at a time.
//
// Stores live for the process: AttachIconStrip (CNewMenu) reuses a store
// loaded from the same bitmap, with the same transparent colour and ids.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "framework/ImageList.h"

class CNewMenuIcons {
public:
    CNewMenuIcons() = default;
    virtual ~CNewMenuIcons() = default;
    CNewMenuIcons(const CNewMenuIcons&) = delete;
    CNewMenuIcons& operator=(const CNewMenuIcons&) = delete;

    // Loads a strip from the words of `description`: bitmap resource id, image
    // width, image height, the command ids of the images from left to right, 0.
    bool LoadStrip(const WORD* description, COLORREF transparent);
    // The image of `commandId`, or -1.
    int FindIndex(UINT commandId) const;
    HIMAGELIST Images() const { return m_images; }
    HIMAGELIST Darkened() const { return m_darkened; }
    HIMAGELIST Faded() const { return m_faded; }
    size_t Count() const { return m_ids.size(); }
    // Builds the images again, the darkened and faded ones from the current colours (after a colour change).
    void BuildDerived();
    // Makes the images the size for menus at `dpi` (the pictures' own size at 96 dpi).
    void ScaleFor(UINT dpi);

    // The shared store for a strip, loaded on first use; null when the bitmap cannot be loaded.
    static CNewMenuIcons* Share(const WORD* description, COLORREF transparent);
    // Rebuilds every store's derived images.
    static void RebuildAllDerived();
    static void ScaleAllFor(UINT dpi);
    static void FreeAll();

protected:
    // Appends images cut from a 32-bit top-down picture `width` pixels wide.
    void AddPictures(const std::vector<DWORD>& pixels, int width, int height, const std::vector<UINT>& ids);
    bool CreateLists(int cx, int cy);
    bool CreateScaledLists();
    // Puts the pictures into the lists at the lists' size, with their derived images.
    void Fill();
    // The pictures of m_pixels at the lists' size, side by side.
    std::vector<DWORD> ScaledPixels() const;

    CImageList m_images, m_darkened, m_faded;
    std::vector<UINT> m_ids;
    // The source pixels of all images side by side, for the derived images.
    std::vector<DWORD> m_pixels;
    int m_nWidth = 0;        // of m_pixels
    int m_cx = 0, m_cy = 0;  // of a picture
    UINT m_nDpi = 96;        // the images in the lists are the pictures scaled to it
    UINT m_nResourceId = 0;
    COLORREF m_crTransparent = CLR_NONE;
};

class CNewMenuBitmaps : public CNewMenuIcons {
public:
    // Adds `bitmap` (one image) as the icon of `commandId`; returns its index or -1.
    int Add(HBITMAP bitmap, UINT commandId, COLORREF transparent);
};
