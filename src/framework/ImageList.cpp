#include "framework/ImageList.h"

bool CImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
    Attach(ImageList_Create(cx, cy, flags, initial, grow));
    return GetSafeHandle() != nullptr;
}
