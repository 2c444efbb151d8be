// Without a usable audio device (here: a driver that does not exist) every
// sound is silently skipped, and only the first call tries the device.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/kernel/resources.h"
#include "platform/mmsystem.h"
#include "platform/winmm/testing.h"
#include "tests/platform/winmm/wave_builder.h"

namespace {
const std::vector<unsigned char> wave = MakeWave(WaveFormat{});
}

const ResourceEntry resourceTable[] = {
    {0, "WAVE", 0, "IDR_EXPLODE", wave.data(), static_cast<DWORD>(wave.size())},
};
const size_t resourceCount = 1;

namespace {

TEST(PlaySoundWithoutDevice, GivesFalseAndTriesTheDeviceOnce) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(winmm_testing::CurrentPlayback().openAttempts, 0) << "nothing opened before a sound";
    EXPECT_TRUE(PlaySoundA(nullptr, nullptr, 0)) << "stopping needs no device";
    EXPECT_EQ(winmm_testing::CurrentPlayback().openAttempts, 0);

    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(PlaySoundA("IDR_EXPLODE", nullptr, SND_RESOURCE | SND_ASYNC));
        const auto p = winmm_testing::CurrentPlayback();
        EXPECT_TRUE(p.deviceUnavailable);
        EXPECT_FALSE(p.deviceOpen);
        EXPECT_EQ(p.openAttempts, 1);
        EXPECT_EQ(p.sound, "");
    }
}

}  // namespace
