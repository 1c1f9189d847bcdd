// Objects handed from a worker thread to a window through posted messages are
// freed whatever becomes of the window.
#include "framework/PostedObject.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

struct Counted {
    explicit Counted(int& count) : freed(count) {}
    ~Counted() { ++freed; }
    int& freed;
};

constexpr UINT kAnswer = WM_APP + 7;

}  // namespace

TEST(PostedObject, AnswersReachTheWindowOrAreFreedWhenItIsGone) {
    HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    int freed = 0;
    std::thread worker([&] {
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(PostedObject<Counted>::Post(window, kAnswer, std::make_unique<Counted>(freed)));
    });
    worker.join();
    EXPECT_EQ(freed, 0);

    // One is taken by the window; the two still queued when it goes are freed.
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, window, kAnswer, kAnswer, PM_REMOVE));
    PostedObject<Counted>::Take(msg.lParam);
    EXPECT_EQ(freed, 1);
    PostedObject<Counted>::DiscardQueued(window, kAnswer);
    EXPECT_EQ(freed, 3);
    ::DestroyWindow(window);

    // An answer for a window that is gone is freed at once.
    EXPECT_FALSE(PostedObject<Counted>::Post(window, kAnswer, std::make_unique<Counted>(freed)));
    EXPECT_EQ(freed, 4);
}
