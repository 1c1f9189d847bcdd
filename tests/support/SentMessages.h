// Records the messages sent to one window of this thread, as a WH_CALLWNDPROC
// hook sees them just before the window's procedure runs: the commands the
// main window receives, the requests it makes of its editor. Posted messages
// are not seen. One recorder at a time per thread.
#pragma once

#include <windows.h>

#include <vector>

class SentMessages {
public:
    struct Sent {
        UINT message;
        WPARAM w;
        LPARAM l;
    };

    explicit SentMessages(HWND target);
    ~SentMessages();
    SentMessages(const SentMessages&) = delete;
    SentMessages& operator=(const SentMessages&) = delete;

    // The messages of one kind, in the order they were sent.
    std::vector<Sent> Of(UINT message) const;
    // The ids of the commands sent without a sending control (as menus and keys send them).
    std::vector<UINT> Commands() const;
    void Clear() { m_sent.clear(); }

private:
    static LRESULT CALLBACK CallWndProc(int code, WPARAM w, LPARAM l);

    HWND m_hTarget;
    HHOOK m_hook = nullptr;
    std::vector<Sent> m_sent;
};
