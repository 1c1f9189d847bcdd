#include "framework/OleDataSource.h"

#include <shlobj.h>

#include <cstring>
#include <utility>

#include "framework/CallbackGuard.h"

namespace {
COleDataSource::DragScript& Script() {
    static COleDataSource::DragScript script;
    return script;
}

// Copies the first `size` bytes of one global block into another.
bool CopyBytes(HGLOBAL from, HGLOBAL to, SIZE_T size) {
    const void* source = ::GlobalLock(from);
    void* target = ::GlobalLock(to);
    if (source && target)
        std::memcpy(target, source, size);
    if (source)
        ::GlobalUnlock(from);
    if (target)
        ::GlobalUnlock(to);
    return source && target;
}

HGLOBAL CopyGlobal(HGLOBAL source) {
    const SIZE_T size = ::GlobalSize(source);
    HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (copy && !CopyBytes(source, copy, size)) {
        ::GlobalFree(copy);
        return nullptr;
    }
    return copy;
}

// A hidden window that holds the mouse capture while a drag waits to start, so
// that the pointer's moves and the button's release reach this thread wherever
// the pointer goes.
class CaptureWindow {
public:
    CaptureWindow() {
        static const wchar_t kClass[] = L"TallyleafDragStart";
        HINSTANCE instance = ::GetModuleHandleW(nullptr);
        WNDCLASSW wc{};
        if (!::GetClassInfoW(instance, kClass, &wc)) {
            wc.lpfnWndProc = ::DefWindowProcW;
            wc.hInstance = instance;
            wc.lpszClassName = kClass;
            ::RegisterClassW(&wc);
        }
        m_hWnd = ::CreateWindowExW(0, kClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
        if (m_hWnd)
            ::SetCapture(m_hWnd);
    }
    CaptureWindow(const CaptureWindow&) = delete;
    CaptureWindow& operator=(const CaptureWindow&) = delete;
    ~CaptureWindow() {
        if (m_hWnd) {
            if (::GetCapture() == m_hWnd)
                ::ReleaseCapture();
            ::DestroyWindow(m_hWnd);
        }
    }
    bool HasCapture() const { return m_hWnd && ::GetCapture() == m_hWnd; }

private:
    HWND m_hWnd = nullptr;
};

enum class WaitStep { Wait, Start, GiveUp };

// What one message means for a drag waiting to start.
WaitStep OnWaitMessage(const MSG& msg, const RECT& startRect) {
    switch (msg.message) {
        case WM_MOUSEMOVE: {
            if (!(msg.wParam & MK_LBUTTON))
                return WaitStep::GiveUp;
            POINT pt{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
            ::ClientToScreen(msg.hwnd, &pt);
            return ::PtInRect(&startRect, pt) ? WaitStep::Wait : WaitStep::Start;
        }
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN:
        case WM_CANCELMODE:
            return WaitStep::GiveUp;
        case WM_KEYDOWN:
            return msg.wParam == VK_ESCAPE ? WaitStep::GiveUp : WaitStep::Wait;
        default:
            return WaitStep::Wait;
    }
}
}  // namespace

COleDataSource::~COleDataSource() {
    Empty();
}

void COleDataSource::SetDragScript(DragScript script) {
    Script() = std::move(script);
}

void COleDataSource::CacheGlobalData(CLIPFORMAT format, HGLOBAL data) {
    for (Entry& entry : m_entries) {
        if (entry.format == format) {
            if (entry.data != data)
                ::GlobalFree(entry.data);
            entry.data = data;
            return;
        }
    }
    m_entries.push_back({format, data});
}

void COleDataSource::Empty() {
    for (Entry& entry : m_entries)
        ::GlobalFree(entry.data);
    m_entries.clear();
}

const COleDataSource::Entry* COleDataSource::Find(CLIPFORMAT format) const {
    for (const Entry& entry : m_entries)
        if (entry.format == format)
            return &entry;
    return nullptr;
}

bool COleDataSource::WaitForDragStart(const RECT& startRect, std::vector<MSG>& typedAhead) {
    const DWORD delay = static_cast<DWORD>(::GetProfileIntW(L"windows", L"DragDelay", DD_DEFDRAGDELAY));
    const DWORD started = ::GetTickCount();
    CaptureWindow capture;
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(msg.wParam));
                return false;
            }
            const WaitStep step = OnWaitMessage(msg, startRect);
            if (step != WaitStep::Wait)
                return step == WaitStep::Start;
            // Keys wait until the drag or the click is over; everything else
            // (painting, timers) goes on.
            if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST)
                typedAhead.push_back(msg);
            else
                ::DispatchMessageW(&msg);
        }
        if (!capture.HasCapture())
            return false;
        const DWORD elapsed = ::GetTickCount() - started;
        if (elapsed >= delay)
            return true;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, delay - elapsed, QS_ALLINPUT);
    }
}

