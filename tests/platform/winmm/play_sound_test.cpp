#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "platform/kernel/resources.h"
#include "platform/mmsystem.h"
#include "platform/winmm/testing.h"
#include "tests/platform/winmm/wave_builder.h"

namespace {

WaveFormat LongSpec() {
    WaveFormat s;  // three seconds, in the removal sound's format
    s.channels = 2;
    s.rate = 11025;
    s.dataBytes = 3 * 11025 * 2;
    return s;
}
WaveFormat ShortSpec() {
    WaveFormat s;  // a quarter of a second, mono, 16-bit
    s.bits = 16;
    s.rate = 22050;
    s.dataBytes = 22050 / 4 * 2;
    return s;
}
WaveFormat BrokenSpec() {
    WaveFormat s;
    s.dataSizeField = 1 << 20;
    return s;
}

const std::vector<unsigned char> longWave = MakeWave(LongSpec());
const std::vector<unsigned char> shortWave = MakeWave(ShortSpec());
const std::vector<unsigned char> brokenWave = MakeWave(BrokenSpec());
const std::vector<unsigned char> explodeWave = ReadResourceFile("explode.wav");
const std::vector<unsigned char> applauseWave = ReadResourceFile("applause.wav");

}  // namespace

const ResourceEntry resourceTable[] = {
    {0, "WAVE", 0, "IDR_LONG", longWave.data(), static_cast<DWORD>(longWave.size())},
    {0, "WAVE", 0, "IDR_SHORT", shortWave.data(), static_cast<DWORD>(shortWave.size())},
    {0, "WAVE", 7, nullptr, shortWave.data(), static_cast<DWORD>(shortWave.size())},
    {0, "WAVE", 0, "IDR_BROKEN", brokenWave.data(), static_cast<DWORD>(brokenWave.size())},
    {0, "WAVE", 0, "IDR_EXPLODE", explodeWave.data(), static_cast<DWORD>(explodeWave.size())},
    {0, "WAVE", 0, "IDR_APPLAUSE", applauseWave.data(), static_cast<DWORD>(applauseWave.size())},
    {0, "OTHER", 0, "IDR_OTHER", shortWave.data(), static_cast<DWORD>(shortWave.size())},
};
const size_t resourceCount = sizeof resourceTable / sizeof resourceTable[0];

