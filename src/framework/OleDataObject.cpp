#include "framework/OleDataObject.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

namespace {
FORMATETC GlobalFormat(CLIPFORMAT format) {
    return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// A medium the data object gave us, released with this object.
class Medium {
public:
    Medium() = default;
    Medium(const Medium&) = delete;
    Medium& operator=(const Medium&) = delete;
    ~Medium() {
        if (m_bHeld)
            ::ReleaseStgMedium(&m_medium);
    }
    bool Fetch(IDataObject* data, CLIPFORMAT format) {
        FORMATETC fe = GlobalFormat(format);
        m_bHeld = SUCCEEDED(data->GetData(&fe, &m_medium));
        return m_bHeld && m_medium.tymed == TYMED_HGLOBAL && m_medium.hGlobal;
    }
    HGLOBAL Global() const { return m_medium.hGlobal; }

private:
    STGMEDIUM m_medium{};
    bool m_bHeld = false;
};

// Keeps a global memory block locked for its life.
class Lock {
public:
    explicit Lock(HGLOBAL global) : m_global(global), m_pData(::GlobalLock(global)) {}
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;
    ~Lock() {
        if (m_pData)
            ::GlobalUnlock(m_global);
    }
    const void* Data() const { return m_pData; }

private:
    HGLOBAL m_global;
    void* m_pData;
};
}  // namespace

bool COleDataObject::IsDataAvailable(CLIPFORMAT format) const {
    FORMATETC fe = GlobalFormat(format);
    return m_pData && m_pData->QueryGetData(&fe) == S_OK;
}

template <class Read>
bool COleDataObject::ReadGlobal(CLIPFORMAT format, Read read) const {
    Medium medium;
    if (!m_pData || !medium.Fetch(m_pData, format))
        return false;
    Lock lock(medium.Global());
    if (!lock.Data())
        return false;
    return read(lock.Data(), ::GlobalSize(medium.Global()), medium.Global());
}

std::optional<std::wstring> COleDataObject::GetUnicodeText() const {
    std::wstring text;
    // The block may be larger than the text; it ends at the first terminator,
    // or at the block's end for a source that wrote none.
    bool ok = ReadGlobal(CF_UNICODETEXT, [&text](const void* data, SIZE_T size, HGLOBAL) {
        const auto* chars = static_cast<const wchar_t*>(data);
        const SIZE_T max = size / sizeof(wchar_t);
        SIZE_T length = 0;
        while (length < max && chars[length])
            ++length;
        text.assign(chars, length);
        return true;
    });
    return ok ? std::optional<std::wstring>(std::move(text)) : std::nullopt;
}

std::optional<std::wstring> COleDataObject::GetAnsiText(UINT codePage) const {
    std::wstring text;
    bool ok = ReadGlobal(CF_TEXT, [&text, codePage](const void* data, SIZE_T size, HGLOBAL) {
        const auto* bytes = static_cast<const char*>(data);
        const int length = static_cast<int>(strnlen(bytes, size));
        if (length == 0)
            return true;
        const int needed = ::MultiByteToWideChar(codePage, 0, bytes, length, nullptr, 0);
        if (needed <= 0)
            return false;
        text.resize(static_cast<std::size_t>(needed));
        return ::MultiByteToWideChar(codePage, 0, bytes, length, text.data(), needed) == needed;
    });
    return ok ? std::optional<std::wstring>(std::move(text)) : std::nullopt;
}

std::optional<std::vector<std::wstring>> COleDataObject::GetFiles() const {
    std::vector<std::wstring> files;
    bool ok = ReadGlobal(CF_HDROP, [&files](const void*, SIZE_T size, HGLOBAL global) {
        if (size < sizeof(DROPFILES))
            return false;
        auto drop = static_cast<HDROP>(global);
        const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
            std::wstring path(length + 1, L'\0');
            path.resize(::DragQueryFileW(drop, i, path.data(), length + 1));
            files.push_back(std::move(path));
        }
        return true;
    });
    return ok ? std::optional<std::vector<std::wstring>>(std::move(files)) : std::nullopt;
}