DROPEFFECT COleDataSource::DoDragDrop(DWORD allowedEffects, const RECT* startRect) {
    std::vector<MSG> typedAhead;
    DWORD effect = DROPEFFECT_NONE;
    if (!startRect || WaitForDragStart(*startRect, typedAhead)) {
        m_nQueryCalls = 0;
        if (::DoDragDrop(this, this, allowedEffects, &effect) != DRAGDROP_S_DROP)
            effect = DROPEFFECT_NONE;
    }
    // Posted only now, since OLE's drag loop takes every key for itself; the
    // program's own loop then translates and dispatches them in order.
    for (const MSG& key : typedAhead)
        ::PostMessageW(key.hwnd, key.message, key.wParam, key.lParam);
    // A target may answer more than it was offered; only what was allowed counts.
    return effect & allowedEffects;
}

HRESULT COleDataSource::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDataObject)
        *object = static_cast<IDataObject*>(this);
    else if (iid == IID_IDropSource)
        *object = static_cast<IDropSource*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG COleDataSource::AddRef() {
    return ++m_nRefs;
}

ULONG COleDataSource::Release() {
    return m_nRefs > 0 ? --m_nRefs : 0;
}

HRESULT COleDataSource::QueryGetData(FORMATETC* format) {
    if (!format)
        return E_INVALIDARG;
    if (format->dwAspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (format->lindex != -1)
        return DV_E_LINDEX;
    if (!(format->tymed & TYMED_HGLOBAL))
        return DV_E_TYMED;
    return Find(format->cfFormat) ? S_OK : DV_E_FORMATETC;
}

HRESULT COleDataSource::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (!medium)
        return E_INVALIDARG;
    const HRESULT query = QueryGetData(format);
    if (query != S_OK)
        return query;
    HGLOBAL copy = CopyGlobal(Find(format->cfFormat)->data);
    if (!copy)
        return E_OUTOFMEMORY;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = copy;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

HRESULT COleDataSource::GetDataHere(FORMATETC* format, STGMEDIUM* medium) {
    if (!medium)
        return E_INVALIDARG;
    const HRESULT query = QueryGetData(format);
    if (query != S_OK)
        return query;
    if (medium->tymed != TYMED_HGLOBAL || !medium->hGlobal)
        return DV_E_TYMED;
    HGLOBAL source = Find(format->cfFormat)->data;
    const SIZE_T size = ::GlobalSize(source);
    if (::GlobalSize(medium->hGlobal) < size)
        return STG_E_MEDIUMFULL;
    return CopyBytes(source, medium->hGlobal, size) ? S_OK : E_OUTOFMEMORY;
}

HRESULT COleDataSource::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
    if (!out)
        return E_INVALIDARG;
    out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT COleDataSource::SetData(FORMATETC*, STGMEDIUM*, BOOL) {
    return E_NOTIMPL;
}

HRESULT COleDataSource::EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) {
    if (!formats)
        return E_INVALIDARG;
    *formats = nullptr;
    if (direction != DATADIR_GET)
        return E_NOTIMPL;
    return GuardedHResult([&] {
        std::vector<FORMATETC> list;
        for (const Entry& entry : m_entries)
            list.push_back(FORMATETC{entry.format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
        return ::SHCreateStdEnumFmtEtc(static_cast<UINT>(list.size()), list.data(), formats);
    });
}

HRESULT COleDataSource::DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT COleDataSource::DUnadvise(DWORD) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT COleDataSource::EnumDAdvise(IEnumSTATDATA**) {
    return OLE_E_ADVISENOTSUPPORTED;
}

HRESULT COleDataSource::QueryContinueDrag(BOOL escapePressed, DWORD keyState) {
    const int call = m_nQueryCalls++;
    if (Script())
        return GuardedHResult([&] { return Script()(call, keyState); });
    if (escapePressed || (keyState & (MK_RBUTTON | MK_MBUTTON)))
        return DRAGDROP_S_CANCEL;
    return (keyState & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
}

HRESULT COleDataSource::GiveFeedback(DWORD) {
    return DRAGDROP_S_USEDEFAULTCURSORS;
}
