#include "platform/winmm/wave.h"

#include <gtest/gtest.h>

#include <random>

#include "tests/platform/winmm/wave_builder.h"

namespace {

bool Parse(const std::vector<unsigned char>& bytes, WaveSound* out) {
    return ParseWave(bytes.data(), bytes.size(), out);
}

TEST(ParseWave, ReadsTheGameSoundFormats) {
    struct Case {
        const char* what;
        WaveFormat format;
    };
    WaveFormat explode;
    explode.channels = 2;
    explode.rate = 11025;
    explode.dataBytes = 61548;
    WaveFormat applause;
    applause.rate = 22050;
    applause.dataBytes = 77825;  // odd: followed by a pad byte
    WaveFormat applauseNoPad = applause;
    applauseNoPad.padOddData = false;
    WaveFormat stereo16;
    stereo16.channels = 2;
    stereo16.bits = 16;
    stereo16.rate = 44100;
    stereo16.dataBytes = 4000;
    stereo16.fmtSize = 18;
    stereo16.listChunkFirst = true;
    WaveFormat dataFirst = stereo16;
    dataFirst.dataBeforeFmt = true;
    const Case cases[] = {{"explode", explode},
                          {"applause", applause},
                          {"applause without its pad byte", applauseNoPad},
                          {"16-bit stereo after an odd chunk, long fmt", stereo16},
                          {"data before fmt", dataFirst}};
    for (const Case& c : cases) {
        const auto bytes = MakeWave(c.format);
        WaveSound wave{};
        ASSERT_TRUE(Parse(bytes, &wave)) << c.what;
        EXPECT_EQ(wave.channels, c.format.channels) << c.what;
        EXPECT_EQ(wave.rate, static_cast<int>(c.format.rate)) << c.what;
        EXPECT_EQ(wave.bitsPerSample, c.format.bits) << c.what;
        EXPECT_EQ(wave.bytes, c.format.dataBytes) << c.what;
        ASSERT_GE(wave.samples, bytes.data());
        ASSERT_LE(wave.samples + wave.bytes, bytes.data() + bytes.size());
        EXPECT_EQ(wave.samples[0], 0x70) << c.what << ": points at the first sample";
    }
}

TEST(ParseWave, ReadsTheShippedSoundFiles) {
    struct Case {
        const char* file;
        int channels, rate, bits;
        size_t bytes;
    };
    for (const Case& c :
         {Case{"explode.wav", 2, 11025, 8, 61548}, Case{"applause.wav", 1, 22050, 8, 77825}}) {
        const auto bytes = ReadResourceFile(c.file);
        ASSERT_FALSE(bytes.empty()) << c.file;
        WaveSound wave{};
        ASSERT_TRUE(Parse(bytes, &wave)) << c.file;
        EXPECT_EQ(wave.channels, c.channels) << c.file;
        EXPECT_EQ(wave.rate, c.rate) << c.file;
        EXPECT_EQ(wave.bitsPerSample, c.bits) << c.file;
        EXPECT_EQ(wave.bytes, c.bytes) << c.file;
    }
}

TEST(ParseWave, RejectsMalformedOrUnsupportedData) {
    struct Case {
        const char* what;
        WaveFormat format;
    };
    std::vector<Case> cases;
    auto add = [&](const char* what, auto change) {
        WaveFormat s;
        change(s);
        cases.push_back({what, s});
    };
    add("not RIFF", [](WaveFormat& s) { s.riff = "RIFX"; });
    add("not WAVE", [](WaveFormat& s) { s.wave = "AVI "; });
    add("RIFF size beyond the bytes", [](WaveFormat& s) { s.riffSizeAdjust = 1; });
    add("RIFF size too small for WAVE", [](WaveFormat& s) { s.riffSizeField = 3; });
    add("RIFF size ending inside a chunk header",
        [](WaveFormat& s) { s.riffSizeField = 4 + 24 + 4; });
    add("RIFF size cutting the data", [](WaveFormat& s) { s.riffSizeAdjust = -10; });
    add("data size beyond the chunk", [](WaveFormat& s) { s.dataSizeField = 101; });
    add("data size near 4 GB", [](WaveFormat& s) { s.dataSizeField = 0x7fffffff; });
    add("fmt too short", [](WaveFormat& s) { s.fmtSize = 14; });
    add("no fmt", [](WaveFormat& s) { s.withFmt = false; });
    add("no data", [](WaveFormat& s) { s.withData = false; });
    add("empty data", [](WaveFormat& s) { s.dataBytes = 0; });
    add("float samples", [](WaveFormat& s) { s.format = 3; });
    add("extensible format", [](WaveFormat& s) { s.format = 0xfffe; });
    add("ADPCM", [](WaveFormat& s) { s.format = 2; });
    add("no channels", [](WaveFormat& s) { s.channels = 0; });
    add("three channels", [](WaveFormat& s) { s.channels = 3; });
    add("4-bit samples", [](WaveFormat& s) { s.bits = 4; });
    add("24-bit samples", [](WaveFormat& s) { s.bits = 24; });
    add("rate 0", [](WaveFormat& s) { s.rate = 0; });
    add("rate beyond any device", [](WaveFormat& s) { s.rate = 1000000; });
    add("wrong block align", [](WaveFormat& s) { s.blockAlign = 3; });
    add("half a 16-bit frame", [](WaveFormat& s) {
        s.bits = 16;
        s.dataBytes = 101;
    });
    add("half a stereo frame", [](WaveFormat& s) {
        s.channels = 2;
        s.dataBytes = 99;
    });
    for (const Case& c : cases) {
        const auto bytes = MakeWave(c.format);
        WaveSound wave{nullptr, 12345, 1, 1, 8};
        EXPECT_FALSE(Parse(bytes, &wave)) << c.what;
        EXPECT_EQ(wave.bytes, 12345u) << c.what << ": output untouched";
    }
    WaveSound wave{};
    EXPECT_FALSE(ParseWave(nullptr, 100, &wave));
    EXPECT_FALSE(ParseWave("RIFF", 4, &wave));
}

TEST(ParseWave, RejectsEveryTruncation) {
    const auto bytes = MakeWave(WaveFormat{});
    for (size_t size = 0; size < bytes.size(); ++size) {
        // A copy of exactly that size, so a read past it is caught by ASan.
        const std::vector<unsigned char> cut(bytes.begin(), bytes.begin() + size);
        WaveSound wave{};
        EXPECT_FALSE(ParseWave(cut.data(), cut.size(), &wave)) << size << " bytes";
    }
}

TEST(ParseWave, CorruptedBytesNeverLeadOutsideTheBuffer) {
    WaveFormat format;
    format.listChunkFirst = true;
    format.dataBytes = 33;
    const auto original = MakeWave(format);
    std::mt19937 random(1234);
    int accepted = 0;
    for (int round = 0; round < 20000; ++round) {
        std::vector<unsigned char> bytes = original;
        const int flips = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < flips; ++i) {
            // Mostly headers: that is where a parser goes wrong.
            const size_t at = random() % std::min<size_t>(bytes.size(), 64);
            bytes[at] = static_cast<unsigned char>(random());
        }
        WaveSound wave{};
        if (!Parse(bytes, &wave)) continue;
        ++accepted;
        ASSERT_GE(wave.samples, bytes.data());
        ASSERT_LE(wave.samples + wave.bytes, bytes.data() + bytes.size());
        ASSERT_EQ(wave.bytes % static_cast<size_t>(wave.channels * wave.bitsPerSample / 8), 0u);
    }
    // Flips in samples-only positions or harmless fields still parse, so the
    // loop did look at accepted results.
    EXPECT_GT(accepted, 0);
}

}  // namespace
