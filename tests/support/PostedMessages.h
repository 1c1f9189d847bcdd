// A message-only window that keeps the LPARAM of each `message` posted to it,
// for what a worker thread posts (a backup's result).
#pragma once

#include <windows.h>

#include <vector>

class PostedMessages {
public:
    explicit PostedMessages(UINT message);
    ~PostedMessages();
    PostedMessages(const PostedMessages&) = delete;
    PostedMessages& operator=(const PostedMessages&) = delete;

    HWND Handle() const { return m_hwnd; }
    UINT Message() const { return m_message; }
    // What arrived while messages were pumped, in order.
    const std::vector<LPARAM>& Received() const { return m_received; }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_message;
    HWND m_hwnd = nullptr;
    std::vector<LPARAM> m_received;
};
