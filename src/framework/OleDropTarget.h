// COleDropTarget: a window's OLE drop target. Register() makes it the target
// of one window; OLE's notifications reach the virtual On... handlers with the
// pointer in that window's client coordinates and the dragged data.
//
// Conventions:
// - The object lives as long as its owner (usually a member of the window's
//   object); OLE's references count but never delete it.
// - DragEnter's verdict is kept for the whole drag over the window: data it
//   refused is refused by DragOver and Drop without asking again.
// - During DragOver, OnDragScroll is asked first; when its answer includes
//   DROPEFFECT_SCROLL it stands, otherwise OnDragOver answers.
// - Drop asks OnDragOver once more with the drop's own key state, then hands
//   that effect to OnDrop; a failed OnDrop reports no effect to the source.
// - An answer the source does not allow falls back to the other of copy and
//   move when the source allows that one, else to no effect.
// - The registration must be revoked before its window is destroyed: call
//   Revoke() from WM_DESTROY; the destructor revokes too.
// - No exception leaves an OLE call: a handler that throws is reported
//   (CallbackGuard.h) and ends the notification with no effect.
#pragma once

#include <windows.h>
#include <ole2.h>

#include "framework/OleDataObject.h"

class COleDropTarget : public IDropTarget {
public:
    COleDropTarget() = default;
    virtual ~COleDropTarget();
    COleDropTarget(const COleDropTarget&) = delete;
    COleDropTarget& operator=(const COleDropTarget&) = delete;

    // Registers this object as the drop target of `hwnd`, revoking an earlier
    // registration first. False when OLE refused.
    bool Register(HWND hwnd);
    void Revoke();
    // The window registered for, or null.
    HWND GetWindow() const { return m_hWnd; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDropTarget
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL pt, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override;

protected:
    virtual DROPEFFECT OnDragEnter(HWND wnd, COleDataObject& data, DWORD keyState, POINT point);
    virtual DROPEFFECT OnDragOver(HWND wnd, COleDataObject& data, DWORD keyState, POINT point);
    // True when the drop was taken.
    virtual bool OnDrop(HWND wnd, COleDataObject& data, DROPEFFECT effect, POINT point);
    virtual void OnDragLeave(HWND wnd);
    virtual DROPEFFECT OnDragScroll(HWND wnd, DWORD keyState, POINT point);

private:
    POINT ToClient(POINTL pt) const;
    // The effect of the drag's current position, as OnDragScroll or OnDragOver answer it.
    DROPEFFECT Track(DWORD keyState, POINTL pt, DWORD allowed);
    // Forgets the data of the drag that ended.
    void EndDrag();

    HWND m_hWnd = nullptr;
    ULONG m_nRefs = 0;
    IDataObject* m_pData = nullptr;  // held from DragEnter to DragLeave or Drop
    DROPEFFECT m_enterVerdict = DROPEFFECT_NONE;
};

// The effect of `wanted` within what the source allows (see the conventions above).
DROPEFFECT AllowedDropEffect(DROPEFFECT wanted, DWORD allowed);
