// PostedObject: hands an object made on a worker thread to a window's thread
// through a posted message whose LPARAM points to it. Post gives the object up
// only once the message is queued (else it is freed); Take, on the window's
// thread, owns it again; DiscardQueued frees the objects still queued for a
// window that goes, which the system would otherwise drop with their messages.
#pragma once

#include <windows.h>

#include <memory>

template <class T>
class PostedObject {
public:
    // False, the object freed, when the message could not be posted (the window is gone).
    static bool Post(HWND window, UINT message, std::unique_ptr<T> object) {
        if (!object || !::PostMessageW(window, message, 0, reinterpret_cast<LPARAM>(object.get())))
            return false;
        object.release();
        return true;
    }
    // The object a posted message carries; null when none was posted.
    static std::unique_ptr<T> Take(LPARAM lParam) { return std::unique_ptr<T>(reinterpret_cast<T*>(lParam)); }
    // Frees the objects of `message` still queued for `window`, from its own thread.
    static void DiscardQueued(HWND window, UINT message) {
        MSG queued;
        while (::PeekMessageW(&queued, window, message, message, PM_REMOVE))
            Take(queued.lParam);
    }
};
