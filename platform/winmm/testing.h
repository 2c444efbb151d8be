// What PlaySoundA has started, for tests only: the game never asks.
#pragma once

#include <cstddef>
#include <string>

namespace winmm_testing {

struct Playback {
    // The name of the sound whose samples are queued: the string name, or
    // "#<id>" for an integer one; empty after a stop or a failed call.
    std::string sound;
    size_t queuedBytes;  // device-format bytes still to be played
    size_t soundBytes;   // device-format bytes of the whole current sound
    int deviceRate;      // the open device's format; 0 when none is open
    int deviceBytesPerFrame;
    bool deviceOpen;
    bool deviceUnavailable;
    int openAttempts;
};

Playback CurrentPlayback();

}  // namespace winmm_testing