namespace {

constexpr DWORD kGameFlags = SND_RESOURCE | SND_ASYNC;

// The dummy driver plays in real time without a sound card, so the queue
// drains as it would on one and the tests stay quiet.
class PlaySound : public ::testing::Test {
protected:
    static void SetUpTestSuite() { setenv("SDL_AUDIODRIVER", "dummy", 1); }
    void TearDown() override { PlaySoundA(nullptr, nullptr, 0); }
};

// Device-format bytes of frames at rate, as the conversion produces them.
double DeviceBytes(const winmm_testing::Playback& p, double frames, double rate) {
    return frames * p.deviceRate / rate * p.deviceBytesPerFrame;
}

TEST_F(PlaySound, ReturnsWhileTheSoundIsStillPlaying) {
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(PlaySoundA("IDR_LONG", nullptr, kGameFlags));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    // Loose on purpose: the point is that the call does not wait the three
    // seconds of the sound, not how fast it is.
    EXPECT_LT(elapsed, std::chrono::seconds(1));

    const auto p = winmm_testing::CurrentPlayback();
    EXPECT_EQ(p.sound, "IDR_LONG");
    ASSERT_TRUE(p.deviceOpen);
    EXPECT_NEAR(static_cast<double>(p.soundBytes), DeviceBytes(p, 3 * 11025, 11025),
                0.01 * static_cast<double>(p.soundBytes));
    EXPECT_GT(p.queuedBytes, p.soundBytes / 2) << "most of the sound is still to come";
    EXPECT_LE(p.queuedBytes, p.soundBytes);
}

TEST_F(PlaySound, ANewSoundReplacesTheOneStillPlaying) {
    ASSERT_TRUE(PlaySoundA("IDR_LONG", nullptr, kGameFlags));
    const size_t longBytes = winmm_testing::CurrentPlayback().soundBytes;

    ASSERT_TRUE(PlaySoundA("idr_short", nullptr, kGameFlags));
    auto p = winmm_testing::CurrentPlayback();
    EXPECT_EQ(p.sound, "idr_short");
    EXPECT_NEAR(static_cast<double>(p.soundBytes), DeviceBytes(p, 22050 / 4, 22050),
                0.01 * static_cast<double>(p.soundBytes));
    ASSERT_LT(p.soundBytes, longBytes / 5);
    // Appended, the queue would still hold most of the long sound.
    EXPECT_LE(p.queuedBytes, p.soundBytes);

    // The same sound again starts over rather than queueing a second copy.
    ASSERT_TRUE(PlaySoundA("IDR_LONG", nullptr, kGameFlags));
    ASSERT_TRUE(PlaySoundA("IDR_LONG", nullptr, kGameFlags));
    p = winmm_testing::CurrentPlayback();
    EXPECT_EQ(p.soundBytes, longBytes);
    EXPECT_LE(p.queuedBytes, longBytes);
    EXPECT_GT(p.queuedBytes, longBytes / 2);
}

TEST_F(PlaySound, NullNameOrPurgeStops) {
    for (const auto stop : {+[] { return PlaySoundA(nullptr, nullptr, 0); },
                            +[] { return PlaySoundA("IDR_SHORT", nullptr, SND_PURGE); }}) {
        ASSERT_TRUE(PlaySoundA("IDR_LONG", nullptr, kGameFlags));
        ASSERT_GT(winmm_testing::CurrentPlayback().queuedBytes, 0u);
        EXPECT_TRUE(stop());
        const auto p = winmm_testing::CurrentPlayback();
        EXPECT_EQ(p.sound, "");
        EXPECT_EQ(p.queuedBytes, 0u);
    }
}

TEST_F(PlaySound, SoundsThatCannotBePlayedGiveFalseAndSilence) {
    struct Case {
        const char* what;
        LPCSTR name;
        DWORD flags;
    };
    const Case cases[] = {
        {"no such resource", "IDR_MISSING", kGameFlags},
        {"resource of another type", "IDR_OTHER", kGameFlags},
        {"malformed WAVE", "IDR_BROKEN", kGameFlags},
        {"synchronous play", "IDR_SHORT", SND_RESOURCE},
        {"not a resource", "IDR_SHORT", SND_ASYNC},
        {"sound in memory", "IDR_SHORT", SND_MEMORY | SND_ASYNC},
        {"looping", "IDR_SHORT", kGameFlags | 0x0008},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(PlaySoundA("IDR_LONG", nullptr, kGameFlags));
        EXPECT_FALSE(PlaySoundA(c.name, nullptr, c.flags)) << c.what;
        const auto p = winmm_testing::CurrentPlayback();
        EXPECT_EQ(p.sound, "") << c.what;
        EXPECT_EQ(p.queuedBytes, 0u) << c.what << ": the old sound is stopped too";
    }
}

TEST_F(PlaySound, PlaysTheGameSoundsAndIntegerNames) {
    ASSERT_TRUE(PlaySoundA("IDR_EXPLODE", nullptr, kGameFlags));
    auto p = winmm_testing::CurrentPlayback();
    EXPECT_EQ(p.sound, "IDR_EXPLODE");
    EXPECT_NEAR(static_cast<double>(p.soundBytes), DeviceBytes(p, 30774, 11025),
                0.01 * static_cast<double>(p.soundBytes));

    ASSERT_TRUE(PlaySoundA("IDR_APPLAUSE", nullptr, kGameFlags | SND_NODEFAULT));
    p = winmm_testing::CurrentPlayback();
    EXPECT_EQ(p.sound, "IDR_APPLAUSE");
    EXPECT_NEAR(static_cast<double>(p.soundBytes), DeviceBytes(p, 77825, 22050),
                0.01 * static_cast<double>(p.soundBytes));

    ASSERT_TRUE(PlaySoundA(MAKEINTRESOURCEA(7), nullptr, kGameFlags));
    EXPECT_EQ(winmm_testing::CurrentPlayback().sound, "#7");
    EXPECT_EQ(winmm_testing::CurrentPlayback().openAttempts, 1) << "the device is opened once";
}

}  // namespace
