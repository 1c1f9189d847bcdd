// Entry points the system calls (window and hook procedures, COM methods) must
// not let an exception through: the system's frames between them and the
// program cannot unwind it. Each runs its body through one of these. What
// escapes the body is reported the way a message handler's exception is (an
// error box with the exception's message), and the entry point returns the
// failure its caller expects.
#pragma once

#include <windows.h>

#include <new>

// Reports the exception being handled; call it only inside a catch block.
void ReportCurrentException() noexcept;

// The body's result, or `failure` when it threw.
template <class Result, class Body>
Result Guarded(Result failure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        ReportCurrentException();
        return failure;
    }
}

// For a COM method: E_OUTOFMEMORY when memory ran out, E_UNEXPECTED for any
// other exception.
template <class Body>
HRESULT GuardedHResult(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        ReportCurrentException();
        return E_OUTOFMEMORY;
    } catch (...) {
        ReportCurrentException();
        return E_UNEXPECTED;
    }
}
