// Any bytes as a WAVE resource: either refused, or samples that lie wholly
// inside the bytes given, in whole frames of a format the player handles.
#include <cstddef>
#include <cstdint>

#include "platform/winmm/wave.h"

namespace {

void Check(bool holds) {
    if (!holds) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    WaveSound sound{};
    if (!ParseWave(data, size, &sound)) return 0;
    const auto* begin = reinterpret_cast<const unsigned char*>(data);
    Check(sound.samples >= begin && sound.samples <= begin + size);
    Check(sound.bytes > 0 && sound.bytes <= static_cast<size_t>(begin + size - sound.samples));
    Check(sound.channels == 1 || sound.channels == 2);
    Check(sound.bitsPerSample == 8 || sound.bitsPerSample == 16);
    Check(sound.rate >= 1 && sound.rate <= 384000);
    Check(sound.bytes % (sound.channels * sound.bitsPerSample / 8) == 0);
    // Touch every sample byte, so a range that only looks right is caught.
    unsigned sum = 0;
    for (size_t i = 0; i < sound.bytes; ++i) sum += sound.samples[i];
    Check(sum <= 255u * sound.bytes);
    return 0;
}
