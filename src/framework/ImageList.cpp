#include "framework/ImageList.h"

bool CImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
    Attach(ImageList_Create(cx, cy, flags, initial, grow));
    return m_hImageList != nullptr;
}

void CImageList::Attach(HIMAGELIST list) {
    if (list != m_hImageList)
        DeleteImageList();
    m_hImageList = list;
}

void CImageList::DeleteImageList() {
    if (m_hImageList)
        ImageList_Destroy(m_hImageList);
    m_hImageList = nullptr;
}
