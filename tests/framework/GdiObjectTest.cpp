// GDI object wrappers delete what they own, once, and never a handle they
// still hold.
#include <gtest/gtest.h>
#include <windows.h>

#include <utility>

#include "framework/Gdi.h"

TEST(GdiObject, AttachKeepsTheHandleItHoldsAndDeletesTheOneItReplaces) {
    CBrush brush;
    ASSERT_TRUE(brush.CreateSolidBrush(RGB(10, 20, 30)));
    HBRUSH first = brush;
    brush.Attach(first);
    EXPECT_EQ(brush.GetSafeHandle(), first);
    EXPECT_EQ(::GetObjectType(first), static_cast<DWORD>(OBJ_BRUSH)) << "attaching the held brush deleted it";

    ASSERT_TRUE(brush.CreateSolidBrush(RGB(40, 50, 60)));
    EXPECT_EQ(::GetObjectType(first), 0u) << "the replaced brush was not deleted";

    // A move hands the brush over whole; the new owner deletes it when it goes.
    HBRUSH second = brush;
    {
        CBrush other(std::move(brush));
        EXPECT_EQ(brush.GetSafeHandle(), nullptr);
        EXPECT_EQ(other.GetSafeHandle(), second);
    }
    EXPECT_EQ(::GetObjectType(second), 0u) << "the moved brush outlived its owner";
}
