// COleInit: OLE initialised on this thread (a single-threaded apartment, which
// drag and drop and the clipboard need) for the object's life. OleUninitialize
// runs only if OleInitialize succeeded (S_FALSE, already initialised, counts:
// every success is balanced). Move-only; a moved-from guard undoes nothing.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <utility>

class COleInit {
public:
    COleInit() : m_hr(::OleInitialize(nullptr)) {}
    COleInit(const COleInit&) = delete;
    COleInit& operator=(const COleInit&) = delete;
    COleInit(COleInit&& other) noexcept : m_hr(std::exchange(other.m_hr, CO_E_NOTINITIALIZED)) {}
    COleInit& operator=(COleInit&& other) noexcept {
        if (this != &other) {
            Uninitialize();
            m_hr = std::exchange(other.m_hr, CO_E_NOTINITIALIZED);
        }
        return *this;
    }
    ~COleInit() { Uninitialize(); }

    bool Succeeded() const { return SUCCEEDED(m_hr); }
    HRESULT Result() const { return m_hr; }

private:
    void Uninitialize() {
        if (SUCCEEDED(m_hr))
            ::OleUninitialize();
        m_hr = CO_E_NOTINITIALIZED;
    }

    HRESULT m_hr;
};
