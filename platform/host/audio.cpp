// SDL audio behind host/audio.h. The device is opened on the first sound
// rather than at start-up, because opening it can take a noticeable time and
// many sessions never play a sound (removal sounds are off by default).
// Sounds are converted to the device's format in full and queued: a new
// sound clears the queue first, which cuts off the old one at once.

#include "platform/host/audio.h"

#include <SDL.h>

#include <vector>

namespace host {
namespace {

// Minutes of sound at any device rate; only a bogus rate (a few hertz,
// stretched to the device's) comes near it.
constexpr size_t kMaxConvertedBytes = size_t{64} << 20;

SDL_AudioDeviceID device = 0;
SDL_AudioSpec deviceSpec{};
bool unavailable = false;
int openAttempts = 0;
size_t soundBytes = 0;
// Reused between sounds so that only a longer sound than any before allocates.
std::vector<Uint8> converted;

bool OpenDevice() {
    if (device != 0) return true;
    if (unavailable) return false;
    ++openAttempts;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        unavailable = true;
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = 22050;  // both of the game's sounds carry 22050 bytes a second
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 512;  // about 23 ms: the sound should start with the explosion
    device =
        SDL_OpenAudioDevice(nullptr, 0, &want, &deviceSpec,
                            SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (device == 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        unavailable = true;
        return false;
    }
    SDL_PauseAudioDevice(device, 0);
    return true;
}

}  // namespace

bool PlayPcm(const void* data, size_t bytes, int rate, int channels, int bitsPerSample) {
    if (!data || bytes == 0 || rate <= 0 || (channels != 1 && channels != 2)) return false;
    if (bitsPerSample != 8 && bitsPerSample != 16) return false;
    const size_t frameBytes = static_cast<size_t>(channels * bitsPerSample / 8);
    if (bytes % frameBytes != 0 || bytes > static_cast<size_t>(SDL_MAX_SINT32) / 16) return false;
    if (!OpenDevice()) return false;

    SDL_ClearQueuedAudio(device);
    soundBytes = 0;
    SDL_AudioCVT cvt;
    const SDL_AudioFormat format = bitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
    const int needed = SDL_BuildAudioCVT(&cvt, format, static_cast<Uint8>(channels), rate,
                                         deviceSpec.format, deviceSpec.channels, deviceSpec.freq);
    if (needed < 0) return false;
    const int length = static_cast<int>(bytes);
    if (needed == 0) {
        if (SDL_QueueAudio(device, data, static_cast<Uint32>(length)) != 0) return false;
        soundBytes = bytes;
        return true;
    }
    const size_t room = static_cast<size_t>(length) * static_cast<size_t>(cvt.len_mult);
    if (room > kMaxConvertedBytes) return false;
    converted.resize(room);
    SDL_memcpy(converted.data(), data, bytes);
    cvt.buf = converted.data();
    cvt.len = length;
    if (SDL_ConvertAudio(&cvt) != 0) return false;
    if (SDL_QueueAudio(device, cvt.buf, static_cast<Uint32>(cvt.len_cvt)) != 0) return false;
    soundBytes = static_cast<size_t>(cvt.len_cvt);
    return true;
}

void StopSound() {
    if (device != 0) SDL_ClearQueuedAudio(device);
    soundBytes = 0;
}

AudioStatus GetAudioStatus() {
    AudioStatus status{};
    status.open = device != 0;
    status.unavailable = unavailable;
    status.openAttempts = openAttempts;
    if (device != 0) {
        status.queuedBytes = SDL_GetQueuedAudioSize(device);
        status.soundBytes = soundBytes;
        status.deviceRate = deviceSpec.freq;
        status.deviceChannels = deviceSpec.channels;
        status.deviceBytesPerFrame =
            deviceSpec.channels * static_cast<int>(SDL_AUDIO_BITSIZE(deviceSpec.format) / 8);
    }
    return status;
}

}  // namespace host
