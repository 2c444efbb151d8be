#include <gtest/gtest.h>

#include <thread>

#include "platform/winbase.h"

TEST(GetTickCount, AdvancesInMilliseconds) {
    const DWORD start = GetTickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(elapsed, 30u);
    EXPECT_LT(elapsed, 10000u);
}
