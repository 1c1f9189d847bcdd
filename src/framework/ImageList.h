// CImageList: owns one image list (HIMAGELIST) and destroys it with itself.
// Move-only. The drag-image operations are the platform's process-wide ones
// (one drag image at a time), so they are static except BeginDrag, which starts
// a drag with one of this list's images.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "framework/UniqueHandle.h"

struct ImageListTraits {
    using Handle = HIMAGELIST;
    static constexpr Handle Invalid() { return nullptr; }
    static void Close(HIMAGELIST list) { ImageList_Destroy(list); }
};

class CImageList {
public:
    CImageList() = default;
    explicit CImageList(HIMAGELIST list) : m_list(list) {}

    operator HIMAGELIST() const { return m_list.get(); }
    HIMAGELIST GetSafeHandle() const { return m_list.get(); }

    bool Create(int cx, int cy, UINT flags, int initial, int grow);
    // Takes ownership of `list`, destroying the one held before.
    void Attach(HIMAGELIST list) { m_list.reset(list); }
    HIMAGELIST Detach() { return m_list.release(); }
    void DeleteImageList() { m_list.reset(); }

    // Adds a bitmap (the list copies it); returns the new image's index or -1.
    int Add(HBITMAP image, HBITMAP mask) { return ImageList_Add(m_list.get(), image, mask); }
    int GetImageCount() const { return ImageList_GetImageCount(m_list.get()); }

    // Starts dragging image `image`; `hotspot` is the pointer's place in the image.
    bool BeginDrag(int image, POINT hotspot) {
        return ImageList_BeginDrag(m_list.get(), image, hotspot.x, hotspot.y) != FALSE;
    }
    // Shows the drag image at `pt`, in the coordinates of `lock`'s window
    // rectangle (null: the desktop, so screen coordinates), and locks `lock`.
    static bool DragEnter(HWND lock, POINT pt) { return ImageList_DragEnter(lock, pt.x, pt.y) != FALSE; }
    static bool DragMove(POINT pt) { return ImageList_DragMove(pt.x, pt.y) != FALSE; }
    // Hides or shows the drag image without locking any window.
    static bool DragShowNolock(bool show) { return ImageList_DragShowNolock(show ? TRUE : FALSE) != FALSE; }
    static bool DragLeave(HWND lock) { return ImageList_DragLeave(lock) != FALSE; }
    static void EndDrag() { ImageList_EndDrag(); }

private:
    UniqueHandle<ImageListTraits> m_list;
};
