// COleDataObject: reads what an OLE data object offers (a drop's or the
// clipboard's). Non-owning: it borrows the IDataObject for its own life.
//
// Conventions: only global-memory data (TYMED_HGLOBAL) of the content aspect is
// read. Readers return std::nullopt when the format is not offered or its data
// can't be had; what they return is a copy, so nothing is left to free.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <optional>
#include <string>
#include <vector>

// A drop's effect: DROPEFFECT_NONE, _COPY, _MOVE, _LINK, _SCROLL.
using DROPEFFECT = DWORD;

class COleDataObject {
public:
    explicit COleDataObject(IDataObject* data) : m_pData(data) {}

    IDataObject* GetIDataObject() const { return m_pData; }
    bool IsDataAvailable(CLIPFORMAT format) const;

    // CF_UNICODETEXT up to its terminator.
    std::optional<std::wstring> GetUnicodeText() const;
    // CF_TEXT up to its terminator, converted from `codePage` to UTF-16.
    std::optional<std::wstring> GetAnsiText(UINT codePage = CP_ACP) const;
    // The paths of CF_HDROP, in the order the source gave them.
    std::optional<std::vector<std::wstring>> GetFiles() const;

private:
    // Runs `read` on the locked global memory of `format`; false when the data
    // can't be had.
    template <class Read>
    bool ReadGlobal(CLIPFORMAT format, Read read) const;

    IDataObject* m_pData;
};
