#include <gtest/gtest.h>
#include <windows.h>

TEST(ProcessSmoke, Runs) {
    EXPECT_NE(::GetModuleHandleW(nullptr), nullptr);
}
