// Sound output of the host: one stream of PCM, replaced by every new sound.
// Used by PlaySoundA; knows nothing of resources or WAVE files.
#pragma once

#include <cstddef>

namespace host {

// Stops whatever is playing and starts these samples (8-bit unsigned or
// 16-bit signed little-endian, interleaved, 1 or 2 channels), returning at
// once; the samples are copied. The device is opened on the first call, not
// at start-up. Without a usable device this returns false, and once the
// device has failed every later call returns false without trying again.
bool PlayPcm(const void* data, size_t bytes, int rate, int channels, int bitsPerSample);

// Silences the current sound. Never opens the device.
void StopSound();

// What the output is doing, for tests and diagnostics.
struct AudioStatus {
    bool open;           // a device is open
    bool unavailable;    // opening failed; no further attempts are made
    int openAttempts;    // how many times opening the device was tried
    size_t queuedBytes;  // converted bytes still waiting to be played
    size_t soundBytes;   // converted bytes of the current sound; 0 after a stop
    int deviceRate;      // the open device's format, 0 when none
    int deviceChannels;
    int deviceBytesPerFrame;
};
AudioStatus GetAudioStatus();

}  // namespace host
