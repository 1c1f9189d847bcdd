#include "framework/OleDropTarget.h"

#include "framework/CallbackGuard.h"

namespace {
// Runs a notification's body; an exception is reported and ends it with no effect.
template <class Body>
HRESULT Notify(DWORD* effect, Body body) {
    const HRESULT hr = GuardedHResult([&] {
        body();
        return S_OK;
    });
    if (FAILED(hr) && effect)
        *effect = DROPEFFECT_NONE;
    return hr;
}
}  // namespace

DROPEFFECT AllowedDropEffect(DROPEFFECT wanted, DWORD allowed) {
    const DROPEFFECT scroll = wanted & DROPEFFECT_SCROLL;
    DROPEFFECT action = wanted & ~DROPEFFECT_SCROLL;
    if (action == DROPEFFECT_NONE)
        return DROPEFFECT_NONE;
    if ((action & allowed) == DROPEFFECT_NONE) {
        if (action == DROPEFFECT_MOVE && (allowed & DROPEFFECT_COPY))
            action = DROPEFFECT_COPY;
        else if (action == DROPEFFECT_COPY && (allowed & DROPEFFECT_MOVE))
            action = DROPEFFECT_MOVE;
        else
            return DROPEFFECT_NONE;
    }
    return (action & allowed) | scroll;
}

COleDropTarget::~COleDropTarget() {
    Revoke();
    EndDrag();
}

bool COleDropTarget::Register(HWND hwnd) {
    Revoke();
    if (!hwnd || FAILED(::RegisterDragDrop(hwnd, this)))
        return false;
    m_hWnd = hwnd;
    return true;
}

void COleDropTarget::Revoke() {
    if (!m_hWnd)
        return;
    // A window destroyed while still registered has lost its registration
    // already; revoking it then fails, and there is nothing left to undo.
    ::RevokeDragDrop(m_hWnd);
    m_hWnd = nullptr;
}

HRESULT COleDropTarget::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDropTarget) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG COleDropTarget::AddRef() {
    return ++m_nRefs;
}

ULONG COleDropTarget::Release() {
    return m_nRefs > 0 ? --m_nRefs : 0;
}

POINT COleDropTarget::ToClient(POINTL pt) const {
    POINT point{pt.x, pt.y};
    ::ScreenToClient(m_hWnd, &point);
    return point;
}

void COleDropTarget::EndDrag() {
    if (m_pData)
        m_pData->Release();
    m_pData = nullptr;
}

DROPEFFECT COleDropTarget::Track(DWORD keyState, POINTL pt, DWORD allowed) {
    if (m_enterVerdict == DROPEFFECT_NONE || !m_pData)
        return DROPEFFECT_NONE;
    const POINT point = ToClient(pt);
    DROPEFFECT scroll = OnDragScroll(m_hWnd, keyState, point);
    if (scroll & DROPEFFECT_SCROLL)
        return AllowedDropEffect(scroll, allowed);
    COleDataObject data(m_pData);
    return AllowedDropEffect(OnDragOver(m_hWnd, data, keyState, point), allowed);
}

HRESULT COleDropTarget::DragEnter(IDataObject* dataObject, DWORD keyState, POINTL pt, DWORD* effect) {
    if (!effect)
        return E_INVALIDARG;
    EndDrag();
    return Notify(effect, [&] {
        const DWORD allowed = *effect;
        m_pData = dataObject;
        if (m_pData)
            m_pData->AddRef();
        COleDataObject data(m_pData);
        m_enterVerdict = AllowedDropEffect(OnDragEnter(m_hWnd, data, keyState, ToClient(pt)), allowed);
        *effect = m_enterVerdict;
    });
}

HRESULT COleDropTarget::DragOver(DWORD keyState, POINTL pt, DWORD* effect) {
    if (!effect)
        return E_INVALIDARG;
    return Notify(effect, [&] { *effect = Track(keyState, pt, *effect); });
}

HRESULT COleDropTarget::DragLeave() {
    HRESULT hr = Notify(nullptr, [&] {
        if (m_enterVerdict != DROPEFFECT_NONE)
            OnDragLeave(m_hWnd);
    });
    m_enterVerdict = DROPEFFECT_NONE;
    EndDrag();
    return hr;
}

HRESULT COleDropTarget::Drop(IDataObject* dataObject, DWORD keyState, POINTL pt, DWORD* effect) {
    if (!effect)
        return E_INVALIDARG;
    HRESULT hr = Notify(effect, [&] {
        DROPEFFECT result = DROPEFFECT_NONE;
        if (m_enterVerdict != DROPEFFECT_NONE && dataObject) {
            const POINT point = ToClient(pt);
            COleDataObject data(dataObject);
            result = AllowedDropEffect(OnDragOver(m_hWnd, data, keyState, point), *effect) & ~DROPEFFECT_SCROLL;
            if (result == DROPEFFECT_NONE)
                OnDragLeave(m_hWnd);
            else if (!OnDrop(m_hWnd, data, result, point))
                result = DROPEFFECT_NONE;
        }
        *effect = result;
    });
    m_enterVerdict = DROPEFFECT_NONE;
    EndDrag();
    return hr;
}

DROPEFFECT COleDropTarget::OnDragEnter(HWND, COleDataObject&, DWORD, POINT) {
    return DROPEFFECT_NONE;
}

DROPEFFECT COleDropTarget::OnDragOver(HWND, COleDataObject&, DWORD, POINT) {
    return DROPEFFECT_NONE;
}

bool COleDropTarget::OnDrop(HWND, COleDataObject&, DROPEFFECT, POINT) {
    return false;
}

void COleDropTarget::OnDragLeave(HWND) {}

DROPEFFECT COleDropTarget::OnDragScroll(HWND, DWORD, POINT) {
    return DROPEFFECT_NONE;
}
