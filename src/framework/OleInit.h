// COleInit: OLE initialised on this thread (a single-threaded apartment, which
// drag and drop and the clipboard need) for the object's life. OleUninitialize
// runs only if OleInitialize succeeded (S_FALSE, already initialised, counts:
// every success is balanced). Move-only; a moved-from guard undoes nothing.
#pragma once

#include <windows.h>
#include <ole2.h>

#include "framework/UniqueHandle.h"

// The result of a successful OleInitialize stands for the initialisation.
struct OleInitTraits {
    using Handle = HRESULT;
    static constexpr Handle Invalid() { return CO_E_NOTINITIALIZED; }
    static void Close(HRESULT) { ::OleUninitialize(); }
};

class COleInit {
public:
    COleInit() : COleInit(::OleInitialize(nullptr)) {}

    bool Succeeded() const { return static_cast<bool>(m_ole); }
    HRESULT Result() const { return m_ole ? m_ole.get() : m_failure; }

private:
    explicit COleInit(HRESULT hr)
        : m_ole(SUCCEEDED(hr) ? hr : OleInitTraits::Invalid()), m_failure(FAILED(hr) ? hr : OleInitTraits::Invalid()) {}

    UniqueHandle<OleInitTraits> m_ole;
    HRESULT m_failure;
};
