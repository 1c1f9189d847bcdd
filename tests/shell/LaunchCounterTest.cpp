// The launch counter in the registry, as the program's starts count it.
#include <windows.h>

#include "support/MainWindowFixture.h"

namespace {
// The launch counter as the registry holds it; -1 when absent or not a number.
long long StoredLaunchCount() {
    DWORD value = 0, size = sizeof value;
    if (::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Velmorand\\Tallyleaf", L"runs", RRF_RT_REG_DWORD, nullptr, &value,
                       &size) != ERROR_SUCCESS)
        return -1;
    return value;
}
}  // namespace

using LaunchCounter = MainWindowTest;

TEST_F(LaunchCounter, EveryStartCountsFromAbsent) {
    ASSERT_EQ(StoredLaunchCount(), -1);
    Start();
    EXPECT_EQ(StoredLaunchCount(), 1);
    Finish();
    Start();
    EXPECT_EQ(StoredLaunchCount(), 2);
}

TEST_F(LaunchCounter, AValueThatIsNoNumberCountsAsAbsent) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Velmorand\\Tallyleaf", 0, nullptr, 0, KEY_ALL_ACCESS,
                                nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const wchar_t text[] = L"seven";
    ::RegSetValueExW(key, L"runs", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
    ::RegCloseKey(key);
    Start();
    EXPECT_EQ(StoredLaunchCount(), 1);
    EXPECT_TRUE(modal.Boxes().empty());
}
