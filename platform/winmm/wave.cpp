#include "platform/winmm/wave.h"

#include <cstdint>
#include <cstring>

namespace {

uint32_t Read32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

uint16_t Read16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

constexpr uint16_t kFormatPcm = 1;
constexpr uint32_t kMaxRate = 384000;

}  // namespace

bool ParseWave(const void* data, size_t size, WaveSound* out) {
    if (!data || size < 12) return false;
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) return false;
    const uint32_t riffSize = Read32(bytes + 4);
    if (riffSize < 4 || riffSize > size - 8) return false;
    // Sizes are compared by subtraction from what is left, never by adding
    // to an offset, so a huge chunk size cannot wrap around.
    const size_t end = 8 + static_cast<size_t>(riffSize);

    const unsigned char* format = nullptr;
    const unsigned char* samples = nullptr;
    size_t sampleBytes = 0;
    size_t pos = 12;
    while (end - pos >= 8) {
        const unsigned char* header = bytes + pos;
        const size_t chunkSize = Read32(header + 4);
        pos += 8;
        if (chunkSize > end - pos) return false;
        if (std::memcmp(header, "fmt ", 4) == 0 && !format) {
            if (chunkSize < 16) return false;
            format = bytes + pos;
        } else if (std::memcmp(header, "data", 4) == 0 && !samples) {
            samples = bytes + pos;
            sampleBytes = chunkSize;
        }
        pos += chunkSize;
        if (chunkSize % 2 != 0 && pos < end) ++pos;
    }
    // A few stray bytes (fewer than a chunk header) before the end are
    // tolerated, as writers pad in odd ways; a missing chunk is not.
    if (!format || !samples) return false;

    const uint16_t tag = Read16(format);
    const uint16_t channels = Read16(format + 2);
    const uint32_t rate = Read32(format + 4);
    const uint16_t blockAlign = Read16(format + 12);
    const uint16_t bits = Read16(format + 14);
    if (tag != kFormatPcm) return false;
    if (channels != 1 && channels != 2) return false;
    if (bits != 8 && bits != 16) return false;
    if (rate == 0 || rate > kMaxRate) return false;
    if (blockAlign != channels * (bits / 8)) return false;
    if (sampleBytes == 0 || sampleBytes % blockAlign != 0) return false;

    out->samples = samples;
    out->bytes = sampleBytes;
    out->rate = static_cast<int>(rate);
    out->channels = channels;
    out->bitsPerSample = bits;
    return true;
}
