// COleDataSource: data offered to OLE (IDataObject) and the source side of a
// drag (IDropSource).
//
// Conventions:
// - CacheGlobalData takes ownership of the block; the source frees it when the
//   format is cached again, on Empty() and on destruction. Receivers get a copy
//   of their own.
// - The object lives as long as its owner; OLE's references count but never
//   delete it.
// - DoDragDrop with a start rectangle first waits, with the mouse captured,
//   until the pointer leaves the rectangle or the system's drag delay passes
//   (profile "windows", "DragDelay"); Esc, another button, or the button's
//   release ends the wait with no effect and no drag. Other keys typed during
//   the wait are posted again, in order, once the drag (or the click) is over.
// - During the drag, Esc or another button cancels and the left button's
//   release drops; a drag script (tests) can take over these decisions.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <functional>
#include <vector>

#include "framework/OleDataObject.h"

class COleDataSource : public IDataObject, public IDropSource {
public:
    // Decides, at each QueryContinueDrag of a drag, what the user does next:
    // S_OK keeps dragging, DRAGDROP_S_DROP drops, DRAGDROP_S_CANCEL cancels.
    // `call` counts from 0 within one drag; `keyState` is the MK_ state OLE read.
    // The script may move the pointer and change the key state the drag reads
    // from the next call on.
    using DragScript = std::function<HRESULT(int call, DWORD keyState)>;

    COleDataSource() = default;
    virtual ~COleDataSource();
    COleDataSource(const COleDataSource&) = delete;
    COleDataSource& operator=(const COleDataSource&) = delete;

    // Offers `data` (a global memory block, owned from now on) as `format`.
    void CacheGlobalData(CLIPFORMAT format, HGLOBAL data);
    // Frees everything offered.
    void Empty();

    // Runs a drag of the offered data. `startRect` (screen coordinates), when
    // given, is where the pointer may stay before the drag really starts.
    // Returns the effect the drop target reported, within `allowedEffects`, or
    // DROPEFFECT_NONE when the drag was cancelled, refused or never started.
    DROPEFFECT DoDragDrop(DWORD allowedEffects, const RECT* startRect = nullptr);

    // Replaces the user's input in the drags of this thread until reset with
    // an empty script.
    static void SetDragScript(DragScript script);

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDataObject
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC* format, STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC* in, FORMATETC* out) override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** formats) override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override;
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override;
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override;
    // IDropSource
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escapePressed, DWORD keyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override;

private:
    struct Entry {
        CLIPFORMAT format;
        HGLOBAL data;
    };
    const Entry* Find(CLIPFORMAT format) const;
    // False when the user gave up before the pointer left `startRect`. Keys
    // typed meanwhile are kept in `typedAhead`.
    static bool WaitForDragStart(const RECT& startRect, std::vector<MSG>& typedAhead);

    std::vector<Entry> m_entries;
    ULONG m_nRefs = 0;
    int m_nQueryCalls = 0;
};
